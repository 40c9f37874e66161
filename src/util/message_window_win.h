// Hidden message-only windows: the process's own post boxes (the worker
// threads' wake-up), never shown and not enumerated with the top-level
// windows.
#pragma once

#include <windows.h>

namespace zt {

// Registers `class_name` with `proc` in this module (a second registration
// fails harmlessly) and creates a message-only window of it on the calling
// thread, which then owns it.  Null on failure.
HWND CreateMessageOnlyWindow(const wchar_t* class_name, WNDPROC proc);

}  // namespace zt
