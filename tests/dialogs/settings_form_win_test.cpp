// The settings dialog's view in this process: showing it fills the controls
// without changing a setting, and the keyboard walks the controls and tabs.
#include "dialogs/settings_form_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <map>
#include <set>
#include <string>

#include "support/key_press_win.h"
#include "support/quiet_settings_target.h"
#include "util/access_key.h"
#include "util/modeless_dialogs_win.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

// Answers each request with the next colour; counts the requests.
class FakeColorChooser : public IColorChooser {
 public:
  bool Choose(HWND, Color& color) override {
    ++asked;
    color = answer;
    return true;
  }
  Color answer = 0x123456;
  int asked = 0;
};

// Runs one key press through the message loop's path, without translating
// it and without delivering what it queued (test::PumpMessages does that).
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
  // With the key's scan code, as the keyboard sends it.
  msg.lParam = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC) << 16) | 1;
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
  test::QuietSettingsTarget target;
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

TEST_F(SettingsFormTest, AThousandCanBeTypedIntoTheSizeFields) {
  form.Show();
  HWND width = form.Control(kIdSizeFirst);
  SendMessageW(width, EM_SETSEL, 0, -1);
  SendMessageW(width, WM_CLEAR, 0, 0);
  for (wchar_t c : std::wstring(L"1000")) SendMessageW(width, WM_CHAR, c, 0);
  EXPECT_EQ(ControlText(width), L"1000");
  EXPECT_EQ(target.width, 1000);
  // Out of range: typed, but nothing changes.
  target.width = 0;
  SendMessageW(width, WM_CHAR, VK_BACK, 0);
  SendMessageW(width, WM_CHAR, L'1', 0);
  EXPECT_EQ(ControlText(width), L"1001");
  EXPECT_EQ(target.width, 0);
}

LRESULT CALLBACK CountCorrections(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR count) {
  *reinterpret_cast<int*>(count) += msg == HKM_SETHOTKEY;
  return DefSubclassProc(h, msg, w, l);
}

TEST_F(SettingsFormTest, HotKeyFieldMakesATypedLetterCtrlAltLetterAndLetsF9StandAlone) {
  form.Show();
  HWND field = form.Control(kIdHotkeyField);
  SetFocus(field);
  // The field's own rules make the letter Ctrl+Alt+A: the dialog has no
  // value to put right afterwards.
  int corrections = 0;
  SetWindowSubclass(field, CountCorrections, 1, reinterpret_cast<DWORD_PTR>(&corrections));
  Press(field, 'A');
  test::PumpMessages();
  RemoveWindowSubclass(field, CountCorrections, 1);
  EXPECT_EQ(corrections, 0);
  const auto ctrl_alt = static_cast<WPARAM>((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8);
  EXPECT_EQ(static_cast<WPARAM>(SendMessageW(field, HKM_GETHOTKEY, 0, 0)), 'A' | ctrl_alt);
  EXPECT_EQ(AppModeHotkey, 'A');
  EXPECT_EQ(AppModeHotkeyModifiers, MOD_CONTROL | MOD_ALT);
  Press(field, VK_F9);
  test::PumpMessages();
  EXPECT_EQ(SendMessageW(field, HKM_GETHOTKEY, 0, 0), VK_F9);
  EXPECT_EQ(AppModeHotkey, VK_F9);
  EXPECT_EQ(AppModeHotkeyModifiers, 0);
  // A bare letter that reaches the field by another way is shown as stored.
  SendMessageW(field, HKM_SETHOTKEY, 'Q', 0);
  SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(kIdHotkeyField, EN_CHANGE), reinterpret_cast<LPARAM>(field));
  EXPECT_EQ(static_cast<WPARAM>(SendMessageW(field, HKM_GETHOTKEY, 0, 0)), 'Q' | ctrl_alt);
  EXPECT_EQ(AppModeHotkeyModifiers, MOD_CONTROL | MOD_ALT);
}

