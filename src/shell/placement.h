// Where the main window opens and where the placement presets put it.  Pure
// arithmetic over the screen geometry, so every rule can be checked without a
// desktop; the Windows layer only gathers the rectangles and moves the window.
#pragma once

#include <vector>

#include "util/dpi.h"
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

// The part of the window that must stay reachable whatever is stored, in
// design units (20 pixels at 96 dpi).
constexpr int kVisibleCorner = 20;

// The position the window takes when it is shown.  On a first launch it is
// centred on the primary screen; the stored position is then limited so that
// the top-left square of side `corner` pixels (kVisibleCorner at the
// window's dpi) stays on the desktop (lower limit first, so an empty range
// ends at the upper limit).  A desktop of monitors with different sizes has
// holes: when the square lands in one of them (or the monitor it was on is
// gone), the window moves into the work area of the nearest monitor.
ScreenPoint RestorePlacement(bool first_launch, int pos_x, int pos_y, int width, int height,
                             const ScreenLayout& screen, int corner = kVisibleCorner);

enum class PlacementPreset { TopLeft = 0, TopRight = 1, BottomLeft = 2, BottomRight = 3, Center = 4 };

// The five corner and centre positions in the primary work area.  The right
// and bottom positions are measured from the work area's width and height
// only, as the program always has; with a task bar on the left this leaves
// the window short of the right edge by the task bar's width.
ScreenPoint PlaceAtPreset(PlacementPreset preset, int width, int height, const ScreenRect& work_area);

// The stored position (PosX, PosY) keeps the meaning it had when the
// program was unaware of the display's scaling: the coordinates such a
// program sees, which are the screen's pixels at the system-wide dpi taken
// back to 96 dpi.  So a file written then opens the window at the same place
// on a single-monitor system at any scaling.  Placement itself (the limits,
// the presets, dragging) works in the screen's real pixels.
int StoredToScreen(int stored, int system_dpi);
int ScreenToStored(int screen, int system_dpi);

// The window's position as stored and in screen pixels, kept in step.  A
// stored position converts to the screen and back unchanged, but a screen
// position that falls between two stored values does not: the screen
// position the window was last put at is remembered with the stored values
// made from it, so that showing the window again puts it exactly there (no
// creep by a pixel), and a file read and written without a move keeps its
// figures byte for byte.
class StoredPosition {
 public:
  // Where the stored (x, y) puts the window.
  ScreenPoint ToScreen(int stored_x, int stored_y, int system_dpi) const;
  // The window was put at `screen`: the stored values that say so.  When
  // the stored values already say so, they are kept as they are.
  PixelPoint Moved(int stored_x, int stored_y, ScreenPoint screen, int system_dpi);

 private:
  bool known_ = false;
  int dpi_ = 0;
  PixelPoint stored_;
  ScreenPoint screen_;
};

// Whether the square of side `size` at (x, y) overlaps any of the monitors.
bool CornerOnAnyMonitor(int x, int y, int size, const std::vector<MonitorArea>& monitors);

}  // namespace zt
