#include "shell/placement.h"

#include <algorithm>
#include <climits>

namespace zt {
namespace {

// C++ division already rounds towards zero, which is what "div 2" means here.
int Div2(int v) { return v / 2; }

// Lower bound first, then the upper one: an empty range gives the upper.
int LimitLowerThenUpper(int v, int lo, int hi) {
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  return v;
}

bool Overlaps(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Squared distance between two rectangles (0 when they touch or overlap).
long long Distance2(const ScreenRect& a, const ScreenRect& b) {
  long long dx = 0, dy = 0;
  if (a.right <= b.left) dx = static_cast<long long>(b.left) - a.right;
  else if (b.right <= a.left) dx = static_cast<long long>(a.left) - b.right;
  if (a.bottom <= b.top) dy = static_cast<long long>(b.top) - a.bottom;
  else if (b.bottom <= a.top) dy = static_cast<long long>(a.top) - b.bottom;
  return dx * dx + dy * dy;
}

// Places a span of `size` inside [lo, hi): flush with the far edge when it
// would stick out, but never before the near edge.
int FitInto(int v, int size, int lo, int hi) {
  if (v > hi - size) v = hi - size;
  if (v < lo) v = lo;
  return v;
}

}  // namespace

bool CornerOnAnyMonitor(int x, int y, int size, const std::vector<MonitorArea>& monitors) {
  ScreenRect corner{x, y, x + size, y + size};
  for (const MonitorArea& m : monitors) {
    if (Overlaps(corner, m.bounds)) return true;
  }
  return false;
}

ScreenPoint RestorePlacement(bool first_launch, int pos_x, int pos_y, int width, int height,
                             const ScreenLayout& screen) {
  if (first_launch) {
    pos_x = Div2(screen.primary_width - width);
    pos_y = Div2(screen.primary_height - height);
  }
  const ScreenRect& d = screen.desktop;
  pos_x = LimitLowerThenUpper(pos_x, d.left, d.left + d.Width() - kVisibleCorner);
  pos_y = LimitLowerThenUpper(pos_y, d.top, d.top + d.Height() - kVisibleCorner);

  if (!screen.monitors.empty() &&
      !CornerOnAnyMonitor(pos_x, pos_y, kVisibleCorner, screen.monitors)) {
    ScreenRect corner{pos_x, pos_y, pos_x + kVisibleCorner, pos_y + kVisibleCorner};
    const MonitorArea* nearest = nullptr;
    long long best = LLONG_MAX;
    for (const MonitorArea& m : screen.monitors) {
      long long dist = Distance2(corner, m.bounds);
      if (dist < best) {
        best = dist;
        nearest = &m;
      }
    }
    const ScreenRect& wa = nearest->work_area;
    pos_x = FitInto(pos_x, width, wa.left, wa.right);
    pos_y = FitInto(pos_y, height, wa.top, wa.bottom);
  }
  return {pos_x, pos_y};
}

ScreenPoint PlaceAtPreset(PlacementPreset preset, int width, int height, const ScreenRect& wa) {
  switch (preset) {
    case PlacementPreset::TopLeft:
      return {wa.left, wa.top};
    case PlacementPreset::TopRight:
      return {wa.Width() - width, wa.top};
    case PlacementPreset::BottomLeft:
      return {wa.left, wa.Height() - height};
    case PlacementPreset::BottomRight:
      return {wa.Width() - width, wa.Height() - height};
    case PlacementPreset::Center:
      break;
  }
  return {Div2(wa.Width()) - Div2(width), Div2(wa.Height()) - Div2(height)};
}

}  // namespace zt