class ColorBoxTest : public SettingsFormTest {
 protected:
  void SetUp() override {
    SettingsFormTest::SetUp();
    form.Show();
    SetFocus(form.Control(kIdCheckFirst));
    Press(GetFocus(), VK_TAB, true);
    Press(GetFocus(), VK_TAB, true);  // the colour page
    box = form.Control(kIdColorFirst + static_cast<int>(SettingsColor::ColorBox_BackgroundColor));
    SetFocus(box);
    ASSERT_EQ(GetFocus(), box);
    ASSERT_EQ(ControlText(box), L"白色");
  }
  FakeColorChooser chooser;
  ScopedOverride<IColorChooser> use_chooser{chooser};
  HWND box = nullptr;
};

TEST_F(ColorBoxTest, ArrowingThroughTheBoxAppliesNothingUntilEnter) {
  for (int i = 0; i < 3; ++i) Press(box, VK_DOWN);
  EXPECT_EQ(ControlText(box), L"乳白色") << "the box shows where the keyboard went";
  ASSERT_EQ(target.changes, 0) << "a colour on the way is not applied";
  EXPECT_EQ(BackgroundColor, 0xFFFFFFu);
  Press(box, VK_RETURN);
  EXPECT_EQ(BackgroundColor, 0xF0FBFFu);
  EXPECT_GT(target.changes, 0);
  EXPECT_TRUE(form.visible());

  // On past the last named colour to the custom entry: the chooser opens only
  // when Enter takes it.
  Press(box, VK_DOWN);
  Press(box, VK_DOWN);
  EXPECT_EQ(chooser.asked, 0);
  Press(box, VK_RETURN);
  EXPECT_EQ(chooser.asked, 1);
  EXPECT_EQ(BackgroundColor, 0x123456u);
  EXPECT_EQ(ControlText(box), L"自定义 #563412");

  // A candidate left behind when the focus goes is dropped.
  Press(box, VK_UP);
  SetFocus(form.Control(kIdColorFirst + 1));
  EXPECT_EQ(ControlText(box), L"自定义 #563412");
  EXPECT_EQ(BackgroundColor, 0x123456u);
}

