// The windows opened from the main window's menu.  The program entry creates
// them hidden right after the main window, in this order: the settings
// dialog, the statistics window, the about window.  The processor
// information window is made the first time it is asked for.  Each one takes
// over its menu command (TForm_Main::SetCommandHandler).
#pragma once

#include <windows.h>

namespace zt {

void CreateAppDialogs(HINSTANCE instance, HWND main_window);
// Before the main window goes: the windows and their commands.
void DestroyAppDialogs();

}  // namespace zt
