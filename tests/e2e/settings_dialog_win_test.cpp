// The real program's settings dialog, driven by messages: shown by F4,
// every change applied at once, the size and the hot key reaching the
// settings file, the autorun box writing the registry, Esc closing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "dialogs/settings_form_win.h"
#include "main_window_support.h"

namespace zt::e2e {
namespace {

HWND Check(HWND dialog, SettingsCheck c) { return FindDescendant(dialog, kIdCheckFirst + static_cast<int>(c)); }

// Types into a number field as the keyboard would: the text is cleared, then
// each character arrives as WM_CHAR.
void TypeInto(HWND edit, const wchar_t* text) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CLEAR, 0, 0);
  for (const wchar_t* c = text; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 0);
}

RECT ClientRect(HWND h) {
  RECT r = {};
  GetClientRect(h, &r);
  return r;
}

class SettingsDialogE2E : public ::testing::Test {
 protected:
  void StartApp(const std::string& ini) {
    folder_.WriteIni(ini);
    app_ = std::make_unique<App>(folder_.exe());
    main_ = app_->WaitForMainWindow();
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitVisible(main_, true));
    dialog_ = app_->WaitForWindow(kSettingsWindowClass, L"设置");
    ASSERT_NE(dialog_, nullptr) << "created at start-up";
  }
  void OpenDialog() {
    PostMessageW(main_, WM_KEYDOWN, VK_F4, 0);
    ASSERT_TRUE(WaitVisible(dialog_, true));
  }
  AppFolder folder_;
  std::unique_ptr<App> app_;
  HWND main_ = nullptr;
  HWND dialog_ = nullptr;
};

