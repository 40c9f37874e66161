// The real program's display modes: tray mode by the hide button, the menu
// and the hot key; the start in tray mode; exit from the menu.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "main_window_support.h"
#include "shell/menu_model.h"
#include "util/window_messages.h"

namespace zt::e2e {
namespace {

TEST(MainWindowModesE2E, TrayModeByButtonMenuAndHotKey) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  EXPECT_EQ(QueryOwner(main, AppQuery::TrayShown), 1) << "icon present while visible by default";

  // SB_Hide.
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(kIdSBHide, BN_CLICKED), 0);
  ASSERT_TRUE(WaitVisible(main, false));
  EXPECT_EQ(QueryOwner(main, AppQuery::TrayShown), 1);
  // Back by the menu's show/hide.
  PostMessageW(main, WM_COMMAND, MI_ShowHide, 0);
  ASSERT_TRUE(WaitVisible(main, true));
  // Away by the menu, back by a double click on the icon.
  PostMessageW(main, WM_COMMAND, MI_ShowHide, 0);
  ASSERT_TRUE(WaitVisible(main, false));
  PostMessageW(main, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitVisible(main, true));
  // The hot key's message, twice, returns to the start.
  PostMessageW(main, WM_HOTKEY, kAppModeHotkeyId, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_F11));
  ASSERT_TRUE(WaitVisible(main, false));
  PostMessageW(main, WM_HOTKEY, kAppModeHotkeyId, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_F11));
  ASSERT_TRUE(WaitVisible(main, true));
  // Another identifier is ignored.
  PostMessageW(main, WM_HOTKEY, 7, 0);
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(main));

  // Leave in tray mode: the next start keeps the window hidden.
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(kIdSBHide, BN_CLICKED), 0);
  ASSERT_TRUE(WaitVisible(main, false));
  ASSERT_TRUE(CloseMain(app, main));
  EXPECT_EQ(IniGet(folder, "General", "AppTrayMode"), "1");

  App again(folder.exe());
  HWND main2 = again.WaitForMainWindow();
  ASSERT_NE(main2, nullptr);
  Sleep(1500);
  EXPECT_FALSE(IsWindowVisible(main2)) << "a program closed in tray mode starts in tray mode";
  EXPECT_EQ(QueryOwner(main2, AppQuery::TrayShown), 1);
  PostMessageW(main2, WM_COMMAND, MI_ShowHide, 0);
  ASSERT_TRUE(WaitVisible(main2, true));
  ASSERT_TRUE(CloseMain(again, main2));
  EXPECT_EQ(IniGet(folder, "General", "AppTrayMode"), "0");
}

TEST(MainWindowModesE2E, HideTrayWhenVisibleKeepsTheIconOnlyInTrayMode) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nHideTrayWhenVisible=1\r\nAppModeHotkey=0\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  EXPECT_EQ(QueryOwner(main, AppQuery::TrayShown), 0);
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(kIdSBHide, BN_CLICKED), 0);
  ASSERT_TRUE(WaitVisible(main, false));
  EXPECT_EQ(QueryOwner(main, AppQuery::TrayShown), 1);
  PostMessageW(main, WM_HOTKEY, kAppModeHotkeyId, 0);
  ASSERT_TRUE(WaitVisible(main, true));
  // The window becomes visible a moment before the icon goes.
  EXPECT_TRUE(WaitUntil([&] { return QueryOwner(main, AppQuery::TrayShown) == 0; }, 3000));
  ASSERT_TRUE(CloseMain(app, main));
}

