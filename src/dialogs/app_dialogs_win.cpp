#include "dialogs/app_dialogs_win.h"

#include <memory>

#include "dialogs/about_form_win.h"
#include "dialogs/statistics_form_win.h"
#include "shell/main_form_win.h"
#include "shell/menu_model.h"

namespace zt {
namespace {

struct AppDialogs {
  HINSTANCE instance = nullptr;
  HWND main_window = nullptr;
  TForm_Statistics statistics;
  TForm_About about;
};

std::unique_ptr<AppDialogs> g_dialogs;

}  // namespace

void CreateAppDialogs(HINSTANCE instance, HWND main_window) {
  g_dialogs = std::make_unique<AppDialogs>();
  g_dialogs->instance = instance;
  g_dialogs->main_window = main_window;
  if (g_dialogs->statistics.Create(instance, main_window))
    TForm_Main::SetCommandHandler(MI_Statistics, [] { g_dialogs->statistics.Show(); });
  if (g_dialogs->about.Create(instance, main_window))
    TForm_Main::SetCommandHandler(MI_About, [] { g_dialogs->about.Show(); });
}

void DestroyAppDialogs() {
  for (uint16_t command : {MI_Settings, MI_Statistics, MI_About, MI_CPUInformation}) {
    TForm_Main::SetCommandHandler(command, nullptr);
  }
  g_dialogs.reset();
}

}  // namespace zt
