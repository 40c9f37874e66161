#include "shell/tray_icon_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "shell/tray_images_win.h"
#include "shell/tray_logic.h"
#include "shell/window_messages.h"
#include "util/shell_win.h"

namespace zt {
namespace {

class TrayIconTest : public ::testing::Test {
 protected:
  std::vector<DWORD> Messages() const {
    std::vector<DWORD> m;
    for (const FakeShell::IconCall& c : shell_.icon_calls) m.push_back(c.message);
    return m;
  }
  FakeShell shell_;
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

TEST_F(TrayIconTest, TipKeepsChineseAndTheSixtyThreeCharacterLimit) {
  TTrayIcon icon;
  icon.Prepare(nullptr, WM_TRAYNOTIFY, nullptr, L"Zettrim");
  icon.SetTip(TrayTipText(37, 52));
  EXPECT_STREQ(icon.data().szTip, L"CPU: 37%\r内存: 52%");
  icon.SetTip(std::u16string(100, u'x'));
  EXPECT_EQ(wcslen(icon.data().szTip), 63u);
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
  const long user_before = HandleCounters::user;
  for (int load = 0; load <= 100; ++load) {
    icon.SetIconFromList(gradient, TrayImageIndex(load, gradient.Count()));
    icon.RefreshIcon();
  }
  EXPECT_EQ(icon.data().hIcon, gradient.Icon(14));
  EXPECT_EQ(HandleCounters::user, user_before);
}

TEST(TrayImages, PixelsOfTheWrongCountMakeNoIcon) {
  const long user_before = HandleCounters::user;
  EXPECT_FALSE(IconFromPixels(TrayPixels(1000, 0x123456)));
  EXPECT_FALSE(IconFromPixels(TrayPixels{}));
  EXPECT_TRUE(IconFromPixels(TrayPixels(kTrayImageSize * kTrayImageSize, 0x123456)));
  EXPECT_EQ(HandleCounters::user, user_before);
}

}  // namespace
}  // namespace zt
