// A colour box: a drop-down list of the named colours (color_list.h), each
// drawn as a swatch beside its name, and a last entry that opens the system's
// colour chooser.  The list's text is the chosen colour's name, so screen
// readers and tests read it with WM_GETTEXT.
#pragma once

#include <windows.h>

#include "config/config.h"

namespace zt {

class TColorBox {
 public:
  // Fills a combo box made with CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
  // CBS_HASSTRINGS.
  void Attach(HWND combo);
  HWND hwnd() const { return combo_; }

  // Shows `color`: its named entry, or the custom entry holding it.
  void SetColor(Color color);
  Color color() const { return color_; }

  // CBN_SELCHANGE: the colour now chosen.  On the custom entry the system's
  // colour chooser opens first; cancelling it goes back to the colour before.
  // True when the colour changed.
  bool SelectionChanged(HWND owner);

  // WM_MEASUREITEM / WM_DRAWITEM for this box.
  static void MeasureItem(MEASUREITEMSTRUCT& item);
  void DrawItem(const DRAWITEMSTRUCT& item) const;

 private:
  void SetCustom(Color color);
  Color EntryColor(int index) const;

  HWND combo_ = nullptr;
  Color color_ = 0;
  bool custom_held_ = false;
  Color custom_ = 0;
};

}  // namespace zt
