// The statistics and about windows inside the real program: made hidden at
// start, opened by their commands, the statistics live only while shown, the
// reset, and the about window's texts and clipboard copy.
#include <gtest/gtest.h>

#include "support/clipboard_text_win.h"

#include <cstdlib>
#include <regex>
#include <string>

#include "config/program.h"
#include "dialogs/about_form_win.h"
#include "dialogs/statistics_form_win.h"
#include "main_window_support.h"
#include "shell/menu_model.h"
#include "util/clipboard_win.h"
#include "util/unicode_win.h"

namespace zt::e2e {
namespace {

std::wstring ValueText(HWND statistics, StatisticsValue v) {
  return WindowText(GetDlgItem(statistics, kIdStatisticsValue + static_cast<int>(v)));
}

long SamplesShown(HWND statistics) {
  const std::wstring text = ValueText(statistics, StatisticsValue::Samples);
  return text.empty() ? -1 : std::wcstol(text.c_str(), nullptr, 10);
}

LRESULT LinePoints(HWND main, int line) {
  return QueryOwner(main, static_cast<AppQuery>(static_cast<WPARAM>(AppQuery::LinePoints0) + line));
}

using test::ClipboardText;

TEST(StatisticsWindowE2E, LiveWhileShownFrozenWhileHiddenAndTheResetClearsTheGraph) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\n");  // the default rate, 500 ms
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  HWND statistics = app.WaitForWindow(kStatisticsFormClass, L"统计");
  ASSERT_NE(statistics, nullptr) << "made at start";
  EXPECT_FALSE(IsWindowVisible(statistics));

  PostMessageW(main, WM_KEYDOWN, VK_F5, 0);
  ASSERT_TRUE(WaitVisible(statistics, true)) << "F5 opens it";
  RECT client;
  GetClientRect(statistics, &client);
  EXPECT_EQ(client.right, 241);
  EXPECT_EQ(client.bottom, 387);

  // At 500 ms a sample the actual rate settles near half a second.
  ASSERT_TRUE(WaitUntil([&] { return SamplesShown(statistics) >= 12; }, 30000))
      << Narrow(ValueText(statistics, StatisticsValue::Samples));
  const double rate = std::wcstod(ValueText(statistics, StatisticsValue::ActualRate).c_str(), nullptr);
  EXPECT_GT(rate, 0.44) << Narrow(ValueText(statistics, StatisticsValue::ActualRate));
  EXPECT_LT(rate, 0.60) << Narrow(ValueText(statistics, StatisticsValue::ActualRate));
  const std::string started = Narrow(ValueText(statistics, StatisticsValue::TimeStarted));
  EXPECT_TRUE(std::regex_match(started, std::regex(R"(\d\d \S+ \d{4}, \d\d:\d\d:\d\d)"))) << started;
  EXPECT_TRUE(std::regex_match(Narrow(ValueText(statistics, StatisticsValue::TimeRuning)),
                               std::regex(R"((\d+ mins )?\d+ secs)")));
  EXPECT_NE(ValueText(statistics, StatisticsValue::CpuUsageMax).find(L" %"), std::wstring::npos);
  EXPECT_NE(ValueText(statistics, StatisticsValue::MemoryUsageMax).find(L" MB)"), std::wstring::npos);

  // Hidden, it stops reading while the monitor goes on.
  PostMessageW(statistics, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitVisible(statistics, false));
  const std::wstring frozen = ValueText(statistics, StatisticsValue::Samples);
  const LRESULT monitor_samples = Query(app.pid(), AppQuery::Samples);
  ASSERT_TRUE(WaitUntil([&] { return Query(app.pid(), AppQuery::Samples) >= monitor_samples + 5; },
                        20000));
  EXPECT_EQ(ValueText(statistics, StatisticsValue::Samples), frozen);

  // Shown again it reads at once; the reset starts the count and the graph
  // again.
  PostMessageW(main, WM_COMMAND, MI_Statistics, 0);
  ASSERT_TRUE(WaitVisible(statistics, true));
  EXPECT_TRUE(WaitUntil([&] { return SamplesShown(statistics) > std::wcstol(frozen.c_str(), nullptr, 10); }, 3000));
  ASSERT_GE(LinePoints(main, 1), 10);
  SendMessageW(GetDlgItem(statistics, kIdSpeedButtonReset), BM_CLICK, 0, 0);
  EXPECT_LE(SamplesShown(statistics), 1);
  EXPECT_LE(LinePoints(main, 0), 1);
  EXPECT_LE(LinePoints(main, 1), 1);
  EXPECT_LE(Query(app.pid(), AppQuery::Samples), 2);
  ASSERT_TRUE(CloseMain(app, main));
}

TEST(AboutWindowE2E, MadeHiddenShowsTheBuildAndItsHeaderCopiesTheIdentification) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  HWND about = app.WaitForWindow(kAboutFormClass, L"关于");
  ASSERT_NE(about, nullptr) << "made at start";
  EXPECT_FALSE(IsWindowVisible(about));
  // The window exists a moment before its labels do.
  EXPECT_TRUE(WaitUntil([&] { return FindChildByText(about, L"版本： 2.0") != nullptr; }, 5000));
  EXPECT_NE(FindChildByText(about, L"日期： " + Widen(BuildDate())), nullptr);

  PostMessageW(main, WM_COMMAND, MI_About, 0);
  ASSERT_TRUE(WaitVisible(about, true));
  HWND header = GetDlgItem(about, kIdPanelHeader);
  ASSERT_NE(header, nullptr);
  ASSERT_TRUE(CopyTextToClipboard(nullptr, L"before"));
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(header, WM_LBUTTONUP, 0, MAKELPARAM(300, 10), SMTO_ABORTIFHUNG, 5000, &ignored);
  EXPECT_EQ(ClipboardText(), L"before") << "a left click copies nothing";
  SendMessageTimeoutW(header, WM_RBUTTONUP, 0, MAKELPARAM(300, 10), SMTO_ABORTIFHUNG, 5000, &ignored);
  EXPECT_EQ(ClipboardText(), L"Zettrim 2.0 (" + Widen(BuildDate()) + L")");

  PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitVisible(about, false)) << "Esc closes it";
  ASSERT_TRUE(CloseMain(app, main));
}

}  // namespace
}  // namespace zt::e2e
