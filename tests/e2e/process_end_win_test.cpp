// How soon the process ends after a close request.  The sampling threads'
// pauses end on the request, so nothing waits out the monitor's pause (up to
// 2 s at Rate 2000) or the clock thread's measurement (510 ms of every
// second with UpdateSpeed on); a second start right after a close no longer
// meets the instance mutex of a copy that is still winding down.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "main_window_support.h"

namespace zt::e2e {
namespace {

// Closes at three points of the clock thread's one-second cycle, each right
// after a sample so that the monitor has most of its 2 s pause ahead.  The
// times are printed for the record; only a hang fails the test.
TEST(ProcessEndE2E, EndsSoonAfterTheCloseAtTheLongestRateWithTheClockUpdating) {
  using Clock = std::chrono::steady_clock;
  for (const int delay_ms : {0, 350, 700}) {
    AppFolder folder;
    folder.WriteIni("[General]\r\nFirstLaunch=0\r\nRate=2000\r\nUpdateSpeed=1\r\nAppModeHotkey=0\r\n");
    App app(folder.exe());
    HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    // The clock thread has measured once (its figure is on the label) and
    // is in its cycle.
    HWND speed = GetDlgItem(main, kIdLabelCPUSpeed);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(speed) != L"? MHz"; }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return Query(app.pid(), AppQuery::Samples) >= 1; }, 20000));
    const LRESULT before = Query(app.pid(), AppQuery::Samples);
    ASSERT_TRUE(WaitUntil([&] { return Query(app.pid(), AppQuery::Samples) > before; }, 5000));
    Sleep(static_cast<DWORD>(delay_ms));

    const SamplingThreads threads(app.pid());
    ASSERT_TRUE(threads.Held());
    const auto t0 = Clock::now();
    auto elapsed_ms = [&] {
      return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count());
    };
    PostMessageW(main, WM_CLOSE, 0, 0);
    long stopped_ms = -1;
    while (stopped_ms < 0 && elapsed_ms() < 15000) {
      if (threads.Ended()) stopped_ms = elapsed_ms();
      Sleep(1);
    }
    DWORD code = 1;
    ASSERT_TRUE(app.WaitForExit(15000, &code)) << "the process did not end";
    const long ended_ms = elapsed_ms();
    std::printf("Rate 2000, UpdateSpeed 1, close %d ms after a sample: sampling threads stopped %ld ms, "
                "process ended %ld ms after the close request\n",
                delay_ms, stopped_ms, ended_ms);
    EXPECT_EQ(code, 0u);
  }
}

}  // namespace
}  // namespace zt::e2e
