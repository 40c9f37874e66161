// The real program, started in a private folder: settings file written at
// exit, odd values read as documented, installer switches, two copies.
#include <objbase.h>

#include <gtest/gtest.h>

#include <sstream>

#include "main_window_support.h"
#include "shell/menu_model.h"
#include "util/texts.h"
#include "util/unicode_win.h"

namespace zt::e2e {
namespace {

std::vector<std::string> KeysInOrder(const std::string& ini) {
  std::vector<std::string> keys;
  std::istringstream in(ini);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') {
      keys.push_back(line);
      continue;
    }
    keys.push_back(line.substr(0, line.find('=')));
  }
  return keys;
}

std::string Value(const std::string& ini, const char* section, const char* key) {
  std::string v;
  return IniValue(ini, section, key, &v) ? v : "<missing>";
}

void CloseAndWait(App& app, HWND main) {
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1234;
  ASSERT_TRUE(app.WaitForExit(15000, &code)) << "the program did not end after WM_CLOSE";
  EXPECT_EQ(code, 0u);
}

TEST(StartupE2E, FirstRunWritesEveryDefaultInWriteOrder) {
  AppFolder folder;
  ASSERT_FALSE(folder.IniExists());
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WindowText(main), L"Zettrim");
  EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0)
      << "the main window has no border and no caption bar";
  CloseAndWait(app, main);

  std::string ini = folder.ReadIni();
  const std::vector<std::string> expected = {
      "[General]", "FirstLaunch", "AlwaysOnTop", "Rate", "GraphLength", "AlphaBlend",
      "AlphaBlendValue", "Transparency", "ThickerGraph", "LockForm", "UpdateSpeed",
      "DisplayMemory", "MemoryAsPercentage", "HideBarGraph", "NumericTrayIcons",
      "HideTrayWhenVisible", "AutoHideControls", "ShowFreeMemory", "UsePhysicalMemory",
      "DisplayEachCPU", "AppTrayMode", "AppModeHotkey", "AppModeHotkeyModifiers",
      "[Location]", "PosX", "PosY", "PosWidth", "PosHeight",
      "[Colors]", "BackgroundColor", "GraphCPUColor1", "GraphCPUColor2", "GraphCPUColor3",
      "GraphCPUColor4", "GraphMemoryColor", "BarColor", "TextColor"};
  EXPECT_EQ(KeysInOrder(ini), expected);
  EXPECT_NE(ini.find("[General]\r\nFirstLaunch=0\r\nAlwaysOnTop=1\r\nRate=500\r\nGraphLength=80\r\n"
                     "AlphaBlend=1\r\nAlphaBlendValue=200\r\n"),
            std::string::npos)
      << ini;
  EXPECT_NE(ini.find("AppModeHotkey=122\r\nAppModeHotkeyModifiers=3\r\n\r\n[Location]\r\n"),
            std::string::npos);
  EXPECT_NE(ini.find("PosWidth=250\r\nPosHeight=105\r\n\r\n[Colors]\r\n"
                     "BackgroundColor=16777215\r\nGraphCPUColor1=8388608\r\n"),
            std::string::npos);
  EXPECT_NE(ini.find("GraphMemoryColor=15780518\r\nBarColor=8388608\r\nTextColor=0\r\n\r\n"),
            std::string::npos);
  EXPECT_EQ(ini.substr(ini.size() - 4), "\r\n\r\n");
}

