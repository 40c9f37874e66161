// A main window for the settings dialog that has the default size and does
// nothing when told to apply a change: for tests of the dialog's own window.
#pragma once

#include "dialogs/settings_model.h"

namespace zt::test {

class QuietSettingsTarget : public ISettingsTarget {
 public:
  int WindowWidth() override { return 250; }
  int WindowHeight() override { return 105; }
  int SetWindowWidth(int w) override { return w; }
  int SetWindowHeight(int h) override { return h; }
  void SetDisplayMemory(bool) override {}
  void SetTrayMode(bool, bool) override {}
  void SetHideBarGraph(bool) override {}
  void SetAutoHideControls(bool) override {}
  void SetTextColor(Color) override {}
  void ApplyColors() override {}
  void ApplyTranslucency() override {}
  void ClearProcessorLines() override {}
  void RegisterAppModeHotkey() override {}
  bool IsAutorunEnabled() override { return false; }
  void SetAutorun(bool) override {}
  void LanguageChanged() override {}
};

}  // namespace zt::test
