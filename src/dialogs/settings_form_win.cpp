#include "dialogs/settings_form_win.h"

#include <commctrl.h>

#include "util/message_box_win.h"
#include "util/unicode_win.h"
#include "util/window_messages.h"

namespace zt {
namespace {

// Layout in design units (util/dpi.h).
constexpr int kClientWidth = 322;
constexpr int kClientHeight = 420;
constexpr int kTabWidth = 75;
constexpr int kTabHeight = 20;

constexpr TextId kTabCaptions[4] = {TextId::SettingsTabGeneral, TextId::SettingsTabDisplay,
                                    TextId::SettingsTabColors, TextId::SettingsTabExtended};

constexpr int kCheckHeight = 17;
constexpr int kCheckStep = 20;
constexpr int kSizeFieldWidth = 64;  // the number field with its arrows
constexpr int kSizeFieldHeight = 21;
constexpr int kArrowsWidth = 16;
constexpr int kArrowsOverlap = 2;   // the arrows cover the field's right border
constexpr int kThumbLength = 21;    // a slider's thumb, across its track

int Index(SettingsCheck c) { return static_cast<int>(c); }

}  // namespace

bool TForm_Settings::Create(HINSTANCE instance, HWND main_window) {
  FormOptions options;
  MakeOrdinaryWindow(options, main_window);
  options.charset_follows_language = true;
  options.class_name = kSettingsWindowClass;
  options.caption_text = TextId::SettingsCaption;
  options.client_width = kClientWidth;
  options.client_height = kClientHeight;
  return TForm::Create(instance, options);
}

HWND TForm_Settings::Control(int id) const {
  // The controls sit on the tab pages, one level down; ids are unique.
  if (HWND direct = GetDlgItem(hwnd(), id)) return direct;
  for (HWND page : pages_) {
    if (HWND child = page ? GetDlgItem(page, id) : nullptr) return child;
  }
  return nullptr;
}

void TForm_Settings::FormCreate() {
  tabs_ = AddControl(WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPSIBLINGS | TCS_FIXEDWIDTH, 8, 8,
                     kClientWidth - 16, kClientHeight - 44, kIdSettingsTabs);
  SendMessageW(tabs_, TCM_SETITEMSIZE, 0, MAKELPARAM(Scale(kTabWidth), Scale(kTabHeight)));
  for (TextId caption : kTabCaptions) AddTab(tabs_, Widen(Text(caption)));
  for (int i = 0; i < 4; ++i) pages_[static_cast<size_t>(i)] = AddTabPage(tabs_);
  CreateGeneralPage(pages_[0]);
  CreateDisplayPage(pages_[1]);
  CreateColorsPage(pages_[2]);
  CreateExtendedPage(pages_[3]);

  // The line at the foot, centred and underlined.
  FontDesign underlined;
  underlined.underline = true;
  underlined.charset = LanguageCharset();
  const int hint_font = AddFont(underlined);
  HWND hint = AddLabel(TextId::SettingsHint, 0, kClientHeight - 28, kClientWidth, 16, nullptr, kIdSettingsHint, SS_CENTER);
  SendMessageW(hint, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(hint_font)), FALSE);

  // The first tab is the one shown.
  ShowPage(0);
  SetUpAccessKeysAndNames();
}

HWND TForm_Settings::AddCheck(SettingsCheck check, HWND page, int x, int& y) {
  const SettingsCheckRow& row = CheckRow(check);
  HWND box = AddCheckBox(row.text, x, y, 270 - (x - 12), kCheckHeight, kIdCheckFirst + Index(check), page);
  y += kCheckStep;
  if (row.separator_after) {
    AddSeparator(12, y + 3, 270, page);
    y += 10;
  }
  return box;
}

int TForm_Settings::AddTabChecks(SettingsTab tab, HWND page) {
  // The tab's check boxes in their order; the tray-mode box sits in its
  // group below them.
  int y = 10;
  for (int i = 0; i < kSettingsCheckCount; ++i) {
    const auto check = static_cast<SettingsCheck>(i);
    if (CheckRow(check).tab == tab && check != SettingsCheck::CheckBox_TrayMode) AddCheck(check, page, 12, y);
  }
  return y + 8;
}