TEST_F(ColorBoxTest, TheOpenListTakesItsColourWhenItClosesAndNoneWhenCancelled) {
  SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
  Press(box, VK_UP);
  Press(box, VK_UP);
  EXPECT_EQ(target.changes, 0);
  Press(box, VK_ESCAPE);
  EXPECT_FALSE(SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_TRUE(form.visible()) << "Esc closed the list, not the dialog";
  EXPECT_EQ(ControlText(box), L"白色");
  EXPECT_EQ(target.changes, 0);

  SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
  Press(box, VK_UP);
  EXPECT_EQ(target.changes, 0);
  Press(box, VK_RETURN);
  EXPECT_FALSE(SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(BackgroundColor, 0xFFFF00u) << "aqua, the colour above white";
  EXPECT_GT(target.changes, 0);
  EXPECT_EQ(chooser.asked, 0);
}

// The windows are re-texted once the user settles on a language, and never
// inside the box's own notification (the re-texting refills its list).
TEST_F(SettingsFormTest, TheLanguageBoxChangesTheLanguageOnceTheUserSettlesOnAnItem) {
  form.Show();
  HWND box = form.Control(kIdLanguage);
  SetFocus(box);
  SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
  for (WPARAM key : {VK_DOWN, VK_DOWN}) Press(box, key);
  test::PumpMessages();
  EXPECT_EQ(target.languages, 0) << "items passed over in the open list";
  Press(box, VK_RETURN);
  EXPECT_EQ(target.languages, 0) << "not while the box tells of its choice";
  test::PumpMessages();
  EXPECT_EQ(LanguageSetting(), kLanguageSettingEnglish);
  // Esc leaves the list and the language as they were.
  SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
  for (WPARAM key : {VK_UP, VK_ESCAPE}) Press(box, key);
  test::PumpMessages();
  EXPECT_EQ(SendMessageW(box, CB_GETCURSEL, 0, 0), 2);
  // On the closed box an arrow key only shows an item; leaving the box takes it.
  Press(box, VK_UP);
  test::PumpMessages();
  EXPECT_EQ(target.languages, 1);
  SetFocus(form.Control(kIdHotkeyField));
  test::PumpMessages();
  EXPECT_EQ(LanguageSetting(), kLanguageSettingChinese);
  EXPECT_EQ(target.languages, 2);
  SetLanguageSetting("");
}

TEST_F(SettingsFormTest, ShowingFocusesTheFirstControlAndAChangedTabTakesTheFocusIntoItsPage) {
  form.Show();
  HWND tabs = form.Control(kIdSettingsTabs);
  EXPECT_EQ(GetFocus(), form.Control(kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_AutoRun)));
  Press(GetFocus(), VK_TAB, true);
  EXPECT_EQ(GetFocus(), form.Control(kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_Transparency)))
      << "Ctrl+Tab: the first box of the display page";
  // A click on the colour tab (the tab control does not take the focus).
  TabCtrl_SetCurSel(tabs, 2);
  NMHDR change = {tabs, static_cast<UINT_PTR>(kIdSettingsTabs), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(form.hwnd(), WM_NOTIFY, kIdSettingsTabs, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(GetFocus(), form.Control(kIdColorFirst));
  // Shown again on the tab last used, the dialog starts at its first control.
  SetFocus(form.Control(kIdColorFirst + 3));
  form.Hide();
  form.Show();
  EXPECT_EQ(GetFocus(), form.Control(kIdColorFirst));
}

TEST_F(SettingsFormTest, AltAndAnAccessKeyTicksABoxOrTakesTheFocusToAField) {
  form.Show();
  HWND memory = form.Control(kIdCheckFirst + static_cast<int>(SettingsCheck::CheckBox_DisplayMemory));
  ASSERT_TRUE(IsChecked(memory));
  test::PressAltKey(GetFocus(), L'm');
  EXPECT_FALSE(IsChecked(memory));
  EXPECT_FALSE(DisplayMemory);
  EXPECT_EQ(target.changes, 1);
  test::PressAltKey(GetFocus(), L'k');
  EXPECT_EQ(GetFocus(), form.Control(kIdHotkeyField)) << "a label's key goes to its field";
  // Keys are per tab: on the display page Alt+W reaches the width field.
  Press(GetFocus(), VK_TAB, true);
  test::PressAltKey(GetFocus(), L'w');
  EXPECT_EQ(GetFocus(), form.Control(kIdSizeFirst));
}

// Every check box, group and field label of every page shows a key, none
// twice on a page, in either language.
TEST_F(SettingsFormTest, EveryCheckBoxGroupAndFieldLabelShowsAKeyOfItsOwn) {
  HWND page = GetParent(form.Control(kIdCheckFirst));
  std::map<Language, int> labelled;
  for (Language language : {Language::Chinese, Language::English}) {
    SetCurrentLanguage(language);
    form.Retext();
    for (HWND tab_page = GetWindow(GetParent(page), GW_CHILD); tab_page; tab_page = GetWindow(tab_page, GW_HWNDNEXT)) {
      std::set<char> keys;
      for (HWND c = GetWindow(tab_page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        const std::string text = Narrow(ControlText(c));
        const bool button = lstrcmpiW(cls, L"Button") == 0;
        const bool field_label = lstrcmpiW(cls, L"Static") == 0 && text.size() > 3 &&
                                 (text.compare(text.size() - 3, 3, "：") == 0 || text.back() == ':');
        if (!button && !field_label) continue;
        ++labelled[language];
        const char key = AccessKeyOf(text);
        EXPECT_NE(key, 0) << text;
        EXPECT_TRUE(keys.insert(key).second) << text;
        if (field_label) {
          EXPECT_EQ(GetWindowLongPtrW(c, GWL_STYLE) & SS_NOPREFIX, 0) << "the letter shows underlined: " << text;
        }
      }
    }
  }
  SetCurrentLanguage(Language::Chinese);
  form.Retext();
  EXPECT_GT(labelled[Language::Chinese], kSettingsCheckCount) << "the groups and field labels too";
  EXPECT_EQ(labelled[Language::English], labelled[Language::Chinese]);
}
}  // namespace
}  // namespace zt
