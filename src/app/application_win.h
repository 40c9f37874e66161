// src/app: the top floor.  The program's run from start to end, the creation
// and ownership of the main window and of the windows opened from its menu,
// and the adapters through which those windows act on the main window.  It
// includes the shell (main window, tray icon, menu, placement) and the
// dialogs, which stand side by side below it and include nothing of each
// other, nor anything of this folder.
//
// TApplication: one run of the program.  The main window is made first and
// shown unless the program starts in tray mode; then, hidden and in this
// order, the settings dialog, the statistics window and the about window,
// each taking over its menu command.  The processor information window is
// made the first time its command runs, then kept.
#pragma once

#include <windows.h>

#include <memory>

namespace zt {

class MainFormSettingsTarget;
class TForm_About;
class TForm_History;
class TForm_Info;
class TForm_Main;
class TForm_Settings;
class TForm_Statistics;

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The whole run, in this order: the settings file's path, the instance
  // test, the installer switches (which end the run there), COM and the
  // common controls, the main window (its creation loads the settings,
  // applies them and starts the sampling threads), the dialogs, the message
  // about a settings file that could not be read, the message loop; then the
  // dialogs and the main window go.  Answers the process's exit code.
  int Run(HINSTANCE instance, int show_command);

  // The windows while they exist: null before they are made and after they
  // are gone.
  TForm_Main* main_form() const { return main_form_.get(); }
  TForm_Info* info_form() const { return info_.get(); }

 private:
  bool CreateMainWindow(int show_command);
  void CreateDialogs();
  // Before the main window goes: the dialogs' commands, then the dialogs.
  void DestroyDialogs();
  void DestroyMainWindow();
  // The main window and then the dialogs get the first look at each message
  // of the loop (short-cuts, the title controls, dialog navigation).  True
  // when one of them took it.
  bool PreviewMessage(MSG& msg);
  void MI_CPUInformationClick();

  HINSTANCE instance_ = nullptr;
  std::unique_ptr<TForm_Main> main_form_;
  std::unique_ptr<MainFormSettingsTarget> settings_target_;
  std::unique_ptr<TForm_Settings> settings_;
  std::unique_ptr<TForm_Statistics> statistics_;
  std::unique_ptr<TForm_History> history_;
  std::unique_ptr<TForm_About> about_;
  std::unique_ptr<TForm_Info> info_;
};

}  // namespace zt
