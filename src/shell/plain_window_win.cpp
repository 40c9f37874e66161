// A plain stand-in for the main window: borderless, titled "Zettrim", with
// the settings loaded at creation and saved at the close request and at
// destruction.  It shows the live figures as plain text.
#include <windows.h>

#include "shell/config.h"
#include "shell/main_window_win.h"
#include "util/unicode_win.h"

namespace zt {

namespace {

constexpr UINT kAfterShow = WM_USER + 1;
constexpr wchar_t kClassName[] = L"TForm_Main";

HWND g_main = nullptr;

void PlaceWindow(HWND hwnd) {
  int w = PosWidth, h = PosHeight;
  int x = PosX, y = PosY;
  if (FirstLaunch) {
    x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  }
  SetWindowPos(hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  try {
    switch (msg) {
      case WM_CREATE:
        LoadConfig();
        return 0;
      case WM_SHOWWINDOW:
        if (wparam) {
          PlaceWindow(hwnd);
          PostMessageW(hwnd, kAfterShow, 0, 0);
        }
        break;
      case kAfterShow:
        if (FirstLaunch) FirstLaunch = false;
        return 0;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH brush = CreateSolidBrush(BackgroundColor);
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, TextColor);
        DrawTextW(dc, L"Zettrim", -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_CLOSE:
        SaveConfig();
        PostQuitMessage(0);
        return 0;
      case WM_DESTROY:
        SaveConfig();
        return 0;
    }
  } catch (...) {
    // Nothing may unwind into the system.
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace

HWND CreateMainWindow(HINSTANCE instance, int show_command) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc)) return nullptr;
  DWORD ex_style = WS_EX_TOOLWINDOW;
  g_main = CreateWindowExW(ex_style, kClassName, L"Zettrim", WS_POPUP, 0, 0, 250, 105, nullptr,
                           nullptr, instance, nullptr);
  if (!g_main) return nullptr;
  if (AlwaysOnTop)
    SetWindowPos(g_main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!AppTrayMode) ShowWindow(g_main, show_command == SW_HIDE ? SW_SHOWNORMAL : show_command);
  return g_main;
}

bool TranslateMainWindowMessage(MSG&) { return false; }

void DestroyMainWindow() {
  if (g_main) DestroyWindow(g_main);
  g_main = nullptr;
}

}  // namespace zt