void TForm_Settings::CreateGeneralPage(HWND page) {
  const int y = AddTabChecks(SettingsTab::General, page);
  AddGroupBox(TextId::SettingsAppMode, 8, y, 278, 84, page);
  int inner = y + 22;
  AddCheck(SettingsCheck::CheckBox_TrayMode, page, 22, inner);
  AddLabel(TextId::SettingsHotkey, 22, inner + 10, 90, 16, page);
  AddControl(HOTKEY_CLASSW, L"", WS_TABSTOP | WS_BORDER, 112, inner + 6, 160, 21, kIdHotkeyField, page);
  // Below the group, lined up with the hot-key field.
  const int language = y + 84 + 12;
  AddLabel(TextId::SettingsLanguage, 12, language + 4, 98, 16, page);
  HWND combo = AddControl(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 112, language, 160, 120,
                          kIdLanguage, page);
  for (int i = 0; i < kLanguageItemCount; ++i) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(Text(LanguageItemText(i))).c_str()));
  }
}

void TForm_Settings::CreateDisplayPage(HWND page) {
  const int y = AddTabChecks(SettingsTab::Display, page);
  AddGroupBox(TextId::SettingsWindowSize, 8, y, 278, 84, page);
  AddSizeField(SettingsSize::SpinEdit_MainWindowWidth, TextId::SettingsWidth, page, y + 22);
  AddSizeField(SettingsSize::SpinEdit_MainWindowHeight, TextId::SettingsHeight, page, y + 50);
}

void TForm_Settings::AddSizeField(SettingsSize field, TextId label, HWND page, int y) {
  const int i = static_cast<int>(field);
  const SizeRange range = SizeRangeOf(field);
  AddLabel(label, 22, y + 3, 60, 16, page);
  HWND edit = AddControl(WC_EDITW, L"", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 84, y, kSizeFieldWidth,
                         kSizeFieldHeight, kIdSizeFirst + i, page, WS_EX_CLIENTEDGE);
  SendMessageW(edit, EM_LIMITTEXT, kSizeFieldMaxChars, 0);
  // The arrows take their place at the field's right end (FormLayout).
  HWND spin = AddControl(UPDOWN_CLASSW, L"", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0,
                         0, kArrowsWidth, kSizeFieldHeight, kIdSizeSpinFirst + i, page);
  SendMessageW(spin, UDM_SETRANGE32, range.min, range.max);
  AddLabel(L"(" + std::to_wstring(range.min) + L" - " + std::to_wstring(range.max) + L")", 160, y + 3, 110, 16,
           page);
}

void TForm_Settings::CreateColorsPage(HWND page) {
  struct Row {
    TextId label;  // Count: none (the box belongs to the group above)
    SettingsColor color;
  };
  const Row rows[] = {{TextId::SettingsBackgroundColor, SettingsColor::ColorBox_BackgroundColor},
                      {TextId::SettingsCpuColor, SettingsColor::ColorBox_GraphCPUColor1},
                      {TextId::Count, SettingsColor::ColorBox_GraphCPUColor2},
                      {TextId::Count, SettingsColor::ColorBox_GraphCPUColor3},
                      {TextId::Count, SettingsColor::ColorBox_GraphCPUColor4},
                      {TextId::SettingsMemoryColor, SettingsColor::ColorBox_GraphMemoryColor},
                      {TextId::SettingsBarColor, SettingsColor::ColorBox_BarColor},
                      {TextId::SettingsTextColor, SettingsColor::ColorBox_TextColor}};
  int y = 10;
  for (const Row& row : rows) {
    if (row.label != TextId::Count) {
      if (y > 10) y += 8;  // a little air between the groups of boxes
      AddLabel(row.label, 12, y + 4, 104, 16, page);
    }
    const int i = static_cast<int>(row.color);
    HWND combo = AddControl(WC_COMBOBOXW, L"",
                            CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP,
                            118, y, 166, 320, kIdColorFirst + i, page);
    color_boxes_[static_cast<size_t>(i)].Attach(combo, Scale(kColorItemHeight));
    y += 28;
  }
}

