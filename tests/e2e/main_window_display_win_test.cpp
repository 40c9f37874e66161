// The real program's live display: speed label, gauge and graph, the bar
// graph switch, the splash, and live objects over many samples.
#include <gtest/gtest.h>

#include "main_window_support.h"
#include "query_receiver.h"
#include "util/unicode_win.h"
#include "util/window_messages.h"

namespace zt::e2e {
namespace {

TEST(MainWindowDisplayE2E, HideBarGraphGivesTheGraphTheGaugesColumn) {
  for (int hide = 0; hide <= 1; ++hide) {
    AppFolder folder;
    folder.WriteIni("[General]\r\nFirstLaunch=0\r\nHideBarGraph=" + std::to_string(hide) + "\r\n");
    App app(folder.exe());
    HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitVisible(main, true));
    HWND gauge = GetDlgItem(main, kIdGauge);
    RECT client;
    GetClientRect(main, &client);
    RECT chart = ChildRectIn(main, kIdChart);
    if (hide) {
      EXPECT_FALSE(IsWindowVisible(gauge));
      EXPECT_EQ(chart.right, client.right);
    } else {
      EXPECT_TRUE(IsWindowVisible(gauge));
      EXPECT_EQ(chart.right, ChildRectIn(main, kIdGauge).left);
      EXPECT_EQ(chart.right, 210);
    }
    ASSERT_TRUE(CloseMain(app, main));
  }
}

// On, the window grows by a line under the graph with what the system tells
// of the disks, the network and the graphics (Wine: the network only), and
// the tray tip gains their lines; off, no line and no growth.
TEST(MainWindowDisplayE2E, ShowMoreResourcesAddsItsLineBelowAnUnchangedGraph) {
  const std::wstring net = Widen(TextIn(SystemLanguage(), TextId::MoreNetwork));
  RECT client[2], chart[2];
  for (int on = 0; on <= 1; ++on) {
    AppFolder folder;
    folder.WriteIni("[General]\r\nFirstLaunch=0\r\nShowMoreResources=" + std::to_string(on) + "\r\n");
    App app(folder.exe());
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main && WaitVisible(main, true));
    GetClientRect(main, &client[on]);
    chart[on] = ChildRectIn(main, kIdChart);
    HWND line = GetDlgItem(main, kIdLabelMoreResources);
    EXPECT_EQ(line && IsWindowVisible(line), on == 1);
    std::wstring text, tip;
    QueryReceiver receiver;
    if (on && line) {
      EXPECT_TRUE(WaitUntil([&] { return (text = WindowText(line)).rfind(net + L" \u2193", 0) == 0; }, 10000))
          << Narrow(text);
      EXPECT_TRUE(WaitUntil([&] { return (tip = receiver.Ask(main, AppQuery::TrayTip)).find(L"\r" + net) != tip.npos; },
                            5000)) << Narrow(tip);
    }
    ASSERT_TRUE(CloseMain(app, main));
  }
  EXPECT_EQ(client[1].right, client[0].right);
  EXPECT_GT(client[1].bottom, client[0].bottom) << "the window grows by the line";
  EXPECT_TRUE(EqualRect(&chart[1], &chart[0])) << "the graph stays as it was";
}

// (Leaks over many samples are counted at the system calls in the main
// window's own test, MainFormTest.LiveObjectsStayFlatOverTenThousandSamples.)
TEST(MainWindowDisplayE2E, SamplesReachTheGraphGaugeAndTray) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nRate=10\r\nGraphLength=50\r\nDisplayEachCPU=1\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  // Wait until the graph is full: from then on each line is trimmed to
  // exactly GraphLength points before the next one is added.
  ASSERT_TRUE(WaitUntil([&] { return QueryOwner(main, AppQuery::LinePoints0) >= 50; }, 20000))
      << "no samples arrived";
  const auto line1 = static_cast<AppQuery>(static_cast<WPARAM>(AppQuery::LinePoints0) + 1);
  EXPECT_EQ(QueryOwner(main, AppQuery::LinePoints0), 50) << "kept at GraphLength";
  EXPECT_EQ(QueryOwner(main, line1), 50);
  EXPECT_NE(WindowText(GetDlgItem(main, kIdGauge)), L"");
  EXPECT_NE(WindowText(GetDlgItem(main, kIdLabelMemoryUsed)), L"? MB");
  // The tray's tip carries the figures of the samples, not the title.
  QueryReceiver receiver;
  std::wstring tip;
  EXPECT_TRUE(WaitUntil([&] { return (tip = receiver.Ask(main, AppQuery::TrayTip)).rfind(L"CPU", 0) == 0; }, 5000))
      << Narrow(tip);
  const LRESULT samples = QueryOwner(main, AppQuery::Samples);
  Sleep(4000);
  EXPECT_GT(QueryOwner(main, AppQuery::Samples), samples + 50);
  EXPECT_EQ(QueryOwner(main, AppQuery::LinePoints0), 50);
  EXPECT_EQ(QueryOwner(main, line1), 50);
  // The splash is gone after five seconds.
  HWND splash = GetDlgItem(GetDlgItem(main, kIdChart), kIdLabelSplash);
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(splash); }, 6000));
  ASSERT_TRUE(CloseMain(app, main));
}

// In tray mode the hidden window's widgets are left alone; the double click
// that shows the window brings every figure at once, a clock figure that
// came while it was hidden included.
TEST(MainWindowDisplayE2E, FiguresTakenInTrayModeShowAtOnceWhenShown) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nRate=10\r\nAppTrayMode=1\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Query(app.pid(), AppQuery::Samples) >= 20; }, 20000));
  // The clock thread measures nothing in tray mode; a figure it posted as
  // tray mode began would arrive like this one.
  PostMessageW(main, WM_CPUSPEED, 4321, 0);
  Sleep(300);
  ASSERT_FALSE(IsWindowVisible(main));
  HWND speed = GetDlgItem(main, kIdLabelCPUSpeed);
  HWND memory = GetDlgItem(main, kIdLabelMemoryUsed);
  EXPECT_EQ(WindowText(speed), L"? MHz");
  EXPECT_EQ(WindowText(memory), L"? MB");

  SendMessageW(main, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(WindowText(speed), L"4,321 MHz");
  EXPECT_NE(WindowText(memory), L"? MB");
  ASSERT_TRUE(CloseMain(app, main));
}

}  // namespace
}  // namespace zt::e2e
