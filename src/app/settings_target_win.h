// What the settings dialog changes in the running program, as the dialog
// sees it (ISettingsTarget): the main window's operations and size, and the
// autorun entry of this executable.
#pragma once

#include <functional>
#include <utility>

#include "dialogs/settings_model.h"

namespace zt {

class TForm_Main;

class MainFormSettingsTarget final : public ISettingsTarget {
 public:
  explicit MainFormSettingsTarget(TForm_Main& form) : form_(form) {}
  int WindowWidth() override;
  int WindowHeight() override;
  int SetWindowWidth(int width) override;
  int SetWindowHeight(int height) override;
  void SetDisplayMemory(bool on) override;
  void SetTrayMode(bool on, bool startup) override;
  void SetHideBarGraph(bool hide) override;
  void SetShowMoreResources(bool on) override;
  void SetAutoHideControls(bool on) override;
  void SetTextColor(Color color) override;
  void ApplyColors() override;
  void ApplyTranslucency() override;
  void ClearProcessorLines() override;
  void RegisterAppModeHotkey() override;
  bool IsAutorunEnabled() override;
  void SetAutorun(bool enable) override;
  // Re-texts the main window, then runs `others` for the other windows.
  void LanguageChanged() override;
  void SetOtherWindowsRetext(std::function<void()> others) { retext_others_ = std::move(others); }

 private:
  TForm_Main& form_;
  std::function<void()> retext_others_;
};

}  // namespace zt