void TForm_Settings::AddSlider(SettingsSlider slider, TextId group, TextId unit, HWND page, int y) {
  const int i = static_cast<int>(slider);
  const SliderRange range = SliderRangeOf(slider);
  AddGroupBox(group, 8, y, 278, 96, page);
  HWND bar = AddControl(TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM | WS_TABSTOP, 16, y + 20,
                        262, 32, kIdSliderFirst + i, page);
  SendMessageW(bar, TBM_SETRANGEMIN, FALSE, range.min);
  SendMessageW(bar, TBM_SETRANGEMAX, FALSE, range.max);
  SendMessageW(bar, TBM_SETTICFREQ, range.tick, 0);
  SendMessageW(bar, TBM_SETLINESIZE, 0, range.line);
  SendMessageW(bar, TBM_SETPAGESIZE, 0, range.tick);
  AddLabel(L"", 22, y + 62, 100, 16, page, kIdSliderLabelFirst + i);
  AddLabel(unit, 170, y + 62, 104, 16, page, -1, SS_RIGHT);
}

void TForm_Settings::CreateExtendedPage(HWND page) {
  AddSlider(SettingsSlider::TrackBar_Rate, TextId::SettingsRate, TextId::SettingsRateUnit, page, 6);
  AddSlider(SettingsSlider::TrackBar_GraphLength, TextId::SettingsGraphLength, TextId::SettingsGraphLengthUnit, page,
            110);
  AddSlider(SettingsSlider::TrackBar_AlphaBlending, TextId::SettingsAlpha, TextId::SettingsAlphaUnit, page, 214);
  int y = 320;
  AddCheck(SettingsCheck::CheckBox_KeepHistory, page, 12, y);
}

