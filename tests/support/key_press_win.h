// Key presses through the program's own message path (the windows' key
// preview, then the dialog navigation), for tests that drive a window in
// their own process.
#pragma once

#include <windows.h>

#include "util/modeless_dialogs_win.h"

namespace zt::test {

// Delivers what is queued the way the program's loop does.
inline void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!IsModelessDialogMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

// One key going down at `target` with Ctrl and Shift held as told, then
// what it queued (its characters).
inline void PressKey(HWND target, WPARAM key, bool ctrl = false, bool shift = false) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  MSG msg = {};
  msg.hwnd = target;
  msg.message = WM_KEYDOWN;
  msg.wParam = key;
  msg.lParam = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC) << 16) | 1;
  if (!IsModelessDialogMessage(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  PumpMessages();
}

// A key going down and coming up again (a button is pressed as Space comes
// up).
inline void PressAndReleaseKey(HWND target, WPARAM key) {
  PressKey(target, key);
  MSG msg = {};
  msg.hwnd = target;
  msg.message = WM_KEYUP;
  msg.wParam = key;
  msg.lParam = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC) << 16) | 1 | (1u << 30) |
               (1u << 31);
  if (!IsModelessDialogMessage(msg)) DispatchMessageW(&msg);
  PumpMessages();
}

// Alt and a letter, as the keyboard's character for it arrives.
inline void PressAltKey(HWND target, wchar_t letter) {
  MSG msg = {};
  msg.hwnd = target;
  msg.message = WM_SYSCHAR;
  msg.wParam = letter;
  msg.lParam = 1 | (1 << 29);  // the Alt key is down
  if (!IsModelessDialogMessage(msg)) DispatchMessageW(&msg);
  PumpMessages();
}

}  // namespace zt::test
