// The statistics window's labels and reset, with a monitor driven step by
// step (its thread never runs).
#include "dialogs/statistics_form_win.h"

#include <gtest/gtest.h>

#include "sampling/monitor_fakes.h"

namespace zt {
namespace {

std::wstring Value(const TForm_Statistics& form, StatisticsValue v) {
  return ControlText(GetDlgItem(form.hwnd(), kIdStatisticsValue + static_cast<int>(v)));
}

// Sets the process-wide monitor for one test.
class MonitorInstalled {
 public:
  explicit MonitorInstalled(TResMonitor* monitor) : old_(ResMonitor) { ResMonitor = monitor; }
  ~MonitorInstalled() { ResMonitor = old_; }

 private:
  TResMonitor* old_;
};

TEST(StatisticsForm, WithoutAMonitorEveryFigureIsUnknownAndResetDoesNothing) {
  MonitorInstalled none(nullptr);
  TForm_Statistics form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  RECT client;
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, 241);
  EXPECT_EQ(client.bottom, 387);
  EXPECT_FALSE(form.visible());
  form.Show();
  for (int v = 0; v < kStatisticsValueCount; ++v)
    EXPECT_EQ(Value(form, static_cast<StatisticsValue>(v)), L"??") << v;
  SendMessageW(GetDlgItem(form.hwnd(), kIdSpeedButtonReset), BM_CLICK, 0, 0);
  EXPECT_EQ(Value(form, StatisticsValue::Samples), L"??");
}

TEST(StatisticsForm, ShowingRefreshesAtOnceAndResetStartsTheCountAgain) {
  test::FakeLoad load({{40, 40}});
  test::FakeClock clock;
  test::FakeMemory memory;
  memory.phys_total = memory.page_total = 8192ull << 20;
  memory.phys_avail = memory.page_avail = 4096ull << 20;
  const test::UseSources use(load, &clock, memory, true);
  TResMonitor monitor(nullptr);
  monitor.Initialize();
  for (int i = 0; i < 3; ++i) monitor.UpdateStatistics();
  MonitorInstalled installed(&monitor);

  TForm_Statistics form;
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  EXPECT_EQ(Value(form, StatisticsValue::Samples), L"") << "nothing is read while hidden";
  form.Show();
  EXPECT_EQ(Value(form, StatisticsValue::Samples), L"3");
  EXPECT_EQ(Value(form, StatisticsValue::MemoryUsageMax), L"50.0 %  (4,096 MB)");
  EXPECT_NE(Value(form, StatisticsValue::Rate), L"--");

  // The reset button; there is no main window here to clear.
  SendMessageW(GetDlgItem(form.hwnd(), kIdSpeedButtonReset), BM_CLICK, 0, 0);
  EXPECT_EQ(Value(form, StatisticsValue::Samples), L"0");
  EXPECT_EQ(Value(form, StatisticsValue::Rate), L"--");
  EXPECT_EQ(monitor.CopyStatistics().Samples, 0u);
}

}  // namespace
}  // namespace zt
