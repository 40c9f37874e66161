#include "dialogs/link_label_win.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <vector>

#include "util/accessible_win.h"
#include "util/control_text_win.h"
#include "util/texts.h"
#include "util/unicode_win.h"

namespace zt {
namespace {

constexpr UINT_PTR kSubclassId = 0x4C4B;
void OpenLink(HWND link) {
  SendMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
               reinterpret_cast<LPARAM>(link));
}

// Around the text, where a focus rectangle belongs.
void DrawFocusAroundText(HWND link) {
  const std::wstring text = ControlText(link);
  HDC dc = GetDC(link);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
  RECT client, around = {0, 0, 0, 0};
  GetClientRect(link, &client);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &around, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  around.right = std::min(around.right + 1, client.right);
  around.bottom = std::min(around.bottom + 1, client.bottom);
  DrawFocusRect(dc, &around);
  SelectObject(dc, old);
  ReleaseDC(link, dc);
}

LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) noexcept {
  switch (msg) {
    case WM_GETDLGCODE: {
      // Enter belongs to the link, not to the window's default command.
      LRESULT code = DefSubclassProc(hwnd, msg, wparam, lparam);
      const auto* key = reinterpret_cast<const MSG*>(lparam);
      if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      // Once a press, not again while the key repeats.
      if ((wparam == VK_RETURN || wparam == VK_SPACE) && !(lparam & (1 << 30))) {
        OpenLink(hwnd);
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(hwnd, nullptr, TRUE); break;
    case WM_PAINT: {
      const LRESULT result = DefSubclassProc(hwnd, msg, wparam, lparam);
      if (GetFocus() == hwnd) DrawFocusAroundText(hwnd);
      return result;
    }
    case WM_NCDESTROY: RemoveWindowSubclass(hwnd, LinkProc, kSubclassId); break;
    default: break;
  }
  return DefSubclassProc(hwnd, msg, wparam, lparam);
}

}  // namespace

bool MakeKeyboardLink(HWND label) {
  if (!label || !SetWindowSubclass(label, LinkProc, kSubclassId, 0)) return false;
  SetWindowLongPtrW(label, GWL_STYLE, GetWindowLongPtrW(label, GWL_STYLE) | WS_TABSTOP);
  AccessibleOverride link;
  link.role = ROLE_SYSTEM_LINK;
  link.default_action = [label] { OpenLink(label); };
  // The name of the default action, as a screen reader offers it.
  link.default_action_name = Widen(Text(TextId::AboutLinkAction));
  return SetAccessibleOverride(label, std::move(link));
}

}  // namespace zt
