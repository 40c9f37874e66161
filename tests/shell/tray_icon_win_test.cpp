#include "shell/tray_icon_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "shell/tray_images_win.h"
#include "shell/tray_logic.h"
#include "support/fake_shell_win.h"
#include "support/gui_objects_win.h"
#include "util/window_messages.h"

namespace zt {
namespace {

class TrayIconTest : public ::testing::Test {
 protected:
  std::vector<DWORD> Messages() const {
    std::vector<DWORD> m;
    for (const test::FakeShell::IconCall& c : shell_.icon_calls) m.push_back(c.message);
    return m;
  }
  test::FakeShell shell_;
  ScopedOverride<IShell> use_shell_{shell_};
};

TEST_F(TrayIconTest, PrepareFillsTheNotificationDataOnce) {
  TTrayIcon icon;
  HWND fake_window = reinterpret_cast<HWND>(0x1234);
  icon.Prepare(fake_window, WM_TRAYNOTIFY, nullptr, L"Zettrim");
  EXPECT_TRUE(icon.prepared());
  EXPECT_EQ(icon.data().hWnd, fake_window);
  EXPECT_EQ(icon.data().uID, kTrayIconId);
  EXPECT_EQ(icon.data().uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(icon.data().uCallbackMessage, 0x47Bu);
  EXPECT_STREQ(icon.data().szTip, L"Zettrim");
  icon.Prepare(nullptr, 0, nullptr, L"other");
  EXPECT_EQ(icon.data().hWnd, fake_window);
  EXPECT_TRUE(shell_.icon_calls.empty());
}

TEST_F(TrayIconTest, AddAndRemoveOnlyChangeTheShownState) {
  {
    TTrayIcon icon;
    icon.Prepare(nullptr, WM_TRAYNOTIFY, nullptr, L"Zettrim");
    icon.RemoveIcon();  // not shown: nothing
    icon.AddIcon();
    icon.AddIcon();  // already there: nothing
    EXPECT_TRUE(icon.shown());
    icon.RemoveIcon();
    EXPECT_FALSE(icon.shown());
    icon.AddIcon();
  }  // destruction removes
  EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE, NIM_ADD, NIM_DELETE}));
}

TEST_F(TrayIconTest, RefusedModifyDeletesAndAddsAgain) {
  TTrayIcon icon;
  icon.Prepare(nullptr, WM_TRAYNOTIFY, nullptr, L"Zettrim");
  icon.AddIcon();
  shell_.icon_calls.clear();
  icon.RefreshIcon();
  EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_MODIFY}));
  shell_.icon_calls.clear();
  shell_.refuse_modify = true;
  icon.RefreshIcon();
  EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_DELETE, NIM_ADD}));
  EXPECT_TRUE(icon.shown());
  // A removed icon stays removed, whatever update comes late.
  icon.RemoveIcon();
  shell_.icon_calls.clear();
  icon.RefreshIcon();
  EXPECT_TRUE(shell_.icon_calls.empty());
}

TEST_F(TrayIconTest, TaskbarRestartPutsAShownIconBack) {
  TTrayIcon icon;
  icon.Prepare(nullptr, WM_TRAYNOTIFY, nullptr, L"Zettrim");
  icon.Readd();  // hidden icon: stays away
  EXPECT_TRUE(shell_.icon_calls.empty());
  icon.AddIcon();
  shell_.icon_calls.clear();
  icon.Readd();
  EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_DELETE, NIM_ADD}));
}

// Most samples change neither the picture nor the tip: those cost no call
// into the shell.  After anything that may have left the shell with
// something else (a refused modify, a new task bar, the icon removed and
// added again) the shell holds what the icon was given last.
TEST_F(TrayIconTest, OnlyANewPictureOrTipReachesTheShell) {
  TrayImageList gradient;
  BuildGradientTrayImages(&gradient);
  TTrayIcon icon;
  icon.Prepare(nullptr, WM_TRAYNOTIFY, nullptr, L"Zettrim");
  icon.AddIcon();
  auto show = [&](int load) {
    icon.SetTip(TrayTipText(load, 52));
    icon.SetIconFromList(gradient, TrayImageIndex(load, gradient.Count()));
    return icon.UpdateIcon();
  };
  shell_.icon_calls.clear();
  EXPECT_TRUE(show(37));
  EXPECT_FALSE(show(37));
  EXPECT_TRUE(show(38)) << "the same picture with another tip";
  EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_MODIFY}));

  shell_.icon_calls.clear();
  shell_.refuse_modify = true;
  EXPECT_TRUE(show(60));
  EXPECT_FALSE(show(60)) << "added again with it";
  shell_.refuse_modify = false;
  icon.Readd();
  EXPECT_FALSE(show(60));
  icon.RemoveIcon();
  EXPECT_FALSE(show(61)) << "no icon, no call";
  icon.AddIcon();
  EXPECT_FALSE(show(61)) << "added with it";
  EXPECT_TRUE(show(62));
  EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_DELETE, NIM_ADD, NIM_DELETE, NIM_ADD, NIM_DELETE,
                                            NIM_ADD, NIM_MODIFY}));
  EXPECT_EQ(shell_.icon_calls[6].tip, L"CPU: 61%\r内存: 52%");
  EXPECT_EQ(shell_.icon_calls[7].tip, L"CPU: 62%\r内存: 52%");
}

TEST_F(TrayIconTest, TipKeepsChineseAndTheShellsCharacterLimit) {
  TTrayIcon icon;
  icon.Prepare(nullptr, WM_TRAYNOTIFY, nullptr, L"Zettrim");
  icon.SetTip(TrayTipText(37, 52));
  EXPECT_STREQ(icon.data().szTip, L"CPU: 37%\r内存: 52%");
  icon.SetTip(std::u16string(200, u'x'));
  EXPECT_EQ(wcslen(icon.data().szTip), 127u);
}

TEST_F(TrayIconTest, ImagesComeFromTheListWithoutNewIcons) {
  TrayImageList numeric, gradient;
  BuildNumericTrayImages(&numeric);
  BuildGradientTrayImages(&gradient);
  ASSERT_EQ(numeric.Count(), 101);
  ASSERT_EQ(gradient.Count(), 15);
  for (int i = 0; i < numeric.Count(); ++i) ASSERT_NE(numeric.Icon(i), nullptr) << i;
  TTrayIcon icon;
  icon.Prepare(nullptr, WM_TRAYNOTIFY, nullptr, L"Zettrim");
  const long user_before = test::LiveGuiObjects().user;
  for (int load = 0; load <= 100; ++load) {
    icon.SetIconFromList(gradient, TrayImageIndex(load, gradient.Count()));
    icon.RefreshIcon();
  }
  EXPECT_EQ(icon.data().hIcon, gradient.Icon(14));
  EXPECT_EQ(test::LiveGuiObjects().user, user_before);
}

TEST(TrayImages, PixelsOfTheWrongCountMakeNoIcon) {
  const test::GuiObjectCounts before = test::LiveGuiObjects();
  EXPECT_FALSE(IconFromPixels(TrayPixels(1000, 0x123456)));
  EXPECT_FALSE(IconFromPixels(TrayPixels{}));
  EXPECT_TRUE(IconFromPixels(TrayPixels(kTrayImageSize * kTrayImageSize, 0x123456)));
  // No icon, and no bitmap of the refused ones, is left behind.
  EXPECT_EQ(test::LiveGuiObjects().user, before.user);
  EXPECT_EQ(test::LiveGuiObjects().gdi, before.gdi);
}

}  // namespace
}  // namespace zt
