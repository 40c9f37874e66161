// How the program entry reaches the main window.
#pragma once

#include <windows.h>

namespace zt {

// Creates the main window and runs its whole creation (settings loaded,
// widgets set up, sampling started).  Shows it unless the program starts in
// tray mode.  Returns null when the window cannot be created.
HWND CreateMainWindow(HINSTANCE instance, int show_command);

// Gives the main window and its dialogs the first look at each message of
// the loop (keyboard short-cuts, dialog navigation).  True when consumed.
bool TranslateMainWindowMessage(MSG& msg);

// Destroys the main window after the message loop has ended: sampling
// stopped, tray icon removed, settings saved if not saved yet.
void DestroyMainWindow();

}  // namespace zt
