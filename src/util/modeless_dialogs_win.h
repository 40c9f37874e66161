// The modeless windows of the process (the program's settings, statistics,
// information and about windows).  Each registers itself while it exists;
// the message loop offers each message to them so that Tab, the arrow keys,
// Enter and Esc work in them as in any dialog.
#pragma once

#include <windows.h>

namespace zt {

void RegisterModelessDialog(HWND dialog);
void UnregisterModelessDialog(HWND dialog);
// True when the window the message is for took it: first its own key
// preview (WM_KEYPREVIEW), then the dialog navigation (IsDialogMessage).
bool IsModelessDialogMessage(MSG& msg);

}  // namespace zt
