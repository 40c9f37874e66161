// The statistics window without a monitor (the real program's window with
// one is driven end to end in tests/e2e).
#include "dialogs/statistics_form_win.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sampling/monitor_fakes.h"
#include "sampling/res_monitor.h"
#include "support/clipboard_text_win.h"
#include "support/key_press_win.h"
#include "util/unicode_win.h"

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

// A 32-bit build on two processor groups of 48 whose system refuses to read
// them group by group: the performance data that takes over holds group 0
// alone, and the title and the copy say whose load it is.
TEST(StatisticsForm, ALoadOfOneGroupOfTwoSaysSo) {
  struct RefusingGroups : IProcessorGroupReader {
    uint16_t GroupCount() override { return 2; }
    uint32_t ProcessorsInGroup(uint16_t) override { return 48; }
    bool AppendIdleTimes(uint16_t, std::vector<int64_t>&) override { return false; }
    int64_t Now() override { return 0; }
  };
  struct FirstGroupAndTotal : IIdleTimeSource {
    int64_t now = 0;
    void ReadIdleTimes(std::vector<int64_t>& idle, int64_t& t) override { idle.assign(49, (t = now += 10000000) / 2); }
  };
  std::vector<std::unique_ptr<IIdleTimeSource>> sources;
  sources.push_back(std::make_unique<ProcessorGroupsIdleSource>(std::make_unique<RefusingGroups>(), true));
  sources.push_back(std::make_unique<FirstGroupAndTotal>());
  const int64_t& now = static_cast<FirstGroupAndTotal&>(*sources.back()).now;
  IdleTimeProcessorLoad load(std::make_unique<FirstWorkingIdleSource>(std::move(sources)), [&] { return now; });
  ScopedOverride<IProcessorLoad> use(load);
  test::RecordingDisplay display;
  TResMonitor monitor(&display);
  monitor.Initialize();
  ResMonitor = &monitor;
  TForm_Statistics form([] {});
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
  form.Show();
  const std::string title = Narrow(ControlText(GetDlgItem(form.hwnd(), kIdStatisticsCpuUsageTitle)));
  EXPECT_TRUE(title.find("48") != std::string::npos && title.find("96") != std::string::npos) << title;
  EXPECT_EQ(form.FiguresText().rfind(title + " ", 0), 0u) << form.FiguresText();
  ResMonitor = nullptr;
}

// Without a mouse: Tab reaches the reset button, Space, Enter and its key
// press it; Ctrl+C copies every figure shown with its caption.
TEST(StatisticsForm, TheKeyboardResetsAndCopies) {
  test::RecordingDisplay display;
  ResMonitor = new TResMonitor(&display);
  int graph_clears = 0;
  {
    TForm_Statistics form([&] { ++graph_clears; });
    ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), nullptr));
    form.Show();
    HWND reset = GetDlgItem(form.hwnd(), kIdSpeedButtonReset);
    SetFocus(form.hwnd());
    test::PressKey(form.hwnd(), VK_TAB);
    ASSERT_EQ(GetFocus(), reset);
    test::PressAndReleaseKey(reset, VK_SPACE);
    EXPECT_EQ(graph_clears, 1);
    test::PressKey(reset, VK_RETURN);
    EXPECT_EQ(graph_clears, 2);
    test::PressAltKey(reset, L'r');
    EXPECT_EQ(graph_clears, 3);

    test::PressKey(reset, 'C', true);
    const std::wstring copied = test::ClipboardText();
    EXPECT_EQ(copied.rfind(L"CPU使用率 最大：\t" + Value(form, StatisticsValue::CpuUsageMax) + L"\n", 0), 0u)
        << Narrow(copied);
    EXPECT_NE(copied.find(L"\n计数器 样本：\t0\n"), std::wstring::npos) << Narrow(copied);
    EXPECT_EQ(std::count(copied.begin(), copied.end(), L'\n'), kStatisticsValueCount);
  }
  delete ResMonitor;
  ResMonitor = nullptr;
}
}  // namespace
}  // namespace zt
