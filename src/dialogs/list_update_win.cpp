#include "dialogs/list_update_win.h"

#include <commctrl.h>

namespace zt {
namespace {

// Lets the window under the pointer choose its cursor again, as the system
// does when the pointer moves, when that window is `window` or one of its
// children.  Elsewhere the cursor belongs to somebody else.
void ChooseCursorAgainOver(HWND window) {
  POINT pt;
  if (!window || !IsWindowVisible(window) || !GetCursorPos(&pt)) return;
  if (GetCapture() != nullptr) return;  // a drag in progress owns the cursor
  HWND under = WindowFromPoint(pt);
  if (!under || (under != window && !IsChild(window, under))) return;
  const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
  SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
}

}  // namespace

TWaitCursor::TWaitCursor(HWND window) : window_(window) { ChooseCursorAgainOver(window_); }

TWaitCursor::~TWaitCursor() { ChooseCursorAgainOver(window_); }

HCURSOR TWaitCursor::WaitCursor() { return LoadCursorW(nullptr, IDC_WAIT); }

TRedrawHeld::TRedrawHeld(HWND control) : control_(control) { SendMessageW(control_, WM_SETREDRAW, FALSE, 0); }

TRedrawHeld::~TRedrawHeld() {
  SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(control_, nullptr, TRUE);
}

TListviewUpdate::TListviewUpdate(HWND list, bool clear) : redraw_(list) {
  if (clear) ListView_DeleteAllItems(list);
}

}  // namespace zt
