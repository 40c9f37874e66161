// Brackets for filling the CPU information window's lists: the hourglass
// cursor for as long as any holder lives, and a list whose drawing is held
// while it is filled, so it never paints half-filled.  Both are given back
// on every way out of a fill, errors included.  User-interface thread only.
#pragma once

#include <windows.h>

namespace zt {

// The hourglass over the program's windows while at least one is held: the
// first holder remembers the cursor, the last puts it back.  A window that
// wants the hourglass to survive mouse movement answers WM_SETCURSOR with
// SetCursor(WaitCursor()) while Held().
class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

  static bool Held();
  static HCURSOR WaitCursor();
};

// Drawing of a control held off (WM_SETREDRAW) for a scope; redrawn after.
class TRedrawHeld {
 public:
  explicit TRedrawHeld(HWND control);
  ~TRedrawHeld();
  TRedrawHeld(const TRedrawHeld&) = delete;
  TRedrawHeld& operator=(const TRedrawHeld&) = delete;

 private:
  HWND control_;
};

// One fill of a report-style list view: the hourglass, the list's drawing
// held, and its rows cleared first when `clear` is set.
class TListviewUpdate {
 public:
  TListviewUpdate(HWND list, bool clear);
  TListviewUpdate(const TListviewUpdate&) = delete;
  TListviewUpdate& operator=(const TListviewUpdate&) = delete;

 private:
  TWaitCursor cursor_;
  TRedrawHeld redraw_;
};

}  // namespace zt
