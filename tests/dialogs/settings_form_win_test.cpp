// The settings dialog's view in this process: showing it fills the controls
// without changing a setting, and the keyboard walks the controls and tabs.
#include "dialogs/settings_form_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "shell/modeless_dialogs_win.h"

namespace zt {
namespace {

class CountingTarget : public ISettingsTarget {
 public:
  int WindowWidth() override { return 250; }
  int WindowHeight() override { return 105; }
  int SetWindowWidth(int w) override { return ++changes, w; }
  int SetWindowHeight(int h) override { return ++changes, h; }
  void SetDisplayMemory(bool) override { ++changes; }
  void SetTrayMode(bool, bool) override { ++changes; }
  void SetHideBarGraph(bool) override { ++changes; }
  void SetAutoHideControls(bool) override { ++changes; }
  void SetTextColor(Color) override { ++changes; }
  void ApplyColors() override { ++changes; }
  void ApplyTranslucency() override { ++changes; }
  void ClearProcessorLines() override { ++changes; }
  void RegisterAppModeHotkey() override { ++registrations; }
  bool IsAutorunEnabled() override { return false; }
  void SetAutorun(bool) override { ++changes; }
  int changes = 0;
  int registrations = 0;
};

// Runs one key press through the message loop's path.
void Press(HWND target, WPARAM key, bool ctrl = false, bool shift = false) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  MSG msg = {};
  msg.hwnd = target;
  msg.message = WM_KEYDOWN;
  msg.wParam = key;
  if (!IsModelessDialogMessage(msg)) DispatchMessageW(&msg);
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

int SelectedTab(HWND tabs) { return static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)); }

class SettingsFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigToDefaults();
    ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr)));
  }
  void TearDown() override { ResetConfigToDefaults(); }
  CountingTarget target;
  TForm_Settings form{target};
};

TEST_F(SettingsFormTest, ShowingFillsEveryControlWithoutChangingASetting) {
  Rate = 750;
  form.Show();
  EXPECT_EQ(target.changes, 0);
  EXPECT_EQ(ControlText(form.Control(kIdSliderLabelFirst + static_cast<int>(SettingsSlider::TrackBar_Rate))), L"750");
  EXPECT_EQ(ControlText(form.Control(kIdSizeFirst)), L"250");
  EXPECT_EQ(ControlText(form.Control(kIdColorFirst)), L"白色");
  EXPECT_TRUE(IsChecked(form.Control(kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_DisplayMemory))));
  form.Hide();
  EXPECT_EQ(target.registrations, 1) << "the hot key is registered anew when the dialog hides";
  EXPECT_EQ(target.changes, 0);
}

TEST_F(SettingsFormTest, TabWalksTheControlsAndCtrlTabWalksThePages) {
  form.Show();
  HWND tabs = form.Control(kIdSettingsTabs);
  HWND autorun = form.Control(kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_AutoRun));
  SetFocus(autorun);
  Press(autorun, VK_TAB);
  EXPECT_EQ(GetFocus(), form.Control(kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_AlwaysOnTop)));

  EXPECT_EQ(SelectedTab(tabs), 0);
  Press(GetFocus(), VK_TAB, true);
  EXPECT_EQ(SelectedTab(tabs), 1);
  EXPECT_TRUE(IsWindowVisible(form.Control(kIdSizeFirst))) << "the display page is shown";
  Press(GetFocus(), VK_TAB, true, true);
  Press(GetFocus(), VK_TAB, true, true);
  EXPECT_EQ(SelectedTab(tabs), 3) << "backwards past the first tab to the last";
  EXPECT_TRUE(IsWindowVisible(form.Control(kIdSliderFirst)));
  EXPECT_FALSE(IsWindowVisible(autorun));
  EXPECT_TRUE(form.visible()) << "Ctrl+Tab is not a close";
}

}  // namespace
}  // namespace zt