TEST(StartupE2E, OddValuesComeBackAsDocumented) {
  AppFolder folder;
  folder.WriteIni(
      "; my notes\r\n"
      "[general]\r\n"
      "AlphaBlend=yes\r\n"
      "Rate=65636\r\n"
      "alphablendvalue = 300\r\n"
      "FirstLaunch=0\r\n"
      "Mystery=42\r\n"
      "[Colors]\r\n"
      "BackgroundColor=0xFF\r\n"
      "[Plugins]\r\n"
      "Name=Value with = sign\r\n"
      "; a comment inside\r\n"
      "loose line\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  CloseAndWait(app, main);

  std::string ini = folder.ReadIni();
  EXPECT_EQ(ini.find("my notes"), std::string::npos) << "comments are not written back";
  EXPECT_EQ(ini.find("a comment inside"), std::string::npos);
  EXPECT_EQ(Value(ini, "General", "AlphaBlend"), "1");  // "yes" is no integer: default
  EXPECT_EQ(Value(ini, "General", "Rate"), "100");      // low 16 bits of 65636
  EXPECT_EQ(Value(ini, "General", "AlphaBlendValue"), "44");
  EXPECT_EQ(Value(ini, "Colors", "BackgroundColor"), "255");
  EXPECT_EQ(Value(ini, "General", "Mystery"), "42");
  EXPECT_EQ(Value(ini, "Plugins", "Name"), "Value with = sign");
  EXPECT_NE(ini.find("loose line"), std::string::npos);
}

// A settings file that cannot be written: the program says once, at exit,
// that this run's changes are lost, and the file stays as it was.
TEST(StartupE2E, FailedSaveIsToldOnceAndTheFileKept) {
  AppFolder folder;
  const std::string original = "[General]\r\nFirstLaunch=0\r\nLockForm=0\r\nLanguage=zh-CN\r\n";
  folder.WriteIni(original);
  ASSERT_TRUE(SetFileAttributesW(folder.ini().c_str(), FILE_ATTRIBUTE_READONLY));
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, MI_LockForm, 0);
  PostMessageW(main, WM_CLOSE, 0, 0);
  HWND box = app.WaitForWindow(L"#32770", L"Error");
  ASSERT_NE(box, nullptr) << "no message about the lost settings";
  const std::wstring text = MessageBoxText(box);
  EXPECT_EQ(text.rfind(L"无法保存设置文件：" + folder.ini(), 0), 0u);
  EXPECT_NE(text.find(L"本次运行中更改的设置已丢失。"), std::wstring::npos);
  ClickButton(box, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(app.WaitForExit(15000, &code)) << "a second message would hold the program";
  EXPECT_EQ(code, 0u);
  SetFileAttributesW(folder.ini().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(folder.ReadIni(), original);
}

// A settings file the program cannot read (UTF-16 of an odd length) is told
// once, as the program starts on its defaults; the file is kept as it is,
// and an exit that changed nothing says nothing and waits for nobody.
TEST(StartupE2E, UnreadableFileIsToldAtStartAndKeptAndTheExitIsQuiet) {
  AppFolder folder;
  const std::string odd("\xFF\xFE[\0G\0e\0n\0e\0r\0a\0l\0]\0\r\0\n\0R\0a\0t\0e\0=\0\x33\0\x30\0\x30\0!", 41);
  folder.WriteIni(odd);
  App app(folder.exe());
  HWND box = app.WaitForWindow(L"#32770", L"Warning");
  ASSERT_NE(box, nullptr) << "nothing said about the unreadable file";
  const std::wstring text = MessageBoxText(box);
  // Nothing read, so the system's language.
  const std::wstring expected = Widen(FormatIn(SystemLanguage(), TextId::SettingsFileNotRead, {Narrow(folder.ini()), "\x01"}));
  EXPECT_EQ(text.rfind(expected.substr(0, expected.find(L'\x01')), 0), 0u) << Narrow(text);
  EXPECT_NE(text.find(expected.substr(expected.find(L'\x01') + 1)), std::wstring::npos) << Narrow(text);
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(GetWindow(box, GW_OWNER), main) << "over the main window";
  ClickButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000)) << "the box has gone";
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1234;
  ASSERT_TRUE(app.WaitForExit(15000, &code)) << "a box at exit holds the program";
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(folder.ReadIni(), odd);
}

// The shell's open calls (menu links, the text files) run on the user-
// interface thread, which the shell wants in a single-threaded COM
// apartment.
TEST(StartupE2E, TheUserInterfaceThreadHasCom) {
  AppFolder folder;
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const LRESULT apartment = QueryOwner(main, AppQuery::ComApartment);
  EXPECT_TRUE(apartment == APTTYPE_STA || apartment == APTTYPE_MAINSTA) << apartment;
  CloseAndWait(app, main);
}

