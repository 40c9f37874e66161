// The program's own window messages, numbered from WM_USER (0x400).  The main
// window, the tray icon, the clock thread and the dialogs all name them, so
// they sit on the ground floor.  Portable so that code without <windows.h>
// can name them.
#pragma once

namespace zt {

constexpr unsigned kWmUser = 0x400;
// Posted by the main window to itself at the end of every showing.
constexpr unsigned WM_AFTERSHOW = kWmUser + 1;
// Sent by the message loop to a modeless window before one of its controls
// sees a key: lParam points to the MSG; TRUE means the window took the key.
constexpr unsigned WM_KEYPREVIEW = kWmUser + 2;
// Posted by the settings dialog to itself when the language box's item is to
// become the language: every window is re-texted, the box's own list too, so
// not while the box is still telling of the choice.
constexpr unsigned WM_LANGUAGECHOSEN = kWmUser + 3;
// Tray icon callback.
constexpr unsigned WM_TRAYNOTIFY = kWmUser + 123;
// Posted by the clock-speed thread: wParam = whole MHz, lParam = 0.
constexpr unsigned WM_CPUSPEED = kWmUser + 130;

}  // namespace zt
