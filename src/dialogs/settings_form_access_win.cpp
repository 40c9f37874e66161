// The settings dialog's access keys, its focus, and what screen readers
// read of the controls that show no text of their own.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dialogs/settings_form_win.h"
#include "util/access_key.h"
#include "util/accessible_win.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

// The text a control shows, without its access key.
std::wstring PlainText(HWND control) { return Widen(WithoutAccessKey(Narrow(ControlText(control)))); }

// The group box around `control` on its page.
HWND GroupAround(HWND control) {
  RECT c;
  GetWindowRect(control, &c);
  for (HWND h = GetWindow(GetParent(control), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    RECT g;
    if (h == control || !IsOfClass(h, WC_BUTTONW) || (GetWindowLongPtrW(h, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX ||
        !GetWindowRect(h, &g))
      continue;
    if (g.left <= c.left && c.right <= g.right && g.top <= c.top && c.bottom <= g.bottom) return h;
  }
  return nullptr;
}

}  // namespace

void TForm_Settings::SetUpAccessKeysAndNames() {
  for (int tab = 0; tab < static_cast<int>(pages_.size()); ++tab) {
    HWND page = pages_[static_cast<size_t>(tab)];
    // The page reads as a pane named after its tab.  (The labels, groups
    // and boxes carry their access keys in their texts.)
    SetControlText(page, TabCaption(tabs_, tab));
  }

  AccessibleOverride tabs;
  tabs.name = [this] { return TabCaption(tabs_, TabCtrl_GetCurSel(tabs_)); };
  SetAccessibleOverride(tabs_, std::move(tabs));
  // A colour box would read as the colour it shows, and four of them share
  // one label.
  for (int i = 0; i < kSettingsColorCount; ++i) {
    SetAccessibleName(color_boxes_[static_cast<size_t>(i)].hwnd(), Widen(ColorBoxName(static_cast<SettingsColor>(i))));
  }
  // A slider reads as its group, its value label with the group too (two
  // sliders may stand at the same number).
  for (int i = 0; i < 3; ++i) {
    HWND slider = Control(kIdSliderFirst + i);
    HWND group = slider ? GroupAround(slider) : nullptr;
    if (!group) continue;
    const std::wstring name = PlainText(group);
    SetAccessibleName(slider, name);
    if (HWND value = Control(kIdSliderLabelFirst + i)) {
      AccessibleOverride figure;
      figure.name = [name, value] { return name + L" " + ControlText(value); };
      SetAccessibleOverride(value, std::move(figure));
    }
  }
  // The hot-key field, the language box and the arrows beside the size
  // fields read as the label on their row.
  for (HWND field :
       {Control(kIdHotkeyField), Control(kIdLanguage), Control(kIdSizeFirst), Control(kIdSizeFirst + 1)}) {
    HWND label = field ? LabelLeftOf(field) : nullptr;
    if (!label) continue;
    if (field == Control(kIdHotkeyField) || field == Control(kIdLanguage)) {
      SetAccessibleName(field, PlainText(label));
    } else {
      const int i = GetDlgCtrlID(field) - kIdSizeFirst;
      SetAccessibleName(Control(kIdSizeSpinFirst + i), PlainText(label));
    }
  }
}

void TForm_Settings::FocusActivePage() {
  const int tab = TabCtrl_GetCurSel(tabs_);
  if (tab >= 0 && tab < static_cast<int>(pages_.size())) FocusFirstControlOf(pages_[static_cast<size_t>(tab)]);
}

}  // namespace zt
