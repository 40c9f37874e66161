// A main window for the settings dialog that has the default size and only
// counts what it is told to apply: for tests of the dialog's own window.
#pragma once

#include "dialogs/settings_model.h"

namespace zt::test {

class QuietSettingsTarget : public ISettingsTarget {
 public:
  int WindowWidth() override { return 250; }
  int WindowHeight() override { return 105; }
  int SetWindowWidth(int w) override { return ++changes, width = w; }
  int SetWindowHeight(int h) override { return ++changes, h; }
  void SetDisplayMemory(bool) override { ++changes; }
  void SetTrayMode(bool, bool) override { ++changes; }
  void SetHideBarGraph(bool) override { ++changes; }
  void SetShowMoreResources(bool) override { ++changes; }
  void SetAutoHideControls(bool) override { ++changes; }
  void SetTextColor(Color) override { ++changes; }
  void ApplyColors() override { ++changes; }
  void ApplyTranslucency() override { ++changes; }
  void ClearProcessorLines() override { ++changes; }
  void RegisterAppModeHotkey() override { ++registrations; }
  bool IsAutorunEnabled() override { return false; }
  void SetAutorun(bool) override { ++changes; }
  void LanguageChanged() override { ++languages; }
  int changes = 0;
  int registrations = 0;
  int languages = 0;  // the times every window was to be re-texted
  int width = 0;  // the last width asked for
};

}  // namespace zt::test
