// The main window's pop-up menu, built from the menu table (menu_model.h).
// The placement items carry 15 x 15 design-unit pictures that are drawn on
// request by the owner window, so they follow the menu's own colours and are
// drawn at the owner's scaling.
#pragma once

#include <windows.h>

#include "util/handles_win.h"

namespace zt {

class TPopupMenu {
 public:
  // Creates the menu and its submenus from the table.
  void Build();
  explicit operator bool() const { return static_cast<bool>(menu_); }
  // The lock item's check mark.
  void SetLockChecked(bool checked);
  bool LockChecked() const;
  // Opens the menu at a screen point for `owner`, which receives its
  // WM_COMMAND.  Brings the owner to the foreground first: without that the
  // menu would not close when clicked away (it may be opened from the tray).
  void TrackAt(HWND owner, int x, int y);
  void Reset() { menu_.reset(); lock_owner_ = nullptr; }

  // WM_MEASUREITEM and WM_DRAWITEM for the placement pictures at the owner
  // window's dpi; false when the item is not one of ours.
  static bool MeasureItem(MEASUREITEMSTRUCT& item, int dpi);
  static bool DrawItem(const DRAWITEMSTRUCT& item, int dpi);

 private:
  UniqueMenu menu_;
  HMENU lock_owner_ = nullptr;  // the submenu holding the lock item
};

}  // namespace zt
