// Support for tests that drive the real zettrim.exe: each test gets a fresh
// private folder with its own copy of the program (so its settings file is
// private), starts it, finds its windows, sends messages and reads back the
// settings file and the registry.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "util/texts.h"

namespace zt::e2e {

// A fresh folder under %TEMP% holding the test build of the program
// (zettrim-testable.exe, which answers support/app_query_win.h) as
// zettrim.exe, and the two text files; removed with everything in it when
// the object goes.
class AppFolder {
 public:
  AppFolder();
  ~AppFolder();
  AppFolder(const AppFolder&) = delete;
  AppFolder& operator=(const AppFolder&) = delete;

  const std::wstring& dir() const { return dir_; }
  std::wstring exe() const { return dir_ + L"\\zettrim.exe"; }
  std::wstring ini() const { return dir_ + L"\\zettrim.ini"; }
  // Settings file as bytes ("" when missing) and written verbatim.
  std::string ReadIni() const;
  void WriteIni(const std::string& bytes) const;
  bool IniExists() const;

 private:
  std::wstring dir_;
};

// One running copy of the program.
class App {
 public:
  // Starts `exe` with `args` (a command-line tail, may be empty).
  App(const std::wstring& exe, const std::wstring& args = L"");
  ~App();  // kills the process if it still runs
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  DWORD pid() const { return pi_.dwProcessId; }
  // The main window ("Zettrim", class TForm_Main); null after the timeout.
  HWND WaitForMainWindow(int timeout_ms = 20000);
  // A top-level window of this process with the given class and title
  // (either may be null to match any).
  HWND WaitForWindow(const wchar_t* cls, const wchar_t* title, int timeout_ms = 20000);
  // Waits for the process to end; true with its exit code when it did.
  bool WaitForExit(int timeout_ms, DWORD* exit_code = nullptr);
  bool Running();
  void Kill();

 private:
  PROCESS_INFORMATION pi_ = {};
};

// Message-box helpers: the box's static text, and a click on a button id.
std::wstring WindowText(HWND hwnd);
std::wstring MessageBoxText(HWND box);
void ClickButton(HWND dialog, int id);
// A child window of `parent` whose window text is `text` (or null).
HWND FindChildByText(HWND parent, const std::wstring& text);
// A window anywhere below `parent` with the control id `id` (or null): the
// controls of the tabbed windows sit on pages, a level or two down.
HWND FindDescendant(HWND parent, int id);

// The language the program speaks when no settings say otherwise: the one
// of the system this test runs on (Wine's, from LC_ALL).
Language SystemLanguage();

// Polls `condition` every 20 ms until it holds or the timeout passes.
bool WaitUntil(const std::function<bool()>& condition, int timeout_ms);

// HKLM autorun value of the program, or nothing.
bool ReadAutorunValue(std::wstring* data);
void DeleteAutorunValue();

// Value of `key` in `section` of INI text (exact text after "=", or nullptr).
bool IniValue(const std::string& ini, const std::string& section, const std::string& key,
              std::string* value);

}  // namespace zt::e2e
