// Rectangles and points in whole pixels, shared by the window layout, the
// graph geometry and the placement rules.  Portable.
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
