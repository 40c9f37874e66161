#include "app/application_win.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <exception>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/settings_target_win.h"
#include "app/startup.h"
#include "config/config.h"
#include "dialogs/about_form_win.h"
#include "dialogs/history_form_win.h"
#include "dialogs/info_form_win.h"
#include "dialogs/settings_form_win.h"
#include "dialogs/statistics_form_win.h"
#include "shell/main_form_win.h"
#include "shell/menu_model.h"
#include "shell/monitors_win.h"
#include "util/handles_win.h"
#include "util/message_box_win.h"
#include "util/modeless_dialogs_win.h"
#include "util/platform.h"
#include "util/registry.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

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

}  // namespace

TApplication::TApplication() = default;

TApplication::~TApplication() {
  DestroyDialogs();
  DestroyMainWindow();
}

int TApplication::Run(HINSTANCE instance, int show_command) {
  instance_ = instance;
  const std::string exe = ExecutablePath();
  SetConfigFilePath(ConfigPathForExecutable(exe));
  InstanceRunning = DetectRunningInstance(kInstanceMutexName);

  // The installer's questions come before any settings are read: they speak
  // the system's language.
  FollowLanguageSetting();
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

  if (!CreateMainWindow(show_command)) return 1;
  CreateDialogs();
  TellUnreadableSettingsFile(main_form_->hwnd());

  MSG msg;
  int exit_code = 0;
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      exit_code = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) break;
    if (PreviewMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DestroyDialogs();
  DestroyMainWindow();
  return exit_code;
}

bool TApplication::CreateMainWindow(int show_command) {
  main_form_ = std::make_unique<TForm_Main>();
  if (!main_form_->Create(instance_)) {
    main_form_.reset();
    return false;
  }
  if (main_form_->ShowAtStartup()) {
    int cmd = show_command;
    if (cmd == SW_HIDE || cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE ||
        cmd == SW_MAXIMIZE || cmd == SW_FORCEMINIMIZE) {
      cmd = SW_SHOWNORMAL;
    }
    ShowWindow(main_form_->hwnd(), cmd);
    UpdateWindow(main_form_->hwnd());
  }
  return true;
}

void TApplication::CreateDialogs() {
  TForm_Main& main = *main_form_;
  const HWND main_window = main.hwnd();

  settings_target_ = std::make_unique<MainFormSettingsTarget>(main);
  settings_ = std::make_unique<TForm_Settings>(*settings_target_);
  settings_target_->SetOtherWindowsRetext([this] {
    for (TForm* form : std::initializer_list<TForm*>{settings_.get(), statistics_.get(), history_.get(), about_.get(), info_.get()}) {
      if (form) form->Retext();
    }
  });
  if (settings_->Create(instance_, main_window)) {
    main.SetCommandHandler(MI_Settings, [this] { settings_->Show(); });
  } else {
    settings_.reset();
  }

  // The statistics reset restarts the graph's x values: the graph empties.
  statistics_ = std::make_unique<TForm_Statistics>([this] { main_form_->ClearGraph(); });
  if (statistics_->Create(instance_, main_window)) {
    main.SetCommandHandler(MI_Statistics, [this] { statistics_->Show(); });
  }
  // The monitor's records and the kept file's troubles, asked afresh at
  // every reading; both live as long as the main window.
  TMonitors& monitors = main.monitors();
  const HistoryKeeper& keeper = monitors.keeper();
  history_ = std::make_unique<TForm_History>(
      monitors.history(), [&keeper](Language language) { return keeper.Status(language); });
  if (history_->Create(instance_, main_window)) {
    main.SetCommandHandler(MI_History, [this] { history_->Show(); });
  }
  about_ = std::make_unique<TForm_About>();
  if (about_->Create(instance_, main_window)) {
    main.SetCommandHandler(MI_About, [this] { about_->Show(); });
  }
  main.SetCommandHandler(MI_CPUInformation, [this] { MI_CPUInformationClick(); });
}

void TApplication::MI_CPUInformationClick() {
  if (!info_) {
    auto info = std::make_unique<TForm_Info>();
    if (!info->Create(instance_, main_form_->hwnd())) return;
    info_ = std::move(info);
  }
  info_->Show();
}

void TApplication::DestroyDialogs() {
  if (main_form_) {
    for (uint16_t command : {MI_Settings, MI_Statistics, MI_History, MI_About, MI_CPUInformation}) {
      main_form_->SetCommandHandler(command, nullptr);
    }
  }
  info_.reset();
  about_.reset();
  history_.reset();
  statistics_.reset();
  settings_.reset();
  settings_target_.reset();
}

void TApplication::DestroyMainWindow() {
  if (main_form_) main_form_->Destroy();
  main_form_.reset();
}

bool TApplication::PreviewMessage(MSG& msg) {
  if (main_form_ && main_form_->FilterMessage(msg)) return true;
  return IsModelessDialogMessage(msg);
}

}  // namespace zt