void TForm_Settings::FormLayout(int previous_dpi) {
  SendMessageW(tabs_, TCM_SETITEMSIZE, 0, MAKELPARAM(Scale(kTabWidth), Scale(kTabHeight)));
  // The boxes measured their entries when they were made.
  if (previous_dpi != dpi()) {
    for (TColorBox& box : color_boxes_) box.SetItemHeight(Scale(kColorItemHeight));
  }
  // A slider that keeps its thumb at one size at every dpi is given one
  // that grows with the slider.
  for (int i = 0; i < 3; ++i) {
    HWND bar = Control(kIdSliderFirst + i);
    if (SendMessageW(bar, TBM_GETTHUMBLENGTH, 0, 0) == Scale(kThumbLength)) continue;
    SetWindowLongPtrW(bar, GWL_STYLE, GetWindowLongPtrW(bar, GWL_STYLE) | TBS_FIXEDLENGTH);
    SendMessageW(bar, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(Scale(kThumbLength)), 0);
  }
  // Each number field is back at its full width: its arrows take their
  // part of it again.  Arrows that keep the system's width at every dpi get
  // theirs, as much of the field as at 96 dpi.
  for (int i = 0; i < 2; ++i) {
    HWND edit = Control(kIdSizeFirst + i), spin = Control(kIdSizeSpinFirst + i);
    RECT full;
    GetWindowRect(edit, &full);
    MapWindowPoints(nullptr, GetParent(edit), reinterpret_cast<POINT*>(&full), 2);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    RECT arrows;
    GetWindowRect(spin, &arrows);
    const int width = Scale(kArrowsWidth);
    if (arrows.right - arrows.left == width) continue;
    const int field_right = full.right - width;
    SetWindowPos(edit, nullptr, 0, 0, field_right - full.left, full.bottom - full.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(spin, nullptr, field_right - Scale(kArrowsOverlap), full.top, width, full.bottom - full.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TForm_Settings::ShowPage(int index) {
  TabCtrl_SetCurSel(tabs_, index);
  for (int i = 0; i < 4; ++i) {
    ShowWindow(pages_[static_cast<size_t>(i)], i == index ? SW_SHOW : SW_HIDE);
  }
}

void TForm_Settings::FormShow() {
  const SettingsView v = ReadSettingsView(target_);
  filling_ = true;
  auto check = [&](SettingsCheck c) { SetChecked(Control(kIdCheckFirst + Index(c)), v.check(c)); };
  auto color = [&](SettingsColor c) {
    color_boxes_[static_cast<size_t>(c)].SetColor(v.colors[static_cast<int>(c)]);
  };
  auto slider = [&](SettingsSlider s, int position) {
    const int i = static_cast<int>(s);
    SendMessageW(Control(kIdSliderFirst + i), TBM_SETPOS, TRUE, position);
    SetControlText(Control(kIdSliderLabelFirst + i), std::to_wstring(position));
  };
  // In the order the program has always filled them.
  color(SettingsColor::ColorBox_BackgroundColor);
  check(SettingsCheck::CheckBox_AlphaBlending);
  slider(SettingsSlider::TrackBar_AlphaBlending, v.alpha);
  slider(SettingsSlider::TrackBar_Rate, v.rate);
  check(SettingsCheck::CheckBox_Transparency);
  slider(SettingsSlider::TrackBar_GraphLength, v.graph_length);
  for (SettingsColor c : {SettingsColor::ColorBox_GraphCPUColor1, SettingsColor::ColorBox_GraphCPUColor2, SettingsColor::ColorBox_GraphCPUColor3,
                          SettingsColor::ColorBox_GraphCPUColor4, SettingsColor::ColorBox_GraphMemoryColor, SettingsColor::ColorBox_BarColor,
                          SettingsColor::ColorBox_TextColor}) {
    color(c);
  }
  for (SettingsCheck c : {SettingsCheck::CheckBox_ThickerGraph, SettingsCheck::CheckBox_LockForm, SettingsCheck::CheckBox_UpdateSpeed,
                          SettingsCheck::CheckBox_DisplayMemory, SettingsCheck::CheckBox_HideBarGraph, SettingsCheck::CheckBox_NumericTrayIcons,
                          SettingsCheck::CheckBox_ShowFreeMemory, SettingsCheck::CheckBox_UsePhysicalMemory,
                          SettingsCheck::CheckBox_MemoryAsPercentage, SettingsCheck::CheckBox_DisplayEachCPU, SettingsCheck::CheckBox_AutoRun}) {
    check(c);
  }
  SendMessageW(Control(kIdHotkeyField), HKM_SETHOTKEY, v.hotkey, 0);
  SendMessageW(Control(kIdLanguage), CB_SETCURSEL, static_cast<WPARAM>(LanguageItemOf(LanguageSetting())), 0);
  SendMessageW(Control(kIdSizeSpinFirst), UDM_SETPOS32, 0, v.width);
  SendMessageW(Control(kIdSizeSpinFirst + 1), UDM_SETPOS32, 0, v.height);
  SetControlText(Control(kIdSizeFirst), std::to_wstring(v.width));
  SetControlText(Control(kIdSizeFirst + 1), std::to_wstring(v.height));
  for (SettingsCheck c : {SettingsCheck::CheckBox_AlwaysOnTop, SettingsCheck::CheckBox_TrayMode, SettingsCheck::CheckBox_HideTrayWhenVisible,
                          SettingsCheck::CheckBox_AutoHideControls, SettingsCheck::CheckBox_KeepHistory,
                          SettingsCheck::CheckBox_ShowMoreResources}) {
    check(c);
  }
  filling_ = false;
  FocusActivePage();
}

void TForm_Settings::FormHide() { SettingsDialogHidden(target_); }

bool TForm_Settings::FormKeyPreview(const MSG& msg) {
  const bool key_down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  // Ctrl+Tab and Ctrl+Shift+Tab walk through the tabs, as in the system's
  // own property sheets.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
    const int count = TabCtrl_GetItemCount(tabs_);
    const int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
    ShowPage((TabCtrl_GetCurSel(tabs_) + step) % count);
    FocusActivePage();
    return true;
  }
  // The hot-key field gets the rules for the key about to reach it, so that
  // a typing key becomes Ctrl+Alt plus the key while a function key may
  // stand alone (the field's rules cannot tell keys apart by themselves).
  if (key_down && msg.hwnd == Control(kIdHotkeyField)) {
    const HotkeyFieldRules rules = HotkeyFieldRulesFor(static_cast<uint32_t>(msg.wParam));
    SendMessageW(msg.hwnd, HKM_SETRULES, rules.invalid_combinations, MAKELPARAM(rules.default_flags, 0));
  }
  // Enter on a closed colour or language box takes the entry it shows (an
  // open list takes it itself as it closes).
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
    HWND language = Control(kIdLanguage);
    if (msg.hwnd == language && !SendMessageW(language, CB_GETDROPPEDSTATE, 0, 0)) {
      LanguageChosen();
      return true;
    }
    for (int i = 0; i < kSettingsColorCount; ++i) {
      HWND box = color_boxes_[static_cast<size_t>(i)].hwnd();
      if (box && msg.hwnd == box && !SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0)) {
        ColorBoxEnter(static_cast<SettingsColor>(i));
        return true;
      }
    }
  }
  return TForm::FormKeyPreview(msg);
}

LRESULT TForm_Settings::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lparam);
      if (hdr->hwndFrom == tabs_ && hdr->code == TCN_SELCHANGE) PageControlChange();
      return 0;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      if (filling_) return 0;
      if (id >= kIdCheckFirst && id < kIdCheckFirst + kSettingsCheckCount && code == BN_CLICKED) {
        CheckBoxClick(static_cast<SettingsCheck>(id - kIdCheckFirst));
      } else if (id >= kIdColorFirst && id < kIdColorFirst + kSettingsColorCount) {
        ColorBoxNotify(static_cast<SettingsColor>(id - kIdColorFirst), code);
      } else if (id >= kIdSizeFirst && id < kIdSizeFirst + 2 && code == EN_CHANGE) {
        SpinEditChange(static_cast<SettingsSize>(id - kIdSizeFirst));
      } else if (id == kIdHotkeyField && code == EN_CHANGE) {
        HotKeyChange();
      } else if (id == kIdLanguage) {
        LanguageBoxNotify(code);
      }
      return 0;
    }
    case WM_LANGUAGECHOSEN: LanguageChange(); return 0;
    case WM_HSCROLL: if (lparam && !filling_) TrackBarChange(reinterpret_cast<HWND>(lparam)); return 0;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = static_cast<UINT>(Scale(kColorItemHeight));
      return TRUE;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      const int i = static_cast<int>(item.CtlID) - kIdColorFirst;
      if (i >= 0 && i < kSettingsColorCount) color_boxes_[static_cast<size_t>(i)].DrawItem(item);
      return TRUE;
    }
    default: return Default(msg, wparam, lparam);
  }
}

