// The sampling threads inside the real zettrim.exe: the statistics record
// fills, the clock label gets its figure, and a close request stops both
// threads promptly with exit code 0.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <thread>
#include <vector>
#include <fstream>
#include <iterator>
#include <string>

#include "dialogs/statistics_form_win.h"
#include "main_window_support.h"
#include "shell/main_form_win.h"
#include "util/unicode_win.h"

namespace zt::e2e {
namespace {

// Posts a close request and returns the time until both sampling threads
// had ended, or -1 when they did not within 15 s; then waits for the
// process to end.  The time is a
// figure, not a bound: it includes the window leaving the screen and the
// tray icon's removal, which come first and which Wine, under a display
// without a window manager, holds for 2 s each.  The bound on stopping the
// threads themselves is MonitorsTest.RealSourcesSampleAndStopWithinTheBound.
long CloseAndTime(App& app, HWND main, DWORD* code) {
  const SamplingThreads threads(app.pid());
  if (!threads.Held()) return -1;
  const auto t0 = std::chrono::steady_clock::now();
  PostMessageW(main, WM_CLOSE, 0, 0);
  const bool stopped = WaitUntil([&] { return threads.Ended(); }, 15000);
  const auto t1 = std::chrono::steady_clock::now();
  if (!app.WaitForExit(15000, code)) return -1;
  std::printf("close to process end: %ld ms\n",
              static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now() - t0)
                                    .count()));
  if (!stopped) return -1;
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(t1 - t0).count());
}

TEST(SamplingE2E, StatisticsFillAndCloseStopsBothThreads) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nRate=100\r\nUpdateSpeed=1\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Query(app.pid(), AppQuery::Samples) >= 20; }, 20000))
      << Query(app.pid(), AppQuery::Samples);
  EXPECT_EQ(Query(app.pid(), AppQuery::MonitorRunning), 1);
  EXPECT_GE(Query(app.pid(), AppQuery::CpuCount), 1);
  EXPECT_GT(Query(app.pid(), AppQuery::MemoryTotalMB), 0);
  const LRESULT avg = Query(app.pid(), AppQuery::CpuAverageX100);
  EXPECT_GE(avg, 0);
  EXPECT_LE(avg, 10000);
  // The clock figure reached the label.
  HWND label = GetDlgItem(main, kIdLabelCPUSpeed);
  ASSERT_NE(label, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(label) != L"? MHz"; }, 15000));
  const std::wstring text = WindowText(label);
  EXPECT_EQ(text.substr(text.size() - 4), L" MHz") << Narrow(text);
  EXPECT_GT(std::stol(text), 0) << Narrow(text);
  std::printf("samples %ld, cpu count %ld, average load %.2f %%, memory %ld MB, clock %s\n",
              static_cast<long>(Query(app.pid(), AppQuery::Samples)),
              static_cast<long>(Query(app.pid(), AppQuery::CpuCount)), avg / 100.0,
              static_cast<long>(Query(app.pid(), AppQuery::MemoryTotalMB)),
              Narrow(text).c_str());

  DWORD code = 1;
  const long took = CloseAndTime(app, main, &code);
  std::printf("close to threads stopped: %ld ms\n", took);
  ASSERT_GE(took, 0) << "the sampling threads did not stop";
  EXPECT_EQ(code, 0u);
}

// Every processor busy from before the start: the program's first samples
// follow its start-up reading within moments, and must still be measured,
// so after a few seconds the lowest load is the busy figure, not 0.00 %.
TEST(SamplingE2E, WithTheProcessorsBusyFromTheStartTheLowestLoadIsTheBusyOne) {
  std::atomic<bool> stop{false};
  std::vector<std::thread> busy;
  for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
    busy.emplace_back([&] {
      while (!stop) {
      }
    });
  Sleep(500);
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  HWND statistics = app.WaitForWindow(kStatisticsFormClass, nullptr);
  const bool sampled = WaitUntil([&] { return Query(app.pid(), AppQuery::Samples) >= 6; }, 20000);
  PostMessageW(main, WM_KEYDOWN, VK_F5, 0);
  HWND lowest = GetDlgItem(statistics, kIdStatisticsValue + static_cast<int>(StatisticsValue::CpuUsageMin));
  WaitUntil([&] { return WindowText(lowest).find(L'%') != std::wstring::npos; }, 5000);
  const std::wstring text = WindowText(lowest);
  stop = true;
  for (auto& t : busy) t.join();
  ASSERT_TRUE(sampled);
  std::printf("lowest load with every processor busy: %s\n", Narrow(text).c_str());
  EXPECT_GT(std::wcstod(text.c_str(), nullptr), 50.0) << Narrow(text);
  EXPECT_TRUE(CloseMain(app, main));
}

// The query window answers the tests of the user who runs the program; the
// program never relaxes the system's message filter for the whole process
// (that would open the query window to processes of lower integrity).  Only
// the main window lets one message through: Explorer's restart (the shell's
// tests hold it to that).
TEST(SamplingE2E, TheProgramLeavesTheProcesssMessageFilterAlone) {
  AppFolder folder;
  std::ifstream in(folder.exe().c_str(), std::ios::binary);
  const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(image.size(), 100000u);
  EXPECT_EQ(image.find(std::string("ChangeWindowMessageFilter\0", 26)), std::string::npos);
}

}  // namespace
}  // namespace zt::e2e
