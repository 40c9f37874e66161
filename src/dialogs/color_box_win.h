// A colour box: a drop-down list of the named colours (color_list.h), each
// drawn as a swatch beside its name, and a last entry that opens the system's
// colour chooser.  The list's text is the chosen colour's name, so screen
// readers and tests read it with WM_GETTEXT.
#pragma once

#include <windows.h>

#include "config/config.h"
#include "util/seam.h"

namespace zt {

// The height of an entry at 96 dpi.
constexpr int kColorItemHeight = 16;

// The system's colour chooser; tests put a fake in its place.
class IColorChooser {
 public:
  virtual ~IColorChooser() = default;
  // Asks for a colour, starting at `color`; false when the user cancels.
  virtual bool Choose(HWND owner, Color& color) = 0;
};
template <>
IColorChooser& Seam<IColorChooser>::Real();

// Moving the selection (arrow keys, the wheel, the open list) only shows a
// candidate; the candidate is taken when the list closes on it or Enter is
// pressed, and dropped when the list is cancelled or the box loses the focus.
// So walking through the list with the keyboard neither applies every colour
// on the way nor opens the chooser at the custom entry.
class TColorBox {
 public:
  // Fills a combo box made with CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
  // CBS_HASSTRINGS, whose entries are `item_height` pixels high (the answer
  // its parent gave to WM_MEASUREITEM).
  void Attach(HWND combo, int item_height);
  HWND hwnd() const { return combo_; }

  // Shows `color`: its named entry, or the custom entry holding it.
  // The entries' names again, in the current language; the entry shown
  // stays.
  void Retext();
  void SetColor(Color color);
  // The colour taken last (the one in use).
  Color color() const { return color_; }

  // The list's notifications and Enter.  Taking the custom entry opens the
  // colour chooser; cancelling it goes back to the colour before.  ListClosed
  // and EnterPressed answer true when the colour changed.
  void ListAccepted() { cancelled_ = false; }  // CBN_SELENDOK
  void ListCancelled();                         // CBN_SELENDCANCEL
  bool ListClosed(HWND owner);                  // CBN_CLOSEUP
  bool EnterPressed(HWND owner);                // Enter while the list is closed
  void FocusLost();                             // CBN_KILLFOCUS

  // A new height of the box's field and of each entry of its list, in
  // pixels (the display's scaling changed), and WM_DRAWITEM, which draws at
  // the scale of that height.
  void SetItemHeight(int pixels);
  void DrawItem(const DRAWITEMSTRUCT& item) const;

 private:
  bool TakeSelection(HWND owner);
  void ShowColorInUse();
  void SetCustom(Color color);
  Color EntryColor(int index) const;

  HWND combo_ = nullptr;
  Color color_ = 0;
  int item_height_ = kColorItemHeight;
  int field_frame_ = 0;  // the box's height beyond its entries' height
  bool custom_held_ = false;
  Color custom_ = 0;
  bool cancelled_ = false;  // the list is closing without a choice
};

}  // namespace zt
