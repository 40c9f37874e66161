// The statistics window without a monitor (the real program's window with
// one is driven end to end in tests/e2e).
#include "dialogs/statistics_form_win.h"

#include <gtest/gtest.h>

#include "sampling/monitor_fakes.h"
#include "sampling/res_monitor.h"

namespace zt {
namespace {

std::wstring Value(const TForm_Statistics& form, StatisticsValue v) {
  return ControlText(GetDlgItem(form.hwnd(), kIdStatisticsValue + static_cast<int>(v)));
}

TEST(StatisticsForm, WithoutAMonitorEveryFigureIsUnknownAndResetDoesNothing) {
  ASSERT_EQ(ResMonitor, nullptr);
  int graph_clears = 0;
  TForm_Statistics form([&] { ++graph_clears; });
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  RECT client;
  GetClientRect(form.hwnd(), &client);
  EXPECT_EQ(client.right, 241);
  EXPECT_EQ(client.bottom, 387);
  EXPECT_FALSE(form.visible());
  EXPECT_EQ(Value(form, StatisticsValue::Samples), L"") << "nothing is read while hidden";
  form.Show();
  for (int v = 0; v < kStatisticsValueCount; ++v)
    EXPECT_EQ(Value(form, static_cast<StatisticsValue>(v)), L"??") << v;
  SendMessageW(GetDlgItem(form.hwnd(), kIdSpeedButtonReset), BM_CLICK, 0, 0);
  EXPECT_EQ(Value(form, StatisticsValue::Samples), L"??");
  EXPECT_EQ(graph_clears, 0);
}

// The reset restarts the samples' count, so the main window's graph, whose x
// values are the sample numbers, is emptied through what the window was
// handed.
TEST(StatisticsForm, TheResetEmptiesTheGraphItWasHanded) {
  test::RecordingDisplay display;
  ResMonitor = new TResMonitor(&display);
  int graph_clears = 0;
  {
    TForm_Statistics form([&] { ++graph_clears; });
    ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
    form.Show();
    EXPECT_EQ(Value(form, StatisticsValue::Samples), L"0");
    SendMessageW(GetDlgItem(form.hwnd(), kIdSpeedButtonReset), BM_CLICK, 0, 0);
    EXPECT_EQ(graph_clears, 1);
    EXPECT_EQ(Value(form, StatisticsValue::Samples), L"0");
  }
  delete ResMonitor;
  ResMonitor = nullptr;
}

}  // namespace
}  // namespace zt
