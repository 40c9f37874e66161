// The settings dialog's decisions, without a window: which controls each tab
// holds, what every control shows when the dialog opens, and what a change
// stores and calls.  The dialog has no OK button: each change is written into
// the live settings and applied to the running program at once.  The view
// (settings_form_win.cpp) only moves values between its controls and these
// functions.  Portable.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "config/config.h"
#include "util/texts.h"

namespace zt {

// What the dialog changes in the running program (the main window and the
// tray-mode hot key).  The Windows build adapts the main window to this.
class ISettingsTarget {
 public:
  virtual ~ISettingsTarget() = default;
  // The main window's current size.
  virtual int WindowWidth() = 0;
  virtual int WindowHeight() = 0;
  // Resizes the main window; answers the size it took.
  virtual int SetWindowWidth(int width) = 0;
  virtual int SetWindowHeight(int height) = 0;
  // The operations of the main window, each applying the setting it names:
  // the model has stored it already, they store nothing.
  virtual void SetDisplayMemory(bool on) = 0;
  virtual void SetTrayMode(bool on, bool startup) = 0;
  virtual void SetHideBarGraph(bool hide) = 0;
  virtual void SetShowMoreResources(bool on) = 0;
  virtual void SetAutoHideControls(bool on) = 0;
  virtual void SetTextColor(Color color) = 0;
  // Window colour, colour key, gauge background, bar, line colours and width
  // from the settings.
  virtual void ApplyColors() = 0;
  // Colour key and alpha blending from the settings.
  virtual void ApplyTranslucency() = 0;
  // Empties graph lines 2 to 4.
  virtual void ClearProcessorLines() = 0;
  virtual void RegisterAppModeHotkey() = 0;
  // The "run when Windows starts" entry of this executable.
  virtual bool IsAutorunEnabled() = 0;
  virtual void SetAutorun(bool enable) = 0;  // raises EAutorun
  // The language changed: every window, shown or hidden, the menu and the
  // tray tip read their texts again.
  virtual void LanguageChanged() = 0;
};

enum class SettingsTab { General, Display, Colors, Extended };

// Check boxes, top to bottom within their tab.
enum class SettingsCheck {
  CheckBox_AutoRun,
  CheckBox_AlwaysOnTop,
  CheckBox_DisplayMemory,
  CheckBox_ShowFreeMemory,
  CheckBox_UsePhysicalMemory,
  CheckBox_MemoryAsPercentage,
  CheckBox_UpdateSpeed,
  CheckBox_DisplayEachCPU,
  CheckBox_TrayMode,
  CheckBox_Transparency,
  CheckBox_AlphaBlending,
  CheckBox_ThickerGraph,
  CheckBox_HideBarGraph,
  CheckBox_AutoHideControls,
  CheckBox_NumericTrayIcons,
  CheckBox_HideTrayWhenVisible,
  CheckBox_LockForm,
  CheckBox_KeepHistory,
  CheckBox_ShowMoreResources,  // last of the Display tab's boxes
};
constexpr int kSettingsCheckCount = 19;

struct SettingsCheckRow {
  SettingsCheck check;
  SettingsTab tab;
  TextId text;                 // its caption, with its access key
  bool separator_after;        // a dividing line follows it
  std::atomic<bool>* setting;  // what it mirrors; none for the autorun box
};
const SettingsCheckRow& CheckRow(SettingsCheck check);

// The colour boxes of the colour tab.
enum class SettingsColor {
  ColorBox_BackgroundColor,
  ColorBox_GraphCPUColor1,
  ColorBox_GraphCPUColor2,
  ColorBox_GraphCPUColor3,
  ColorBox_GraphCPUColor4,
  ColorBox_GraphMemoryColor,
  ColorBox_BarColor,
  ColorBox_TextColor,
};
constexpr int kSettingsColorCount = 8;
std::atomic<Color>& ColorSetting(SettingsColor which);
// What a screen reader reads for a colour box: its label, and for the four
// boxes of the processors' lines, which of them it is ("CPU 1 line color").
std::string ColorBoxName(SettingsColor which);

// The sliders of the extended tab.
enum class SettingsSlider { TrackBar_Rate, TrackBar_GraphLength, TrackBar_AlphaBlending };
struct SliderRange {
  int min;
  int max;
  int tick;  // a tick mark every `tick`
  int line;  // an arrow key moves this far
};
SliderRange SliderRangeOf(SettingsSlider slider);

// The two size fields of the display tab.
enum class SettingsSize { SpinEdit_MainWindowWidth, SpinEdit_MainWindowHeight };
// Four digits: the largest size, 1000, must be typeable.
constexpr int kSizeFieldMaxChars = 4;
struct SizeRange {
  int min;
  int max;
};
SizeRange SizeRangeOf(SettingsSize field);
// The value a size field's text stands for when it is acceptable: not empty,
// all digits, within the range.  Anything else changes nothing.
std::optional<int> SizeFieldValue(const std::u16string& text, SettingsSize field);

// The hot-key field's value (HKM_GETHOTKEY: key in the low byte, the field's
// modifier flags in the high byte) and the two settings it stands for.  The
// field's extended flag only names the key (Home, not keypad 7): it is not
// stored, and the field gets it back where the key needs it.
struct AppHotkey {
  int32_t key = 0;
  int32_t modifiers = 0;  // as RegisterHotKey takes them
};
AppHotkey HotkeyFromField(uint16_t field_value);
// What the field shows for the stored settings: nothing for a combination
// that may not be the system-wide hot key (a typing key read from a
// hand-edited file); a Win bit, which the field cannot show, is left out.
uint16_t HotkeyFieldValue(int32_t key, int32_t modifiers);

// The hot-key field's rules (HKM_SETRULES) for a press of `key`: a typing key
// alone or with Shift alone is no hot key, and the field makes it Ctrl+Alt
// plus the key instead; any other key may stand alone.
struct HotkeyFieldRules {
  uint32_t invalid_combinations = 0;  // HKCOMB_ flags
  uint32_t default_flags = 0;         // the field's modifier flags to add
};
HotkeyFieldRules HotkeyFieldRulesFor(uint32_t key);
// The same rules applied to a value the field holds.
uint16_t RuledHotkeyFieldValue(uint16_t field_value);

// What every control shows when the dialog opens.  Reading changes no
// setting.
struct SettingsView {
  bool checks[kSettingsCheckCount] = {};
  Color colors[kSettingsColorCount] = {};
  int rate = 0;
  int graph_length = 0;
  int alpha = 0;
  uint16_t hotkey = 0;
  int width = 0;
  int height = 0;
  bool check(SettingsCheck c) const { return checks[static_cast<int>(c)]; }
};
SettingsView ReadSettingsView(ISettingsTarget& target);

// A check box was clicked: stores and applies its setting.  Answers the state
// the box must show afterwards: the new state, except for the autorun box,
// which shows what the registry reads back, also when the change failed (then
// with the error's text for the error box).
struct CheckResult {
  bool checked = false;
  std::string error;  // UTF-8; empty when the change went through
};
CheckResult ApplyCheck(SettingsCheck check, bool checked, ISettingsTarget& target);

// A colour box chose a colour.
void ApplyColor(SettingsColor which, Color color, ISettingsTarget& target);

// A slider moved: stores its setting (and applies the alpha value).  Answers
// the value label's text.
std::string ApplySlider(SettingsSlider slider, int position, ISettingsTarget& target);

// A size field's text changed: resizes the main window and stores the size it
// took, when the text is acceptable.  True when something changed.
bool ApplySizeField(SettingsSize field, const std::u16string& text, ISettingsTarget& target);

// The hot-key field changed: stores the key and modifiers, after the field's
// rules; the registration waits until the dialog is hidden.  Answers the value
// the field must show (different only when the rules changed it).
uint16_t ApplyHotkeyField(uint16_t field_value);

// The language drop-down's items, in order: follow the system, Chinese,
// English (each language's name in its own script).
constexpr int kLanguageItemCount = 3;
TextId LanguageItemText(int item);
// The item that shows the stored setting: an unknown value follows the
// system, and so shows as that.
int LanguageItemOf(const std::string& setting);
// An item was chosen: stores the setting, makes its language the current one
// and has every window re-read its texts.  Choosing the item shown already
// changes nothing, so an unknown value stays in the file as written.
void ApplyLanguageItem(int item, ISettingsTarget& target);

// The dialog was hidden: the hot key is registered anew (a refused one leaves
// both settings 0).
void SettingsDialogHidden(ISettingsTarget& target);

}  // namespace zt
