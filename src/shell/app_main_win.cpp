// Program entry: instance test, installer switches, main window, message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "config/config.h"
#include "dialogs/app_dialogs_win.h"
#include "shell/main_window_win.h"
#include "shell/startup.h"
#include "util/handles_win.h"
#include "util/message_box_win.h"
#include "util/registry.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

std::string ExecutablePath() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      buf.resize(n);
      return Narrow(buf);
    }
    buf.resize(buf.size() * 2);
  }
}

// The mutex stays open for the life of the process; so does a handle that
// the open test obtained.
bool DetectRunningInstance(const std::string& name) {
  static UniqueHandle mutex;
  std::wstring wname = Widen(name);
  mutex.reset(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, wname.c_str()));
  if (mutex) return true;
  mutex.reset(CreateMutexW(nullptr, FALSE, wname.c_str()));
  return !mutex;
}

std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return args;
  for (int i = 1; i < argc; ++i) args.push_back(Narrow(argv[i]));
  LocalFree(argv);
  return args;
}

int Install(const std::string& exe) {
  if (ShowMessageBox(nullptr, BoxKind::Confirm, InstallPrompt(), BoxButtons::YesNoCancel) !=
      BoxAnswer::Yes)
    return 0;
  try {
    SetAutorun(SystemRegistry(), true, exe);
  } catch (const std::exception& e) {
    ShowMessageBox(nullptr, BoxKind::Error, e.what(), BoxButtons::Ok);
    return 1;
  }
  return 0;
}

int Uninstall(const std::string& exe) {
  try {
    SetAutorun(SystemRegistry(), false, exe);
  } catch (const std::exception&) {
    // Removing a value that cannot be reached leaves nothing to undo.
  }
  if (InstanceRunning)
    ShowMessageBox(nullptr, BoxKind::Warning, UninstallRunningWarning(), BoxButtons::Ok);
  return 0;
}

// A settings file that could not be read is told once, as the program
// comes up on its defaults, over the main window when that is shown.
void TellUnreadableSettingsFile(HWND main_window) {
  const std::string message = TakeConfigLoadFailureMessage();
  if (message.empty()) return;
  ShowMessageBox(IsWindowVisible(main_window) ? main_window : nullptr, BoxKind::Warning, message,
                 BoxButtons::Ok);
}

// COM on the user-interface thread for as long as it runs: the shell's open
// calls (the menu's web pages and text files) are made there, and link
// handlers may be COM objects that need a single-threaded apartment.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

int Run(HINSTANCE instance, int show_command) {
  const std::string exe = ExecutablePath();
  SetConfigFilePath(ConfigPathForExecutable(exe));
  InstanceRunning = DetectRunningInstance(kInstanceMutexName);

  switch (ParseCommandLine(Arguments())) {
    case StartAction::Install: return Install(exe);
    case StartAction::Uninstall: return Uninstall(exe);
    case StartAction::Run: break;
  }

  const ComApartment com;
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                               ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                               ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                               ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&icc);

  HWND main_window = CreateMainWindow(instance, show_command);
  if (!main_window) return 1;
  CreateAppDialogs(instance, main_window);
  TellUnreadableSettingsFile(main_window);

  MSG msg;
  int exit_code = 0;
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      exit_code = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) break;
    if (TranslateMainWindowMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DestroyAppDialogs();
  DestroyMainWindow();
  return exit_code;
}

}  // namespace
}  // namespace zt

// An exception nothing caught ends the program with abort(), as it always
// did.  The library's own handler first names the exception's type on
// stderr, which a windowed program does not have, and for that links a C++
// name demangler of some 45 KB into the executable; this one replaces it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  return zt::Run(instance, show_command);
}
