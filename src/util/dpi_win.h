// The dpi a window is drawn at, and design units scaled to it (util/dpi.h).
// The program declares itself aware of each monitor's scaling where the
// system knows how; the calls that tell a window's or a monitor's dpi are
// looked up at run time, so older systems get the system-wide dpi instead.
#pragma once

#include <windows.h>

#include "util/dpi.h"

namespace zt {

// The system-wide dpi (96 when it cannot be read).
int SystemDpi();
// The dpi of a monitor as the program sees it: the monitor's own where the
// system scales per monitor, else the system-wide dpi.
int MonitorDpi(HMONITOR monitor);
// The dpi the window is drawn at (the system-wide dpi for a null window or
// on systems that do not tell a window's own).
int WindowDpi(HWND hwnd);

// A system metric (SM_CXSMICON, ...) at `dpi`: the system's own figure for
// that dpi where it tells one, else its figure at the system-wide dpi scaled.
int SystemMetricForDpi(int index, int dpi);

// A design value in the window's pixels.
inline int DpiScale(HWND hwnd, int design) { return ScaleToDpi(design, WindowDpi(hwnd)); }

}  // namespace zt
