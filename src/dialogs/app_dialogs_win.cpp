#include "dialogs/app_dialogs_win.h"

#include <memory>

#include "shell/main_form_win.h"
#include "shell/menu_model.h"

namespace zt {
namespace {

struct AppDialogs {
  HINSTANCE instance = nullptr;
  HWND main_window = nullptr;
};

std::unique_ptr<AppDialogs> g_dialogs;

}  // namespace

void CreateAppDialogs(HINSTANCE instance, HWND main_window) {
  g_dialogs = std::make_unique<AppDialogs>();
  g_dialogs->instance = instance;
  g_dialogs->main_window = main_window;
}

void DestroyAppDialogs() {
  for (uint16_t command : {MI_Settings, MI_Statistics, MI_About, MI_CPUInformation}) {
    TForm_Main::SetCommandHandler(command, nullptr);
  }
  g_dialogs.reset();
}

}  // namespace zt