TEST_F(SettingsDialogE2E, ChangesApplyAtOnceAndTheSizeReachesTheFile) {
  StartApp("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n");
  EXPECT_FALSE(IsWindowVisible(dialog_)) << "hidden until asked for";
  OpenDialog();
  const RECT client = ClientRect(dialog_);
  EXPECT_EQ(client.right, 322);
  EXPECT_EQ(client.bottom, 420);
  EXPECT_EQ(WindowText(FindDescendant(dialog_, kIdSettingsHint)), L"任何改变都会有一个实时的效果！");

  // Memory display off and on again.
  HWND memory_box = Check(dialog_, SettingsCheck::CheckBox_DisplayMemory);
  HWND memory_label = GetDlgItem(main_, kIdLabelMemoryUsed);
  ASSERT_EQ(SendMessageW(memory_box, BM_GETCHECK, 0, 0), BST_CHECKED);
  ASSERT_TRUE(IsWindowVisible(memory_label));
  SendMessageW(memory_box, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitVisible(memory_label, false));
  SendMessageW(memory_box, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitVisible(memory_label, true));

  // The width field: a value out of range changes nothing, 300 resizes.
  HWND width = FindDescendant(dialog_, kIdSizeFirst);
  EXPECT_EQ(WindowText(width), L"250");
  TypeInto(width, L"1");
  Sleep(200);
  EXPECT_EQ(WindowRect(main_).right - WindowRect(main_).left, 250);
  TypeInto(width, L"300");
  EXPECT_TRUE(WaitUntil([&] { return WindowRect(main_).right - WindowRect(main_).left == 300; }, 3000));

  // Windows logging off may end the process without a close: the change is
  // in the file as soon as the session ends.
  EXPECT_FALSE(folder_.ReadIni().find("PosWidth=300") != std::string::npos);
  EXPECT_TRUE(SendMessageW(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
  SendMessageW(main_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(IniGet(folder_, "Location", "PosWidth"), "300");

  // Esc in any control closes the dialog.
  PostMessageW(width, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitVisible(dialog_, false));
  EXPECT_TRUE(IsWindow(dialog_)) << "hidden, not destroyed";
  ASSERT_TRUE(CloseMain(*app_, main_));
  EXPECT_EQ(IniGet(folder_, "Location", "PosWidth"), "300");
  EXPECT_EQ(IniGet(folder_, "General", "DisplayMemory"), "1");
}

TEST_F(SettingsDialogE2E, AutorunBoxAndHotKeyField) {
  DeleteAutorunValue();
  StartApp("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n");
  OpenDialog();

  HWND autorun = Check(dialog_, SettingsCheck::CheckBox_AutoRun);
  EXPECT_EQ(SendMessageW(autorun, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendMessageW(autorun, BM_CLICK, 0, 0);
  std::wstring value;
  ASSERT_TRUE(ReadAutorunValue(&value));
  EXPECT_EQ(value, L"\"" + folder_.exe() + L"\"");
  EXPECT_EQ(SendMessageW(autorun, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(autorun, BM_CLICK, 0, 0);
  EXPECT_FALSE(ReadAutorunValue(nullptr));
  EXPECT_EQ(SendMessageW(autorun, BM_GETCHECK, 0, 0), BST_UNCHECKED);

  // A key pressed in the hot-key field becomes the hot key when the dialog
  // hides: then the combination is taken.
  EXPECT_EQ(QueryOwner(main_, AppQuery::HotkeyRegistered), 0);
  PostMessageW(FindDescendant(dialog_, kIdHotkeyField), WM_KEYDOWN, VK_F9, 0);
  Sleep(300);
  EXPECT_EQ(QueryOwner(main_, AppQuery::HotkeyRegistered), 0) << "not before the dialog hides";
  PostMessageW(dialog_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitVisible(dialog_, false));
  EXPECT_TRUE(WaitUntil([&] { return QueryOwner(main_, AppQuery::HotkeyRegistered) == 1; }, 3000));
  EXPECT_FALSE(RegisterHotKey(nullptr, 77, 0, VK_F9)) << "the program holds F9 now";
  UnregisterHotKey(nullptr, 77);
  ASSERT_TRUE(CloseMain(*app_, main_));
  EXPECT_EQ(IniGet(folder_, "General", "AppModeHotkey"), "120");
  EXPECT_EQ(IniGet(folder_, "General", "AppModeHotkeyModifiers"), "0");
}

// A key pressed in the hot-key field, as the keyboard delivers it (with its
// scan code) through the program's message loop.
void PressIn(HWND field, UINT key) {
  const UINT message = key == VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN;
  PostMessageW(field, message, key, static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16) | 1);
}

bool TakenByAnotherProgram(UINT modifiers, UINT key) {
  if (!RegisterHotKey(nullptr, 77, modifiers, key)) return true;
  UnregisterHotKey(nullptr, 77);
  return false;
}

TEST_F(SettingsDialogE2E, ABareLetterTypedIntoTheHotKeyFieldIsLeftToOtherPrograms) {
  StartApp("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n");
  OpenDialog();
  HWND field = FindDescendant(dialog_, kIdHotkeyField);
  PressIn(field, 'A');
  EXPECT_TRUE(WaitUntil([&] { return SendMessageW(field, HKM_GETHOTKEY, 0, 0) != 0; }, 3000));
  EXPECT_EQ(SendMessageW(field, HKM_GETHOTKEY, 0, 0), 'A' | ((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8))
      << "the field makes it Ctrl+Alt+A";
  PostMessageW(dialog_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitVisible(dialog_, false));
  EXPECT_TRUE(WaitUntil([&] { return QueryOwner(main_, AppQuery::HotkeyRegistered) == 1; }, 3000));
  EXPECT_FALSE(TakenByAnotherProgram(0, 'A')) << "another program can still register A";
  EXPECT_TRUE(TakenByAnotherProgram(MOD_CONTROL | MOD_ALT, 'A'));
  ASSERT_TRUE(CloseMain(*app_, main_));
  EXPECT_EQ(IniGet(folder_, "General", "AppModeHotkey"), "65");
  EXPECT_EQ(IniGet(folder_, "General", "AppModeHotkeyModifiers"), "3");
}

// Under Wine the field never reports its extended flag, which the system's
// own field sets for Home: the value is put in as that field reports it,
// with the notification the field sends.
TEST_F(SettingsDialogE2E, CtrlAltHomeInTheHotKeyFieldIsRegisteredAsCtrlAltHome) {
  StartApp("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\n");
  ASSERT_TRUE(TakenByAnotherProgram(MOD_CONTROL | MOD_ALT, VK_F11)) << "the default Ctrl+Alt+F11 is registered";
  OpenDialog();
  HWND field = FindDescendant(dialog_, kIdHotkeyField);
  EXPECT_EQ(SendMessageW(field, HKM_GETHOTKEY, 0, 0), VK_F11 | ((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8));
  SendMessageW(field, HKM_SETHOTKEY, VK_HOME | ((HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT) << 8), 0);
  SendMessageW(GetParent(field), WM_COMMAND, MAKEWPARAM(kIdHotkeyField, EN_CHANGE), reinterpret_cast<LPARAM>(field));
  PostMessageW(dialog_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitVisible(dialog_, false));
  EXPECT_TRUE(WaitUntil([&] { return TakenByAnotherProgram(MOD_CONTROL | MOD_ALT, VK_HOME); }, 3000));
  EXPECT_FALSE(TakenByAnotherProgram(MOD_WIN | MOD_CONTROL | MOD_ALT, VK_HOME));
  EXPECT_FALSE(TakenByAnotherProgram(MOD_CONTROL | MOD_ALT, VK_F11)) << "the old hot key is let go";
  ASSERT_TRUE(CloseMain(*app_, main_));
  EXPECT_EQ(IniGet(folder_, "General", "AppModeHotkey"), "36");
  EXPECT_EQ(IniGet(folder_, "General", "AppModeHotkeyModifiers"), "3");
}

TEST_F(SettingsDialogE2E, AThousandTypedIntoTheWidthFieldMakesTheWindowAThousandWide) {
  StartApp("[General]\r\nLanguage=zh-CN\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n");
  OpenDialog();
  HWND width = FindDescendant(dialog_, kIdSizeFirst);
  TypeInto(width, L"1000");
  EXPECT_TRUE(WaitUntil([&] { return WindowRect(main_).right - WindowRect(main_).left == 1000; }, 3000));
  EXPECT_EQ(WindowText(width), L"1000");
  ASSERT_TRUE(CloseMain(*app_, main_));
  EXPECT_EQ(IniGet(folder_, "Location", "PosWidth"), "1000");
}

}  // namespace
}  // namespace zt::e2e
