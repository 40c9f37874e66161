#include "dialogs/list_update_win.h"

#include <commctrl.h>

namespace zt {
namespace {

int g_wait_holders = 0;
HCURSOR g_cursor_before = nullptr;

}  // namespace

TWaitCursor::TWaitCursor() {
  if (g_wait_holders++ == 0) {
    g_cursor_before = GetCursor();
    SetCursor(WaitCursor());
  }
}

TWaitCursor::~TWaitCursor() {
  if (--g_wait_holders == 0) {
    SetCursor(g_cursor_before);
    g_cursor_before = nullptr;
  }
}

bool TWaitCursor::Held() { return g_wait_holders > 0; }

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
