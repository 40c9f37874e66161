// A label that works as a link from the keyboard as well: Tab stops at it, it
// shows a focus rectangle while it has the focus, Enter or Space opens it,
// and screen readers announce it as a link and can open it.  Opening sends
// its parent the same STN_CLICKED a click sends (the label has SS_NOTIFY),
// so one handler serves the mouse and the keyboard.
#pragma once

#include <windows.h>

namespace zt {

// `label` is a static control with SS_NOTIFY.  False when it could not be
// made a link.
bool MakeKeyboardLink(HWND label);

}  // namespace zt
