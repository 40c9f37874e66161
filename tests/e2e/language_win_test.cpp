// The real program's language: the system's (Wine's UI language, from the
// LC_ALL CTest runs this suite under) or the settings file's, and a switch
// in the open dialog.  It works out what to expect from the system it finds.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/about_form_win.h"
#include "dialogs/history_form_win.h"
#include "dialogs/info_form_win.h"
#include "dialogs/settings_form_win.h"
#include "dialogs/statistics_form_win.h"
#include "main_window_support.h"
#include "query_receiver.h"
#include "util/control_text_win.h"
#include "util/unicode_win.h"

namespace zt::e2e {
namespace {

std::wstring In(Language language, TextId id) { return Widen(TextIn(language, id)); }

const Language kSystem = SystemLanguage();

BOOL CALLBACK CollectChild(HWND child, LPARAM controls) {
  reinterpret_cast<std::vector<HWND>*>(controls)->push_back(child);
  return TRUE;
}

class LanguageE2E : public ::testing::Test {
 protected:
  void Start(const std::string& general) {
    folder_.WriteIni("[General]\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\n" + general);
    app_ = std::make_unique<App>(folder_.exe());
    main_ = app_->WaitForMainWindow();
    ASSERT_NE(main_, nullptr);
    settings_ = app_->WaitForWindow(kSettingsWindowClass, nullptr);
    statistics_ = app_->WaitForWindow(kStatisticsFormClass, nullptr);
    about_ = app_->WaitForWindow(kAboutFormClass, nullptr);
    ASSERT_TRUE(settings_ && statistics_ && about_);
  }
  // The texts of every window, and the tray tip once a sample has made one,
  // are those of `language`.
  void ExpectSpeaks(Language language) {
    EXPECT_EQ(WindowText(settings_), In(language, TextId::SettingsCaption));
    EXPECT_EQ(WindowText(FindDescendant(settings_, kIdCheckFirst)), In(language, TextId::SettingsAutoRun));
    EXPECT_EQ(WindowText(FindDescendant(settings_, kIdSettingsHint)), In(language, TextId::SettingsHint));
    EXPECT_EQ(WindowText(statistics_), In(language, TextId::StatsCaption));
    EXPECT_EQ(WindowText(app_->WaitForWindow(kHistoryFormClass, nullptr)), In(language, TextId::HistoryCaption));
    EXPECT_EQ(WindowText(about_), In(language, TextId::AboutCaption));
    EXPECT_EQ(WindowText(GetDlgItem(main_, kIdSBMenu)), In(language, TextId::MainMenu));
    QueryReceiver receiver;
    std::wstring tip;
    EXPECT_TRUE(WaitUntil([&] { return (tip = receiver.Ask(main_, AppQuery::TrayTip)).find(L'\r') != std::wstring::npos; },
                          5000));
    EXPECT_EQ(tip.substr(tip.find(L'\r') + 1, 3), In(language, TextId::TrayTipMemory).substr(0, 3)) << Narrow(tip);
  }
  std::string Close() {
    EXPECT_TRUE(CloseMain(*app_, main_));
    return folder_.ReadIni();
  }

