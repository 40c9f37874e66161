// Where the main window opens and where the placement presets put it.  Pure
// arithmetic over the screen geometry, so every rule can be checked without a
// desktop; the Windows layer only gathers the rectangles and moves the window.
#pragma once

#include <vector>

#include "util/pixel_geometry.h"

namespace zt {

// Screen coordinates (the virtual desktop's, in pixels).
using ScreenRect = PixelRect;
using ScreenPoint = PixelPoint;

struct MonitorArea {
  ScreenRect bounds;     // the monitor's rectangle on the virtual desktop
  ScreenRect work_area;  // the same without task bars and docked bars
};

struct ScreenLayout {
  int primary_width = 0;   // size of the primary monitor
  int primary_height = 0;
  ScreenRect desktop;      // the virtual screen spanning every monitor
  ScreenRect work_area;    // the primary monitor's work area
  std::vector<MonitorArea> monitors;  // may be empty: then only the desktop counts
};

// The part of the window that must stay reachable whatever is stored.
constexpr int kVisibleCorner = 20;

// The position the window takes when it is shown.  On a first launch it is
// centred on the primary screen; the stored position is then limited so that
// the top-left 20 x 20 square stays on the desktop (lower limit first, so an
// empty range ends at the upper limit).  A desktop of monitors with different
// sizes has holes: when the square lands in one of them (or the monitor it
// was on is gone), the window moves into the work area of the nearest monitor.
ScreenPoint RestorePlacement(bool first_launch, int pos_x, int pos_y, int width, int height,
                             const ScreenLayout& screen);

enum class PlacementPreset { TopLeft = 0, TopRight = 1, BottomLeft = 2, BottomRight = 3, Center = 4 };

// The five corner and centre positions in the primary work area.  The right
// and bottom positions are measured from the work area's width and height
// only, as the program always has; with a task bar on the left this leaves
// the window short of the right edge by the task bar's width.
ScreenPoint PlaceAtPreset(PlacementPreset preset, int width, int height, const ScreenRect& work_area);

// Whether the square of side `size` at (x, y) overlaps any of the monitors.
bool CornerOnAnyMonitor(int x, int y, int size, const std::vector<MonitorArea>& monitors);

}  // namespace zt
