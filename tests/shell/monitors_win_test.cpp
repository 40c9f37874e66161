// The sampling threads' start and stop (TMonitors) in this process: a plain
// window receives the clock figures, a recording display the samples;
// message boxes are answered by a helper thread.
#include "shell/monitors_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>

#include "config/config.h"
#include "sampling/cpu_speed.h"
#include "sampling/monitor_fakes.h"
#include "sampling/res_monitor.h"
#include "support/fake_registry.h"
#include "util/control_text_win.h"
#include "util/registry.h"
#include "util/texts.h"
#include "util/unicode_win.h"
#include "util/window_messages.h"

namespace zt {
namespace {

std::atomic<int> g_speed_posts{0};
std::atomic<unsigned> g_last_speed{0};

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_CPUSPEED) {
    ++g_speed_posts;
    g_last_speed = static_cast<unsigned>(wparam);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

HWND CreateTestWindow() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = TestWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Zettrim.MonitorsTestWindow";
  RegisterClassExW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"monitors test", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                         100, nullptr, nullptr, wc.hInstance, nullptr);
}

// Runs the message loop of this thread for `ms` or until `done` holds.
template <typename Pred>
void Pump(int ms, Pred done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end && !done()) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
}

struct BoxSearch {
  const wchar_t* title = nullptr;  // only boxes with this title, when set
  HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<BoxSearch*>(lp);
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
  if (search->title && ControlText(hwnd) != search->title) return TRUE;
  search->found = hwnd;
  return FALSE;
}

// Answers the first message box of `thread_id` with button `button`,
// remembering its text and whether it is titled `title`; with `only_titled`,
// boxes with other titles are left to others.
class BoxAnswerer {
 public:
  BoxAnswerer(DWORD thread_id, const wchar_t* title, int button, bool only_titled = false)
      : thread_([=] {
          const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
          while (std::chrono::steady_clock::now() < end) {
            BoxSearch search;
            if (only_titled) search.title = title;
            EnumThreadWindows(thread_id, FindBox, reinterpret_cast<LPARAM>(&search));
            HWND box = search.found;
            if (box) {
              wchar_t buf[512] = {};
              GetWindowTextW(box, buf, 512);
              title_ = Narrow(buf);
              GetDlgItemTextW(box, 0xFFFF, buf, 512);
              text_ = Narrow(buf);
              matched_ = title_ == Narrow(title);
              PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
              seen_ = true;
              return;
            }
            Sleep(20);
          }
        }) {}
  ~BoxAnswerer() { thread_.join(); }
  bool Seen() const { return seen_; }
  bool Matched() const { return matched_; }
  std::string Title() const { return title_; }
  std::string Text() const { return text_; }

 private:
  std::atomic<bool> seen_{false};
  std::atomic<bool> matched_{false};
  std::string title_, text_;
  std::thread thread_;
};

void PutDword(FakeRegistry& reg, const char* path, uint32_t v) {
  reg.PutDword(RegRoot::LocalMachine, path, "Disable Performance Counters", v);
}

class MonitorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigToDefaults();
    window_ = CreateTestWindow();
    ASSERT_TRUE(window_);
    g_speed_posts = 0;
  }
  void TearDown() override {
    monitors_.reset();
    if (window_) DestroyWindow(window_);
    use_load_.reset();
    ResetConfigToDefaults();
  }
  void UseLoad(std::unique_ptr<IProcessorLoad> load) {
    use_load_.reset();
    load_ = std::move(load);
    use_load_.emplace(*load_);
  }

  FakeRegistry registry_;
  ScopedOverride<IRegistry> use_registry_{registry_};
  HWND window_ = nullptr;
  test::RecordingDisplay display_;
  std::unique_ptr<IProcessorLoad> load_;
  std::optional<ScopedOverride<IProcessorLoad>> use_load_;
  std::optional<TMonitors> monitors_;
};

TEST_F(MonitorsTest, SamplesAndClockFiguresArriveAndStopIsPrompt) {
  UseLoad(std::make_unique<test::FakeLoad>(test::Rows{{30, 50, 40}}));
  Rate = 100;
  monitors_.emplace(window_, display_);
  ASSERT_NE(ResMonitor, nullptr);
  ASSERT_NE(CPUSpeed, nullptr);
  Pump(8000, [] { return g_speed_posts >= 1 && ResMonitor->CopyStatistics().Samples >= 5; });
  EXPECT_GE(ResMonitor->CopyStatistics().Samples, 5u);
  EXPECT_GE(g_speed_posts, 1);
  EXPECT_GT(g_last_speed.load(), 0u);
  EXPECT_GE(display_.gauge_calls, 5);
  EXPECT_EQ(display_.gauge, 40);
  EXPECT_EQ(ResMonitor->CopySample().CpuCount, 2);
  EXPECT_TRUE(ResMonitor->Started() && !ResMonitor->Finished());
  EXPECT_NEAR(ResMonitor->CopyStatistics().CpuAverage, 40.0, 0.005);

  const auto t0 = std::chrono::steady_clock::now();
  monitors_.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(2500));
  EXPECT_EQ(ResMonitor, nullptr);
  EXPECT_EQ(CPUSpeed, nullptr);
}