TEST(MainWindowModesE2E, ExitFromTheMenuSavesTheSettings) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=1\r\nLockForm=0\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  PostMessageW(main, WM_COMMAND, MI_LockForm, 0);
  PostMessageW(main, WM_COMMAND, MI_Exit, 0);
  DWORD code = 1;
  ASSERT_TRUE(app.WaitForExit(15000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(IniGet(folder, "General", "LockForm"), "1");
  EXPECT_EQ(IniGet(folder, "General", "FirstLaunch"), "0");
}

TEST(MainWindowModesE2E, HotKeyHeldElsewhereAtStartIsGoneForTheRunButKeptInTheFile) {
  // Another program (this one) holds the combination the file names.
  HWND holder = CreateWindowExW(0, L"STATIC", L"holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(holder, nullptr);
  ASSERT_TRUE(RegisterHotKey(holder, 1, MOD_CONTROL | MOD_ALT, VK_F11)) << "Ctrl+Alt+F11 is taken on this desktop";
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nAppModeHotkey=122\r\nAppModeHotkeyModifiers=3\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  EXPECT_EQ(QueryOwner(main, AppQuery::HotkeyRegistered), 0);
  ASSERT_TRUE(CloseMain(app, main));
  EXPECT_EQ(IniGet(folder, "General", "AppModeHotkey"), "122");
  EXPECT_EQ(IniGet(folder, "General", "AppModeHotkeyModifiers"), "3");
  UnregisterHotKey(holder, 1);
  DestroyWindow(holder);
}

}  // namespace
}  // namespace zt::e2e

namespace zt::e2e {
namespace {

// The hot key through the system's input path (not a posted WM_HOTKEY): the
// registration itself is what is tested here.
TEST(MainWindowModesE2E, SystemHotKeyPressTogglesTrayMode) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  if (QueryOwner(main, AppQuery::HotkeyRegistered) != 1) {
    CloseMain(app, main);
    GTEST_SKIP() << "Ctrl+Alt+F11 is taken on this desktop";
  }
  auto press = [] {
    INPUT in[6] = {};
    const WORD keys[3] = {VK_CONTROL, VK_MENU, VK_F11};
    for (int i = 0; i < 3; ++i) {
      in[i].type = INPUT_KEYBOARD;
      in[i].ki.wVk = keys[i];
      in[5 - i].type = INPUT_KEYBOARD;
      in[5 - i].ki.wVk = keys[i];
      in[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    return SendInput(6, in, sizeof(INPUT)) == 6;
  };
  ASSERT_TRUE(press());
  EXPECT_TRUE(WaitVisible(main, false)) << "the hot key did not reach the program";
  ASSERT_TRUE(press());
  EXPECT_TRUE(WaitVisible(main, true));
  ASSERT_TRUE(CloseMain(app, main));
  EXPECT_EQ(IniGet(folder, "General", "AppTrayMode"), "0");
}

}  // namespace
}  // namespace zt::e2e

namespace zt::e2e {
namespace {

// Closes an open pop-up menu of the program.
void CloseMenu(HWND main, HWND menu) {
  PostMessageW(main, WM_CANCELMODE, 0, 0);
  if (!WaitUntil([&] { return !IsWindowVisible(menu); }, 2000)) {
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitUntil([&] { return !IsWindowVisible(menu); }, 2000);
  }
}

TEST(MainWindowMenuE2E, MenuOpensBelowTheMenuButtonAndAtTheTrayIcon) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\n[Location]\r\nPosX=400\r\nPosY=300\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(main).left == 400; }, 5000));

  // SB_Menu: 16 and 20 pixels right of and below the window's corner.
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(kIdSBMenu, BN_CLICKED), 0);
  HWND menu = app.WaitForWindow(L"#32768", nullptr, 5000);
  ASSERT_NE(menu, nullptr) << "no menu opened";
  ASSERT_TRUE(WaitVisible(menu, true));
  EXPECT_EQ(WindowRect(menu).left, 416);
  EXPECT_EQ(WindowRect(menu).top, 320);
  CloseMenu(main, menu);
  EXPECT_FALSE(IsWindowVisible(menu));

  // A single click on the tray icon does nothing; a right click opens the
  // menu at the mouse.
  PostMessageW(main, WM_TRAYNOTIFY, 0, WM_LBUTTONUP);
  Sleep(500);
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_FALSE(IsWindowVisible(menu));
  PostMessageW(main, WM_TRAYNOTIFY, 0, WM_RBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] {
    HWND m = app.WaitForWindow(L"#32768", nullptr, 100);
    return m && IsWindowVisible(m);
  }, 5000)) << "the tray icon's right click opened no menu";
  menu = app.WaitForWindow(L"#32768", nullptr, 100);
  CloseMenu(main, menu);
  ASSERT_TRUE(CloseMain(app, main));
}

}  // namespace
}  // namespace zt::e2e

