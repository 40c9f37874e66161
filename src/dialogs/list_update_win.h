// Brackets for the CPU information window's reading and filling of its
// lists: the hourglass over that window while it reads, and a list whose
// drawing is held while it is filled, so it never paints half-filled.  Both
// are given back on every way out, errors included.  User-interface thread
// only.
#pragma once

#include <windows.h>

namespace zt {

// The hourglass over one window and its children while that window is
// busy, and nowhere else.  The cursor is a shared resource: the window
// answers WM_SETCURSOR with WaitCursor() while busy (its children pass the
// message up to it), so the hourglass shows only when the pointer is over
// it and goes as the pointer leaves.  A TWaitCursor held for the busy time
// makes the change show at once: when it is taken and when it is given back,
// and only if the pointer is over the window then, the window under the
// pointer chooses its cursor again.  Nothing is remembered and put back.
class TWaitCursor {
 public:
  explicit TWaitCursor(HWND window);
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

  static HCURSOR WaitCursor();

 private:
  HWND window_;
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

// One fill of a report-style list view: the list's drawing held, and its
// rows cleared first when `clear` is set.
class TListviewUpdate {
 public:
  TListviewUpdate(HWND list, bool clear);
  TListviewUpdate(const TListviewUpdate&) = delete;
  TListviewUpdate& operator=(const TListviewUpdate&) = delete;

 private:
  TRedrawHeld redraw_;
};

}  // namespace zt
