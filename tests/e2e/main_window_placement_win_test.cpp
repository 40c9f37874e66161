// The real program's placement: first run, stored positions limited to the
// desktop, the five presets, the lock.
#include <gtest/gtest.h>

#include "main_window_support.h"
#include "shell/menu_model.h"

namespace zt::e2e {
namespace {

TEST(MainWindowPlacementE2E, FirstRunIsCentredAndClearsFirstLaunch) {
  AppFolder folder;
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  const int x = (sw - 250) / 2, y = (sh - 105) / 2;  // 835, 487 on 1920 x 1080
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(main).left == x && WindowRect(main).top == y; }, 5000))
      << WindowRect(main).left << "," << WindowRect(main).top;
  RECT r = WindowRect(main);
  EXPECT_EQ(r.right - r.left, 250);
  EXPECT_EQ(r.bottom - r.top, 105);
  ASSERT_TRUE(CloseMain(app, main));
  EXPECT_EQ(IniGet(folder, "General", "FirstLaunch"), "0");
  EXPECT_EQ(IniGet(folder, "Location", "PosX"), std::to_string(x));
  EXPECT_EQ(IniGet(folder, "Location", "PosY"), std::to_string(y));
}

TEST(MainWindowPlacementE2E, OffScreenPositionIsLimitedAndSaved) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\n[Location]\r\nPosX=5000\r\nPosY=-300\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  const int right_limit = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN) - 20;
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(main).left == right_limit; }, 5000));
  EXPECT_EQ(WindowRect(main).top, top);
  ASSERT_TRUE(CloseMain(app, main));
  EXPECT_EQ(IniGet(folder, "Location", "PosX"), std::to_string(right_limit));  // 1900
  EXPECT_EQ(IniGet(folder, "Location", "PosY"), std::to_string(top));
}

TEST(MainWindowPlacementE2E, PresetsMoveTheWindowIntoTheWorkArea) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\n[Location]\r\nPosX=300\r\nPosY=300\r\nPosWidth=260\r\nPosHeight=110\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitVisible(main, true));
  RECT wa;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  const int ww = wa.right - wa.left, wh = wa.bottom - wa.top;
  struct Case { uint16_t command; int x, y; };
  const Case cases[] = {{MI_TopLeft, wa.left, wa.top},
                        {MI_TopRight, ww - 260, wa.top},
                        {MI_BotomLeft, wa.left, wh - 110},
                        {MI_BotomRight, ww - 260, wh - 110},
                        {MI_Center, ww / 2 - 130, wh / 2 - 55}};
  for (const Case& c : cases) {
    PostMessageW(main, WM_COMMAND, c.command, 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(main).left == c.x && WindowRect(main).top == c.y; }, 5000))
        << "command " << c.command << " gave " << WindowRect(main).left << "," << WindowRect(main).top;
  }
  // Lock from the menu: stored, and presets still move the window.
  PostMessageW(main, WM_COMMAND, MI_LockForm, 0);
  PostMessageW(main, WM_COMMAND, MI_TopLeft, 0);
  EXPECT_TRUE(WaitUntil([&] { return WindowRect(main).left == wa.left; }, 5000));
  ASSERT_TRUE(CloseMain(app, main));
  EXPECT_EQ(IniGet(folder, "General", "LockForm"), "1");
  EXPECT_EQ(IniGet(folder, "Location", "PosX"), std::to_string(wa.left));
  EXPECT_EQ(IniGet(folder, "Location", "PosWidth"), "260");
}

}  // namespace
}  // namespace zt::e2e