void TForm_Settings::PageControlChange() {
  ShowPage(TabCtrl_GetCurSel(tabs_));
  // A click on a tab would leave the focus in the page just hidden; the
  // arrow keys on the tab control itself keep it there.
  if (GetFocus() != tabs_ || GetKeyState(VK_LBUTTON) < 0) FocusActivePage();
}

void TForm_Settings::CheckBoxClick(SettingsCheck check) {
  HWND box = Control(kIdCheckFirst + Index(check));
  const CheckResult result = ApplyCheck(check, IsChecked(box), target_);
  if (!result.error.empty()) ShowMessageBox(hwnd(), BoxKind::Error, result.error, BoxButtons::Ok);
  // Set without running this handler again (a set check mark sends nothing).
  SetChecked(box, result.checked);
}

void TForm_Settings::ColorBoxNotify(SettingsColor which, int code) {
  // A moved selection (CBN_SELCHANGE) is only a candidate: the colour is
  // taken when the list closes on it or Enter is pressed.
  TColorBox& box = color_boxes_[static_cast<size_t>(which)];
  switch (code) {
    case CBN_SELENDOK: box.ListAccepted(); break;
    case CBN_SELENDCANCEL: box.ListCancelled(); break;
    case CBN_KILLFOCUS: box.FocusLost(); break;
    case CBN_CLOSEUP:
      if (box.ListClosed(hwnd())) ApplyColor(which, box.color(), target_);
      break;
    default: break;
  }
}