TEST_F(MonitorsTest, RealSourcesSampleAndStopWithinTheBound) {
  Rate = 2000;
  UpdateSpeed = true;
  monitors_.emplace(window_, display_);
  ASSERT_NE(ResMonitor, nullptr);
  ASSERT_TRUE(ResMonitor->Started());
  Pump(10000, [] { return g_speed_posts >= 1 && ResMonitor->CopyStatistics().Samples >= 2; });
  EXPECT_GE(ResMonitor->CopyStatistics().Samples, 2u);
  const auto t0 = std::chrono::steady_clock::now();
  monitors_.reset();
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - t0);
  std::printf("The stop took %ld ms\n", static_cast<long>(took.count()));
  EXPECT_LT(took.count(), 2500);
}

TEST_F(MonitorsTest, FailedFirstReadingShowsTheErrorAndLeavesTheMonitorStopped) {
  auto load = std::make_unique<test::FakeLoad>(test::Rows{{30, 50, 40}});
  load->fail_from = 1;
  UseLoad(std::move(load));
  BoxAnswerer answer(GetCurrentThreadId(), L"Error", IDOK);
  monitors_.emplace(window_, display_);
  EXPECT_TRUE(answer.Seen());
  EXPECT_TRUE(answer.Matched()) << answer.Title();
  EXPECT_EQ(answer.Text(), "CPU index out of bounds");
  ASSERT_NE(ResMonitor, nullptr);
  EXPECT_FALSE(ResMonitor->Started());
  EXPECT_EQ(ResMonitor->CopyStatistics().Samples, 0u);
  // The clock still runs.
  Pump(5000, [] { return g_speed_posts >= 1; });
  EXPECT_GE(g_speed_posts, 1);
  monitors_.reset();
  EXPECT_TRUE(display_.tray.empty());
}

TEST_F(MonitorsTest, DisabledCountersAreOfferedAndEnabledOnYes) {
  constexpr char kGlobal[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
  constexpr char kPerfOS[] = "SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance";
  PutDword(registry_, kGlobal, 1);
  PutDword(registry_, kPerfOS, 1);
  UseLoad(std::make_unique<test::FakeLoad>(test::Rows{{30, 50, 40}}));
  {
    BoxAnswerer answer(GetCurrentThreadId(), L"Warning", IDYES);
    monitors_.emplace(window_, display_);
    EXPECT_TRUE(answer.Seen());
    EXPECT_TRUE(answer.Matched()) << answer.Title();
    EXPECT_EQ(answer.Text(), Text(TextId::PerfCountersDisabled));
  }
  auto key = registry_.OpenKey(RegRoot::LocalMachine, kGlobal, RegAccess::Read);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadDword("Disable Performance Counters"), 0u);
  EXPECT_TRUE(ResMonitor->Started());
  monitors_.reset();

  // On No nothing is written, and start-up still goes on.
  PutDword(registry_, kGlobal, 1);
  {
    BoxAnswerer answer(GetCurrentThreadId(), L"Warning", IDNO);
    monitors_.emplace(window_, display_);
    EXPECT_TRUE(answer.Seen());
  }
  EXPECT_EQ(key->ReadDword("Disable Performance Counters"), 1u);
  EXPECT_TRUE(ResMonitor->Started());
}

// A user without administrator rights says Yes: the refusal is shown once,
// nothing is written, and start-up goes on.
TEST_F(MonitorsTest, RefusedSwitchIsToldOnceAndWritesNothing) {
  constexpr char kGlobal[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
  constexpr char kPerfOS[] = "SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance";
  PutDword(registry_, kGlobal, 1);
  PutDword(registry_, kPerfOS, 1);
  registry_.At(RegRoot::LocalMachine, kGlobal).read_only = true;
  registry_.At(RegRoot::LocalMachine, kPerfOS).read_only = true;
  UseLoad(std::make_unique<test::FakeLoad>(test::Rows{{30, 50, 40}}));
  {
    BoxAnswerer question(GetCurrentThreadId(), L"Warning", IDYES, true);
    BoxAnswerer refusal(GetCurrentThreadId(), L"Error", IDOK, true);
    monitors_.emplace(window_, display_);
    EXPECT_TRUE(question.Seen());
    EXPECT_EQ(question.Text(), Text(TextId::PerfCountersDisabled));
    EXPECT_TRUE(refusal.Seen());
    EXPECT_EQ(refusal.Text(), Text(TextId::PerfCountersRefused));
  }
  for (const char* path : {kGlobal, kPerfOS}) {
    auto key = registry_.OpenKey(RegRoot::LocalMachine, path, RegAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadDword("Disable Performance Counters"), 1u) << path;
  }
  EXPECT_TRUE(ResMonitor->Started());
}

}  // namespace
}  // namespace zt
