#include "dialogs/settings_model.h"

#include <exception>

#include "util/access_key.h"
#include "util/hotkey.h"
#include "util/texts.h"

namespace zt {
namespace {

// HKM_SETRULES' combinations: no modifier, Shift alone.
constexpr uint32_t kHotkeyCombNone = 0x01;
constexpr uint32_t kHotkeyCombShift = 0x02;
constexpr uint32_t kHotkeyFieldModifierFlags = kHotkeyFlagShift | kHotkeyFlagControl | kHotkeyFlagAlt;

// Each caption carries its access key (Alt and the letter ticks the box),
// unique within its tab with the keys of the tab's labels and groups.  The
// autorun box mirrors the registry, not a setting.
constexpr SettingsCheckRow kCheckRows[kSettingsCheckCount] = {
    {SettingsCheck::CheckBox_AutoRun, SettingsTab::General, TextId::SettingsAutoRun, false, nullptr},
    {SettingsCheck::CheckBox_AlwaysOnTop, SettingsTab::General, TextId::SettingsAlwaysOnTop, true, &AlwaysOnTop},
    {SettingsCheck::CheckBox_DisplayMemory, SettingsTab::General, TextId::SettingsDisplayMemory, false, &DisplayMemory},
    {SettingsCheck::CheckBox_ShowFreeMemory, SettingsTab::General, TextId::SettingsShowFreeMemory, false, &ShowFreeMemory},
    {SettingsCheck::CheckBox_UsePhysicalMemory, SettingsTab::General, TextId::SettingsUsePhysicalMemory, false, &UsePhysicalMemory},
    {SettingsCheck::CheckBox_MemoryAsPercentage, SettingsTab::General, TextId::SettingsMemoryAsPercentage, true, &MemoryAsPercentage},
    {SettingsCheck::CheckBox_UpdateSpeed, SettingsTab::General, TextId::SettingsUpdateSpeed, false, &UpdateSpeed},
    {SettingsCheck::CheckBox_DisplayEachCPU, SettingsTab::General, TextId::SettingsDisplayEachCpu, false, &DisplayEachCPU},
    {SettingsCheck::CheckBox_TrayMode, SettingsTab::General, TextId::SettingsTrayMode, false, &AppTrayMode},
    {SettingsCheck::CheckBox_Transparency, SettingsTab::Display, TextId::SettingsTransparency, false, &Transparency},
    {SettingsCheck::CheckBox_AlphaBlending, SettingsTab::Display, TextId::SettingsAlphaBlending, true, &AlphaBlend},
    {SettingsCheck::CheckBox_ThickerGraph, SettingsTab::Display, TextId::SettingsThickerGraph, false, &ThickerGraph},
    {SettingsCheck::CheckBox_HideBarGraph, SettingsTab::Display, TextId::SettingsHideBarGraph, false, &HideBarGraph},
    {SettingsCheck::CheckBox_AutoHideControls, SettingsTab::Display, TextId::SettingsAutoHideControls, true, &AutoHideControls},
    {SettingsCheck::CheckBox_NumericTrayIcons, SettingsTab::Display, TextId::SettingsNumericTrayIcons, false, &NumericTrayIcons},
    {SettingsCheck::CheckBox_HideTrayWhenVisible, SettingsTab::Display, TextId::SettingsHideTrayWhenVisible, false, &HideTrayWhenVisible},
    {SettingsCheck::CheckBox_LockForm, SettingsTab::Display, TextId::SettingsLockForm, false, &LockForm},
    {SettingsCheck::CheckBox_KeepHistory, SettingsTab::Extended, TextId::SettingsKeepHistory, false, &KeepHistory},
    {SettingsCheck::CheckBox_ShowMoreResources, SettingsTab::Display, TextId::SettingsShowMoreResources, false,
     &ShowMoreResources},
};

constexpr bool CheckRowsInOrder() {
  int i = 0;
  for (const SettingsCheckRow& row : kCheckRows) {
    if (static_cast<int>(row.check) != i++) return false;
  }
  return i == kSettingsCheckCount;
}
static_assert(CheckRowsInOrder(), "one row per check box, in the boxes' order");

// Every box but the autorun box: the setting is stored first, then the
// running program applies it.
bool ApplyStoredCheck(SettingsCheck check, bool checked, ISettingsTarget& target) {
  *CheckRow(check).setting = checked;
  switch (check) {
    case SettingsCheck::CheckBox_DisplayMemory: target.SetDisplayMemory(checked); break;
    case SettingsCheck::CheckBox_DisplayEachCPU:
      if (!checked) target.ClearProcessorLines();
      break;
    case SettingsCheck::CheckBox_TrayMode: target.SetTrayMode(checked, false); break;
    case SettingsCheck::CheckBox_Transparency:
    case SettingsCheck::CheckBox_AlphaBlending: target.ApplyTranslucency(); break;
    case SettingsCheck::CheckBox_ThickerGraph: target.ApplyColors(); break;
    case SettingsCheck::CheckBox_HideBarGraph: target.SetHideBarGraph(checked); break;
    case SettingsCheck::CheckBox_AutoHideControls: target.SetAutoHideControls(checked); break;
    case SettingsCheck::CheckBox_HideTrayWhenVisible: target.SetTrayMode(AppTrayMode, false); break;
    case SettingsCheck::CheckBox_ShowMoreResources: target.SetShowMoreResources(checked); break;
    default:
      // Read where they are used: at the next start, the next sample, the
      // next tray update, the next drag or the next finished minute.
      break;
  }
  return checked;
}

}  // namespace

const SettingsCheckRow& CheckRow(SettingsCheck check) { return kCheckRows[static_cast<int>(check)]; }

std::string ColorBoxName(SettingsColor which) {
  switch (which) {
    case SettingsColor::ColorBox_BackgroundColor: return WithoutAccessKey(Text(TextId::SettingsBackgroundColor));
    case SettingsColor::ColorBox_GraphCPUColor1: return Format(TextId::SettingsCpuLineColor, {"1"});
    case SettingsColor::ColorBox_GraphCPUColor2: return Format(TextId::SettingsCpuLineColor, {"2"});
    case SettingsColor::ColorBox_GraphCPUColor3: return Format(TextId::SettingsCpuLineColor, {"3"});
    case SettingsColor::ColorBox_GraphCPUColor4: return Format(TextId::SettingsCpuLineColor, {"4"});
    case SettingsColor::ColorBox_GraphMemoryColor: return WithoutAccessKey(Text(TextId::SettingsMemoryColor));
    case SettingsColor::ColorBox_BarColor: return WithoutAccessKey(Text(TextId::SettingsBarColor));
    case SettingsColor::ColorBox_TextColor: return WithoutAccessKey(Text(TextId::SettingsTextColor));
  }
  return std::string();
}

std::atomic<Color>& ColorSetting(SettingsColor which) {
  switch (which) {
    case SettingsColor::ColorBox_BackgroundColor: return BackgroundColor;
    case SettingsColor::ColorBox_GraphCPUColor1: return GraphCPUColor1;
    case SettingsColor::ColorBox_GraphCPUColor2: return GraphCPUColor2;
    case SettingsColor::ColorBox_GraphCPUColor3: return GraphCPUColor3;
    case SettingsColor::ColorBox_GraphCPUColor4: return GraphCPUColor4;
    case SettingsColor::ColorBox_GraphMemoryColor: return GraphMemoryColor;
    case SettingsColor::ColorBox_BarColor: return BarColor;
    case SettingsColor::ColorBox_TextColor: return TextColor;
  }
  return TextColor;
}

SliderRange SliderRangeOf(SettingsSlider slider) {
  switch (slider) {
    case SettingsSlider::TrackBar_Rate: return {100, 2000, 50, 10};
    case SettingsSlider::TrackBar_GraphLength: return {10, 100, 5, 1};
    case SettingsSlider::TrackBar_AlphaBlending: return {50, 255, 16, 1};
  }
  return {0, 0, 1, 1};
}

SizeRange SizeRangeOf(SettingsSize field) {
  return field == SettingsSize::SpinEdit_MainWindowWidth ? SizeRange{170, 1000} : SizeRange{70, 1000};
}

std::optional<int> SizeFieldValue(const std::u16string& text, SettingsSize field) {
  // The up-down control writes up to four digits; anything longer is not a
  // size (and would not fit an int).
  if (text.empty() || text.size() > 4) return std::nullopt;
  int value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  const SizeRange range = SizeRangeOf(field);
  if (value < range.min || value > range.max) return std::nullopt;
  return value;
}

AppHotkey HotkeyFromField(uint16_t field_value) {
  const uint16_t key = field_value & 0xFF;
  const uint32_t flags = (field_value >> 8) & kHotkeyFieldModifierFlags;
  const uint16_t shortcut = MakeShortCut(key, flags & kHotkeyFlagShift, flags & kHotkeyFlagControl,
                                         flags & kHotkeyFlagAlt);
  AppHotkey hotkey;
  hotkey.key = ShortCutToKeyCode(shortcut);
  // A field without a key has no hot key, whatever modifiers it shows.
  hotkey.modifiers = hotkey.key ? static_cast<int32_t>(HotkeyFlagsToModifiers(flags)) : 0;
  return hotkey;
}

uint16_t HotkeyFieldValue(int32_t key, int32_t modifiers) {
  if (key <= 0 || key > 0xFF) return 0;
  if (!IsAllowedGlobalHotkey(static_cast<uint32_t>(key), static_cast<uint32_t>(modifiers))) return 0;
  uint32_t flags = ModifiersToHotkeyFlags(static_cast<uint32_t>(modifiers)) & kHotkeyFieldModifierFlags;
  if (IsExtendedKey(static_cast<uint32_t>(key))) flags |= kHotkeyFlagExt;
  return static_cast<uint16_t>(key | (flags << 8));
}

HotkeyFieldRules HotkeyFieldRulesFor(uint32_t key) {
  if (!IsTypingKey(key)) return {};
  return {kHotkeyCombNone | kHotkeyCombShift, kHotkeyFlagControl | kHotkeyFlagAlt};
}

uint16_t RuledHotkeyFieldValue(uint16_t field_value) {
  const uint32_t key = field_value & 0xFFu;
  const uint32_t flags = (field_value >> 8) & 0xFFu;
  const HotkeyFieldRules rules = HotkeyFieldRulesFor(key);
  if (key == 0 || (flags & (kHotkeyFlagControl | kHotkeyFlagAlt)) != 0 || rules.invalid_combinations == 0) {
    return field_value;
  }
  return static_cast<uint16_t>(key | ((flags | rules.default_flags) << 8));
}

SettingsView ReadSettingsView(ISettingsTarget& target) {
  SettingsView view;
  for (const SettingsCheckRow& row : kCheckRows) {
    view.checks[static_cast<int>(row.check)] = row.setting ? row.setting->load() : target.IsAutorunEnabled();
  }
  for (int i = 0; i < kSettingsColorCount; ++i) view.colors[i] = ColorSetting(static_cast<SettingsColor>(i));
  view.rate = Rate;
  view.graph_length = GraphLength;
  view.alpha = AlphaBlendValue;
  view.hotkey = HotkeyFieldValue(AppModeHotkey, AppModeHotkeyModifiers);
  view.width = target.WindowWidth();
  view.height = target.WindowHeight();
  return view;
}

CheckResult ApplyCheck(SettingsCheck check, bool checked, ISettingsTarget& target) {
  if (check == SettingsCheck::CheckBox_AutoRun) {
    CheckResult result;
    try {
      target.SetAutorun(checked);
    } catch (const std::exception& e) {
      result.error = e.what();
    }
    // The box never claims a state that is not true: a change the registry
    // refused, or a delete that did not happen, shows as it really is.
    result.checked = target.IsAutorunEnabled();
    return result;
  }
  return {ApplyStoredCheck(check, checked, target), std::string()};
}

void ApplyColor(SettingsColor which, Color color, ISettingsTarget& target) {
  ColorSetting(which) = color;
  switch (which) {
    case SettingsColor::ColorBox_BackgroundColor:
      // The window colour is also the transparent colour key.
      target.ApplyColors();
      target.ApplyTranslucency();
      break;
    case SettingsColor::ColorBox_TextColor:
      target.SetTextColor(color);
      break;
    default:
      target.ApplyColors();
      break;
  }
}

std::string ApplySlider(SettingsSlider slider, int position, ISettingsTarget& target) {
  const SliderRange range = SliderRangeOf(slider);
  if (position < range.min) position = range.min;
  if (position > range.max) position = range.max;
  switch (slider) {
    case SettingsSlider::TrackBar_Rate:
      Rate = static_cast<uint16_t>(position);
      break;
    case SettingsSlider::TrackBar_GraphLength:
      GraphLength = static_cast<uint16_t>(position);
      break;
    case SettingsSlider::TrackBar_AlphaBlending:
      AlphaBlendValue = static_cast<uint8_t>(position);
      target.ApplyTranslucency();
      break;
  }
  return std::to_string(position);
}

bool ApplySizeField(SettingsSize field, const std::u16string& text, ISettingsTarget& target) {
  const std::optional<int> value = SizeFieldValue(text, field);
  if (!value) return false;
  if (field == SettingsSize::SpinEdit_MainWindowWidth) {
    PosWidth = target.SetWindowWidth(*value);
  } else {
    PosHeight = target.SetWindowHeight(*value);
  }
  return true;
}

uint16_t ApplyHotkeyField(uint16_t field_value) {
  const uint16_t ruled = RuledHotkeyFieldValue(field_value);
  const AppHotkey hotkey = HotkeyFromField(ruled);
  AppModeHotkey = hotkey.key;
  AppModeHotkeyModifiers = hotkey.modifiers;
  NoteHotkeyPicked();
  return ruled;
}

void SettingsDialogHidden(ISettingsTarget& target) { target.RegisterAppModeHotkey(); }

TextId LanguageItemText(int item) {
  switch (item) {
    case 1: return TextId::SettingsLanguageChinese;
    case 2: return TextId::SettingsLanguageEnglish;
    default: return TextId::SettingsLanguageSystem;
  }
}

int LanguageItemOf(const std::string& setting) {
  if (setting == kLanguageSettingChinese) return 1;
  if (setting == kLanguageSettingEnglish) return 2;
  return 0;
}

void ApplyLanguageItem(int item, ISettingsTarget& target) {
  if (item < 0 || item >= kLanguageItemCount || item == LanguageItemOf(LanguageSetting())) return;
  const Language before = CurrentLanguage();
  SetLanguageSetting(item == 1 ? kLanguageSettingChinese : item == 2 ? kLanguageSettingEnglish : "");
  if (CurrentLanguage() != before) target.LanguageChanged();
}

}  // namespace zt