void TForm_Settings::ColorBoxEnter(SettingsColor which) {
  TColorBox& box = color_boxes_[static_cast<size_t>(which)];
  if (box.EnterPressed(hwnd())) ApplyColor(which, box.color(), target_);
}

void TForm_Settings::TrackBarChange(HWND trackbar) {
  const int i = GetDlgCtrlID(trackbar) - kIdSliderFirst;
  if (i < 0 || i > 2) return;
  const int position = static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
  const std::string label = ApplySlider(static_cast<SettingsSlider>(i), position, target_);
  SetControlText(Control(kIdSliderLabelFirst + i), Widen(label));
}

void TForm_Settings::SpinEditChange(SettingsSize field) {
  const std::wstring text = ControlText(Control(kIdSizeFirst + static_cast<int>(field)));
  ApplySizeField(field, std::u16string(text.begin(), text.end()), target_);
}

void TForm_Settings::LanguageBoxNotify(int code) {
  // As in the colour boxes, an item the keyboard or the open list passes
  // over is only shown; the language changes once the user has settled on
  // one: the list closes on it, Enter is pressed, or the focus leaves the
  // box showing it.  On a closed list the arrow keys send CBN_SELCHANGE
  // alone on some systems and CBN_SELENDOK too on others, so neither takes
  // an item by itself; the CBN_SELENDCANCEL the box sends as the focus
  // leaves only cancels an open list.
  HWND box = Control(kIdLanguage);
  switch (code) {
    case CBN_DROPDOWN:
      language_open_ = true;
      language_cancelled_ = false;
      break;
    case CBN_SELENDCANCEL:
      if (!language_open_) break;
      language_cancelled_ = true;
      SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(LanguageItemOf(LanguageSetting())), 0);
      break;
    case CBN_CLOSEUP:
      if (!language_cancelled_) LanguageChosen();
      language_open_ = language_cancelled_ = false;
      break;
    case CBN_KILLFOCUS: LanguageChosen(); break;
    case CBN_SELCHANGE:
      // The wheel turns a box the focus is not in: nothing else would take
      // the item it shows.
      if (GetFocus() != box && !language_open_) LanguageChosen();
      break;
    default: break;
  }
}

void TForm_Settings::LanguageChosen() {
  const auto item = static_cast<int>(SendMessageW(Control(kIdLanguage), CB_GETCURSEL, 0, 0));
  if (item != LanguageItemOf(LanguageSetting())) PostMessageW(hwnd(), WM_LANGUAGECHOSEN, 0, 0);
}

void TForm_Settings::LanguageChange() {
  const auto item = static_cast<int>(SendMessageW(Control(kIdLanguage), CB_GETCURSEL, 0, 0));
  // Every window, this one too, reads its texts again before this returns.
  ApplyLanguageItem(item, target_);
}

void TForm_Settings::FormRetext() {
  for (int i = 0; i < 4; ++i) SetTabCaption(tabs_, i, Widen(Text(kTabCaptions[i])));
  HWND combo = Control(kIdLanguage);
  const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  for (int i = 0; i < kLanguageItemCount; ++i) {
    SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
    SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(Widen(Text(LanguageItemText(i))).c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  for (TColorBox& box : color_boxes_) box.Retext();
  SetUpAccessKeysAndNames();
}

void TForm_Settings::HotKeyChange() {
  HWND field = Control(kIdHotkeyField);
  const auto value = static_cast<uint16_t>(SendMessageW(field, HKM_GETHOTKEY, 0, 0));
  // A value that reached the field past its rules is shown as it is stored.
  const uint16_t shown = ApplyHotkeyField(value);
  if (shown != value) SendMessageW(field, HKM_SETHOTKEY, shown, 0);
}

}  // namespace zt