namespace zt::e2e {
namespace {

// Icons in Wine's own tray window (-1 elsewhere): the figures only.
int WineTrayIcons() {
  HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  if (!tray) return -1;
  int n = 0;
  for (HWND c = nullptr; (c = FindWindowExW(tray, c, L"__winex11_tray_icon", nullptr)) != nullptr;) ++n;
  return n;
}

// A close request while the monitor thread sleeps between samples: the
// window leaves the screen at once, before the program waits for its
// threads.  The threads now end within moments of the request, too soon to
// tell the two apart from outside, so the monitor thread is held where it
// sleeps: the window must still go, and the process end only once the thread
// is let go.  The figures of an unheld close are printed for the record.
TEST(MainWindowCloseE2E, WindowGoesBeforeTheThreadsAreWaitedFor) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nRate=2000\r\nAppModeHotkey=0\r\n");
  using Clock = std::chrono::steady_clock;
  auto ms_since = [](Clock::time_point t0) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count());
  };
  for (const bool hold : {true, false}) {
    App app(folder.exe());
    HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitVisible(main, true));
    ASSERT_TRUE(WaitUntil([&] { return Query(app.pid(), AppQuery::Samples) >= 1; }, 20000));
    const LRESULT before = Query(app.pid(), AppQuery::Samples);
    ASSERT_TRUE(WaitUntil([&] { return Query(app.pid(), AppQuery::Samples) > before; }, 5000));
    // Well into the pause after the display step.
    Sleep(300);

    const SamplingThreads threads(app.pid());
    ASSERT_TRUE(threads.Held());
    HeldThread monitor(hold ? threads.MonitorThreadId() : 0);
    if (hold) {
      ASSERT_TRUE(monitor.held());
    }
    const int icons_before = WineTrayIcons();
    const auto t0 = Clock::now();
    PostMessageW(main, WM_CLOSE, 0, 0);
    long hidden_ms = -1, stopped_ms = -1, icon_gone_ms = -1;
    while (ms_since(t0) < 15000 && (hidden_ms < 0 || (!hold && stopped_ms < 0))) {
      if (hidden_ms < 0 && !IsWindowVisible(main)) hidden_ms = ms_since(t0);
      if (stopped_ms < 0 && threads.Ended()) stopped_ms = ms_since(t0);
      if (icon_gone_ms < 0 && icons_before > 0 && WineTrayIcons() < icons_before) icon_gone_ms = ms_since(t0);
      Sleep(2);
    }
    if (hold) {
      ASSERT_GE(hidden_ms, 0) << "the window stayed on screen while the threads were waited for";
      EXPECT_FALSE(threads.Ended()) << "the held monitor thread ended";
      EXPECT_FALSE(app.WaitForExit(0)) << "the process ended without its monitor thread";
      monitor.Release();
    } else {
      std::printf("close request to window hidden: %ld ms, tray icon gone: %ld ms, sampling threads stopped: "
                  "%ld ms, ",
                  hidden_ms, icon_gone_ms, stopped_ms);
    }
    DWORD code = 1;
    ASSERT_TRUE(app.WaitForExit(15000, &code));
    if (!hold) std::printf("process ended: %ld ms\n", ms_since(t0));
    EXPECT_EQ(code, 0u);
  }
}

}  // namespace
}  // namespace zt::e2e
