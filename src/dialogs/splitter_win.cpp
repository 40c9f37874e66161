#include "dialogs/splitter_win.h"

#include <windowsx.h>

#include "dialogs/info_model.h"

namespace zt {
namespace {

constexpr wchar_t kSplitterClass[] = L"Zettrim.Splitter";
// Window extra bytes: the smallest pane width, and where in the bar the
// mouse took hold of it.
constexpr int kMinPaneSlot = 0;
constexpr int kGrabSlot = sizeof(LONG_PTR);

void MoveTo(HWND bar, int mouse_x) {
  HWND parent = GetParent(bar);
  RECT bar_rect, parent_rect;
  GetWindowRect(bar, &bar_rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bar_rect), 2);
  GetClientRect(parent, &parent_rect);
  const int width = bar_rect.right - bar_rect.left;
  POINT p = {mouse_x, 0};
  MapWindowPoints(bar, parent, &p, 1);
  const int wanted = p.x - static_cast<int>(GetWindowLongPtrW(bar, kGrabSlot));
  const int left = ClampSplitterLeft(wanted, parent_rect.right, width,
                                     static_cast<int>(GetWindowLongPtrW(bar, kMinPaneSlot)));
  if (left == bar_rect.left) return;
  SetWindowPos(bar, nullptr, left, bar_rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(bar), kSplitterMoved), reinterpret_cast<LPARAM>(bar));
}

LRESULT CALLBACK SplitterProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  switch (msg) {
    case WM_LBUTTONDOWN:
      SetWindowLongPtrW(hwnd, kGrabSlot, GET_X_LPARAM(lparam));
      SetCapture(hwnd);
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == hwnd) MoveTo(hwnd, GET_X_LPARAM(lparam));
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
}

}  // namespace

HWND CreateSplitter(HINSTANCE instance, HWND parent, int id, int x, int y, int width, int height, int min_pane) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(instance, kSplitterClass, &wc)) {
    wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = SplitterProc;
    wc.cbWndExtra = 2 * sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_SIZEWE);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kSplitterClass;
    RegisterClassExW(&wc);
  }
  HWND bar = CreateWindowExW(0, kSplitterClass, L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (bar) SetSplitterMinPane(bar, min_pane);
  return bar;
}

void SetSplitterMinPane(HWND splitter, int min_pane) {
  if (splitter) SetWindowLongPtrW(splitter, kMinPaneSlot, min_pane);
}

}  // namespace zt