class InstallE2E : public ::testing::Test {
 protected:
  void SetUp() override { DeleteAutorunValue(); }
  void TearDown() override { DeleteAutorunValue(); }
};

TEST_F(InstallE2E, InstallAnsweredYesWritesTheQuotedPath) {
  AppFolder folder;
  App app(folder.exe(), L"/install extra-ignored");
  HWND box = app.WaitForWindow(L"#32770", L"Confirm");
  ASSERT_NE(box, nullptr);
  // Before any settings are read: the system's language.
  EXPECT_EQ(MessageBoxText(box), Widen(FormatIn(SystemLanguage(), TextId::InstallPrompt, {"Zettrim"})));
  EXPECT_EQ(WindowText(GetDlgItem(box, IDYES)), L"&Yes");
  EXPECT_EQ(WindowText(GetDlgItem(box, IDNO)), L"&No");
  EXPECT_EQ(WindowText(GetDlgItem(box, IDCANCEL)), Widen(TextIn(SystemLanguage(), TextId::BoxCancel)));
  ClickButton(box, IDYES);
  DWORD code = 1234;
  ASSERT_TRUE(app.WaitForExit(15000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(folder.IniExists()) << "no window, so no settings file";

  std::wstring data;
  ASSERT_TRUE(ReadAutorunValue(&data));
  EXPECT_EQ(data, L"\"" + folder.exe() + L"\"");
}

TEST_F(InstallE2E, InstallAnsweredNoChangesNothing) {
  AppFolder folder;
  App app(folder.exe(), L"/install");
  HWND box = app.WaitForWindow(L"#32770", L"Confirm");
  ASSERT_NE(box, nullptr);
  ClickButton(box, IDNO);
  DWORD code = 1234;
  ASSERT_TRUE(app.WaitForExit(15000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(ReadAutorunValue(nullptr));
}

TEST_F(InstallE2E, UninstallRemovesTheValueAndWarnsWhileAnotherCopyRuns) {
  AppFolder folder;
  {
    App quiet(folder.exe(), L"/uninstall");  // nothing registered, nothing running
    DWORD code = 1234;
    ASSERT_TRUE(quiet.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
  }
  {
    App install(folder.exe(), L"/install");
    HWND box = install.WaitForWindow(L"#32770", L"Confirm");
    ASSERT_NE(box, nullptr);
    ClickButton(box, IDYES);
    ASSERT_TRUE(install.WaitForExit(15000));
  }
  ASSERT_TRUE(ReadAutorunValue(nullptr));

  App running(folder.exe());
  HWND main = running.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  App uninstall(folder.exe(), L"/uninstall");
  HWND warning = uninstall.WaitForWindow(L"#32770", L"Warning");
  ASSERT_NE(warning, nullptr);
  EXPECT_FALSE(ReadAutorunValue(nullptr)) << "the value goes before the warning shows";
  EXPECT_EQ(MessageBoxText(warning), Widen(FormatIn(SystemLanguage(), TextId::UninstallRunning, {"Zettrim"})));
  EXPECT_EQ(WindowText(GetDlgItem(warning, IDOK)), L"OK");
  ClickButton(warning, IDOK);
  DWORD code = 1234;
  ASSERT_TRUE(uninstall.WaitForExit(15000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(running.Running()) << "the running copy is not touched";
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(running.WaitForExit(15000));
}

TEST(StartupE2E, TwoCopiesBothRun) {
  AppFolder folder;
  App first(folder.exe());
  HWND a = first.WaitForMainWindow();
  ASSERT_NE(a, nullptr);
  App second(folder.exe(), L"/INSTALL");  // letter case differs: a normal start
  HWND b = second.WaitForMainWindow();
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_TRUE(first.Running());
  PostMessageW(b, WM_CLOSE, 0, 0);
  PostMessageW(a, WM_CLOSE, 0, 0);
  EXPECT_TRUE(second.WaitForExit(15000));
  EXPECT_TRUE(first.WaitForExit(15000));
}

}  // namespace
}  // namespace zt::e2e
