// The real program's windows beside its main window, which stays on top of
// every other program: only the about window shares that; the statistics,
// settings and CPU information windows are ordinary windows that other
// programs can cover, and each showing puts them clear of the main window.
#include <gtest/gtest.h>

#include "dialogs/about_form_win.h"
#include "dialogs/info_form_win.h"
#include "dialogs/settings_form_win.h"
#include "dialogs/statistics_form_win.h"
#include "main_window_support.h"
#include "shell/menu_model.h"
#include "util/unicode_win.h"

namespace zt::e2e {
namespace {

bool Topmost(HWND h) { return (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool Overlap(HWND a, HWND b) {
  RECT ra = WindowRect(a), rb = WindowRect(b), common;
  return IntersectRect(&common, &ra, &rb) != FALSE;
}

TEST(WindowStackingE2E, OnlyTheAboutWindowStaysOnTopWithTheMainWindow) {
  AppFolder folder;
  // A first run: the main window opens centred, where the other windows
  // open too.
  folder.WriteIni("[General]\r\nLanguage=zh-CN\r\nAlwaysOnTop=1\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  ASSERT_TRUE(Topmost(main));

  struct Ordinary {
    const wchar_t* cls;
    const wchar_t* title;
    UINT key;
  };
  for (const Ordinary& w : {Ordinary{kStatisticsFormClass, L"统计", VK_F5}, Ordinary{kSettingsWindowClass, L"设置", VK_F4},
                            Ordinary{kInfoWindowClass, L"CPU信息", VK_F6}}) {
    PostMessageW(main, WM_KEYDOWN, w.key, 0);
    HWND h = app.WaitForWindow(w.cls, w.title);
    ASSERT_NE(h, nullptr) << Narrow(w.title);
    ASSERT_TRUE(WaitVisible(h, true)) << Narrow(w.title);
    EXPECT_FALSE(Topmost(h)) << Narrow(w.title) << " floats above every program";
    EXPECT_EQ(GetWindow(h, GW_OWNER), nullptr) << Narrow(w.title) << ": owned, it would ride above its owner";
    EXPECT_NE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0) << Narrow(w.title) << ": Alt+Tab lists it";
    EXPECT_FALSE(Overlap(h, main)) << Narrow(w.title) << " opens under the main window";
    // Closing hides it.
    PostMessageW(h, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitVisible(h, false)) << Narrow(w.title);
  }

  PostMessageW(main, WM_COMMAND, MI_About, 0);
  HWND about = app.WaitForWindow(kAboutFormClass, L"关于");
  ASSERT_NE(about, nullptr);
  ASSERT_TRUE(WaitVisible(about, true));
  EXPECT_TRUE(Topmost(about)) << "the about window stays on top";
  EXPECT_TRUE(CloseMain(app, main));
}

}  // namespace
}  // namespace zt::e2e
