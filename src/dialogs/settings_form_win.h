// TForm_Settings: the settings dialog.  Four tabs of the system's own
// controls; no OK button, every change applies at once (settings_model.h).
// Created hidden at start-up and shown by the menu's settings command.  Every
// check box, group and field label has an access key; showing the dialog
// and changing its tab puts the focus on the first control of the page.
#pragma once

#include <windows.h>

#include <array>

#include "dialogs/color_box_win.h"
#include "dialogs/form_win.h"
#include "dialogs/settings_model.h"

namespace zt {

// Control ids (GetDlgItem from the dialog finds them: every control is a
// descendant of the dialog, and the ids are unique in it).
enum SettingsControlId : int {
  kIdSettingsTabs = 1500,
  kIdSettingsHint = 1501,
  kIdCheckFirst = 1000,       // + SettingsCheck
  kIdColorFirst = 1100,       // + SettingsColor
  kIdSliderFirst = 1200,      // + SettingsSlider
  kIdSliderLabelFirst = 1210,  // + SettingsSlider: the value label
  kIdSizeFirst = 1300,        // + SettingsSize: the number field
  kIdSizeSpinFirst = 1310,    // + SettingsSize: its up-down control
  kIdHotkeyField = 1400,
  kIdLanguage = 1410,
};

constexpr wchar_t kSettingsWindowClass[] = L"TForm_Settings";

class TForm_Settings : public TForm {
 public:
  explicit TForm_Settings(ISettingsTarget& target) : target_(target) {}
  // Hidden until shown; an ordinary window beside `main_window`.
  bool Create(HINSTANCE instance, HWND main_window = nullptr);
  // The control of a check box, colour box, ... (for tests and the view).
  HWND Control(int id) const;

 protected:
  void FormCreate() override;
  void FormLayout(int previous_dpi) override;
  void FormShow() override;
  void FormHide() override;
  bool FormKeyPreview(const MSG& msg) override;
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void CreateGeneralPage(HWND page);
  void CreateDisplayPage(HWND page);
  void CreateColorsPage(HWND page);
  void CreateExtendedPage(HWND page);
  HWND AddCheck(SettingsCheck check, HWND page, int x, int& y);
  int AddTabChecks(SettingsTab tab, HWND page);
  void AddSizeField(SettingsSize field, TextId label, HWND page, int y);
  void AddSlider(SettingsSlider slider, TextId group, TextId unit, HWND page, int y);
  void FormRetext() override;

  // Handlers.
  void PageControlChange();
  void CheckBoxClick(SettingsCheck check);
  void ColorBoxNotify(SettingsColor which, int code);
  void ColorBoxEnter(SettingsColor which);
  void TrackBarChange(HWND trackbar);
  void SpinEditChange(SettingsSize field);
  void HotKeyChange();
  void LanguageBoxNotify(int code);
  // The item the language box shows is to be the language: applied once the
  // box's notification is over (LanguageChange).
  void LanguageChosen();
  void LanguageChange();
  void ShowPage(int index);
  // The keyboard and screen readers (settings_form_access_win.cpp).
  void SetUpAccessKeysAndNames();
  void FocusActivePage();

  ISettingsTarget& target_;
  HWND tabs_ = nullptr;
  std::array<HWND, 4> pages_ = {};
  std::array<TColorBox, kSettingsColorCount> color_boxes_;
  // True while the dialog fills its controls: a control that reports the
  // filled value as a change would only apply the same value again.
  bool filling_ = false;
  // The language box's list is open / closing without a choice.
  bool language_open_ = false;
  bool language_cancelled_ = false;
};

}  // namespace zt
