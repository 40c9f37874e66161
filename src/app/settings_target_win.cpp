#include "app/settings_target_win.h"

#include <windows.h>

#include "app/startup.h"
#include "shell/main_form_win.h"
#include "util/platform.h"
#include "util/registry.h"

namespace zt {

// The size fields hold design units, as PosWidth and PosHeight do.
int MainFormSettingsTarget::WindowWidth() { return form_.DesignWidth(); }
int MainFormSettingsTarget::WindowHeight() { return form_.DesignHeight(); }
int MainFormSettingsTarget::SetWindowWidth(int width) { return form_.SetDesignWidth(width); }
int MainFormSettingsTarget::SetWindowHeight(int height) { return form_.SetDesignHeight(height); }

void MainFormSettingsTarget::SetDisplayMemory(bool on) { form_.SetDisplayMemory(on); }
void MainFormSettingsTarget::SetTrayMode(bool on, bool startup) { form_.SetTrayMode(on, startup); }
void MainFormSettingsTarget::SetHideBarGraph(bool hide) { form_.SetHideBarGraph(hide); }
void MainFormSettingsTarget::SetShowMoreResources(bool on) { form_.SetShowMoreResources(on); }
void MainFormSettingsTarget::SetAutoHideControls(bool on) { form_.SetAutoHideControls(on); }
void MainFormSettingsTarget::SetTextColor(Color color) { form_.SetTextColor(color); }
void MainFormSettingsTarget::ApplyColors() { form_.ApplyColors(); }
void MainFormSettingsTarget::ApplyTranslucency() { form_.ApplyTranslucency(); }
void MainFormSettingsTarget::RegisterAppModeHotkey() { form_.RegisterAppModeHotkey(); }

void MainFormSettingsTarget::ClearProcessorLines() {
  // A display step still queued reads DisplayEachCPU when it runs, so it adds
  // no point to these lines after this: nothing needs serving first.  (Serving
  // the whole message queue here would run the user's next click in the
  // middle of this one.)
  form_.ClearGraphLines(2, 4);
}

bool MainFormSettingsTarget::IsAutorunEnabled() { return zt::IsAutorunEnabled(SystemRegistry(), ExecutablePath()); }

void MainFormSettingsTarget::SetAutorun(bool enable) { zt::SetAutorun(SystemRegistry(), enable, ExecutablePath()); }

void MainFormSettingsTarget::LanguageChanged() {
  form_.Retext();
  if (retext_others_) retext_others_();
}

}  // namespace zt
