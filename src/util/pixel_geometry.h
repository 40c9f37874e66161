// Rectangles and points in whole pixels, shared by the main window's layout,
// the graph geometry, the placement rules and the dialogs' placement.
// Portable.
#pragma once

namespace zt {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct PixelPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PixelPoint& o) const { return x == o.x && y == o.y; }
};

}  // namespace zt