  AppFolder folder_;
  std::unique_ptr<App> app_;
  HWND main_ = nullptr, settings_ = nullptr, statistics_ = nullptr, about_ = nullptr;
};

// Without the setting the system's language, which a file that never had
// it does not get; the setting chooses; an unknown value follows the system
// and stays in the file.
TEST_F(LanguageE2E, TheSettingOrElseTheSystemChoosesAndTheFileKeepsWhatItSaid) {
  for (const auto& [value, language] : {std::make_pair("", kSystem), std::make_pair("en-US", Language::English),
                                        std::make_pair("zh-CN", Language::Chinese), std::make_pair("de-DE", kSystem)}) {
    Start(*value ? std::string("Language=") + value + "\r\n" : "");
    ExpectSpeaks(language);
    PostMessageW(main_, WM_KEYDOWN, VK_F6, 0);
    EXPECT_NE(app_->WaitForWindow(kInfoWindowClass, In(language, TextId::InfoCaption).c_str()), nullptr);
    const std::string ini = Close();
    const std::string kept = *value ? std::string("\r\nLanguage=") + value + "\r\n" : "Language";
    EXPECT_EQ(ini.find(kept) != std::string::npos, *value != 0) << ini;
  }
}

TEST_F(LanguageE2E, ASwitchInTheOpenDialogRetextsEveryWindowAndMovesNothing) {
  const Language other = kSystem == Language::Chinese ? Language::English : Language::Chinese;
  Start("");
  PostMessageW(main_, WM_KEYDOWN, VK_F5, 0);
  PostMessageW(main_, WM_KEYDOWN, VK_F4, 0);
  ASSERT_TRUE(WaitVisible(settings_, true) && WaitVisible(statistics_, true));
  HWND combo = FindDescendant(settings_, kIdLanguage);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0) << "follows the system";
  const RECT settings_at = WindowRect(settings_), main_at = WindowRect(main_), combo_at = WindowRect(combo);
  const LRESULT font = QueryOwner(settings_, AppQuery::WindowFontHeight, reinterpret_cast<LPARAM>(combo));
  // Chosen as the keyboard does, with the focus in the box: list open, down to it, Enter.
  SetForegroundWindow(settings_);
  SendMessageW(settings_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(combo), TRUE);
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  for (int i = 0; i < (other == Language::English ? 2 : 1); ++i) PostMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(combo, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(statistics_) == In(other, TextId::StatsCaption); }, 5000));
  ExpectSpeaks(other);
  EXPECT_EQ(ComboItemText(combo, 0), In(other, TextId::SettingsLanguageSystem));
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), other == Language::English ? 2 : 1);
  EXPECT_EQ(TabCtrl_GetCurSel(FindDescendant(settings_, kIdSettingsTabs)), 0);
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof(gui);
  EXPECT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(settings_, nullptr), &gui));
  EXPECT_EQ(gui.hwndFocus, combo);
  for (const auto& [window, was] : {std::make_pair(settings_, settings_at), std::make_pair(main_, main_at),
                                    std::make_pair(combo, combo_at)}) {
    const RECT now = WindowRect(window);
    EXPECT_TRUE(EqualRect(&now, &was));
  }
  EXPECT_EQ(QueryOwner(settings_, AppQuery::WindowFontHeight, reinterpret_cast<LPARAM>(combo)), font);
  const std::string ini = Close();
  EXPECT_NE(ini.find(std::string("Language=") + (other == Language::English ? "en-US" : "zh-CN")), std::string::npos);
}


// No text is cut off: every static, button, check box and group box of the
// main window and the five windows, in both languages, at the dpi this suite
// runs at (CTest runs the suites ending in DpiE2E at 96, 144 and 192).
TEST(TextFitDpiE2E, EveryTextFitsItsControlInBothLanguages) {
  for (const char* language : {"zh-CN", "en-US"}) {
    AppFolder folder;
    folder.WriteIni(std::string("[General]\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\nLanguage=") + language + "\r\n");
    App app(folder.exe());
    HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_KEYDOWN, VK_F6, 0);
    std::vector<HWND> windows = {main};
    for (const wchar_t* cls :
         {kSettingsWindowClass, kStatisticsFormClass, kHistoryFormClass, kAboutFormClass, kInfoWindowClass}) {
      windows.push_back(app.WaitForWindow(cls, nullptr));
      ASSERT_NE(windows.back(), nullptr) << Narrow(cls);
    }
    std::vector<HWND> controls;
    for (HWND window : windows) EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&controls));
    int measured = 0;
    for (HWND control : controls) {
      const LRESULT over = Query(app.pid(), AppQuery::TextOverflow, reinterpret_cast<LPARAM>(control));
      if (over < 0) continue;
      ++measured;
      EXPECT_EQ(over, 0) << language << ": \"" << Narrow(WindowText(control)) << "\" is cut off";
    }
    EXPECT_GT(measured, 60) << language;
    EXPECT_TRUE(CloseMain(app, main));
  }
}

}  // namespace
}  // namespace zt::e2e
