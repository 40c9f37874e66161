#include "dialogs/app_dialogs_win.h"

#include <memory>

#include "dialogs/about_form_win.h"
#include "dialogs/info_form_win.h"
#include "dialogs/settings_form_win.h"
#include "dialogs/settings_target_win.h"
#include "dialogs/statistics_form_win.h"
#include "shell/main_form_win.h"
#include "shell/menu_model.h"

namespace zt {
namespace {

struct AppDialogs {
  HINSTANCE instance = nullptr;
  HWND main_window = nullptr;
  std::unique_ptr<MainFormSettingsTarget> settings_target;
  std::unique_ptr<TForm_Settings> settings;
  TForm_Statistics statistics;
  TForm_About about;
  // Made the first time it is asked for, then kept.
  std::unique_ptr<TForm_Info> info;
};

std::unique_ptr<AppDialogs> g_dialogs;

void MI_CPUInformationClick() {
  if (!g_dialogs) return;
  if (!g_dialogs->info) {
    auto info = std::make_unique<TForm_Info>();
    if (!info->Create(g_dialogs->instance, g_dialogs->main_window)) return;
    g_dialogs->info = std::move(info);
  }
  g_dialogs->info->Show();
}

}  // namespace

void CreateAppDialogs(HINSTANCE instance, HWND main_window) {
  g_dialogs = std::make_unique<AppDialogs>();
  AppDialogs& d = *g_dialogs;
  d.instance = instance;
  d.main_window = main_window;

  // Settings dialog.
  if (TForm_Main* form = MainForm()) {
    d.settings_target = std::make_unique<MainFormSettingsTarget>(*form);
    d.settings = std::make_unique<TForm_Settings>(*d.settings_target);
    if (d.settings->Create(instance, main_window)) {
      TForm_Main::SetCommandHandler(MI_Settings, [] { g_dialogs->settings->Show(); });
    } else {
      d.settings.reset();
    }
  }

  // Statistics and about windows.
  if (d.statistics.Create(instance, main_window))
    TForm_Main::SetCommandHandler(MI_Statistics, [] { g_dialogs->statistics.Show(); });
  if (d.about.Create(instance, main_window))
    TForm_Main::SetCommandHandler(MI_About, [] { g_dialogs->about.Show(); });
  // CPU information window, on first use.
  TForm_Main::SetCommandHandler(MI_CPUInformation, MI_CPUInformationClick);
}

void DestroyAppDialogs() {
  for (uint16_t command : {MI_Settings, MI_Statistics, MI_About, MI_CPUInformation}) {
    TForm_Main::SetCommandHandler(command, nullptr);
  }
  g_dialogs.reset();
}

}  // namespace zt
