#include "shell/placement.h"

#include <climits>
#include <cstdint>

namespace zt {
namespace {

// The stored sizes and positions come from a hand-editable file and can be
// anything a 32-bit integer holds (PosWidth=-2147483648): every sum and
// difference is taken in 64 bits and brought back into range at the end.
using Wide = int64_t;

int ToInt(Wide v) {
  if (v < INT_MIN) return INT_MIN;
  if (v > INT_MAX) return INT_MAX;
  return static_cast<int>(v);
}

// C++ division already rounds towards zero, which is what "div 2" means here.
Wide Div2(Wide v) { return v / 2; }

// Lower bound first, then the upper one: an empty range gives the upper.
Wide LimitLowerThenUpper(Wide v, Wide lo, Wide hi) {
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  return v;
}

struct WideRect {
  Wide left, top, right, bottom;
};

WideRect ToWide(const ScreenRect& r) { return {r.left, r.top, r.right, r.bottom}; }

bool Overlaps(const WideRect& a, const WideRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Squared distance between two rectangles (0 when they touch or overlap).
// Screen coordinates are far below 2^31, so the squares fit.
Wide Distance2(const WideRect& a, const WideRect& b) {
  Wide dx = 0, dy = 0;
  if (a.right <= b.left) dx = b.left - a.right;
  else if (b.right <= a.left) dx = a.left - b.right;
  if (a.bottom <= b.top) dy = b.top - a.bottom;
  else if (b.bottom <= a.top) dy = a.top - b.bottom;
  return dx * dx + dy * dy;
}

// Places a span of `size` inside [lo, hi): flush with the far edge when it
// would stick out, but never before the near edge.
Wide FitInto(Wide v, Wide size, Wide lo, Wide hi) {
  if (v > hi - size) v = hi - size;
  if (v < lo) v = lo;
  return v;
}

WideRect Corner(Wide x, Wide y, Wide size) { return {x, y, x + size, y + size}; }

}  // namespace

int StoredToScreen(int stored, int system_dpi) { return ScaleToDpi(stored, system_dpi); }

int ScreenToStored(int screen, int system_dpi) { return ScaleFromDpi(screen, system_dpi); }

ScreenPoint StoredPosition::ToScreen(int stored_x, int stored_y, int system_dpi) const {
  if (known_ && dpi_ == system_dpi && stored_ == PixelPoint{stored_x, stored_y}) return screen_;
  return {StoredToScreen(stored_x, system_dpi), StoredToScreen(stored_y, system_dpi)};
}

PixelPoint StoredPosition::Moved(int stored_x, int stored_y, ScreenPoint screen, int system_dpi) {
  PixelPoint stored{stored_x, stored_y};
  if (!(ToScreen(stored_x, stored_y, system_dpi) == screen))
    stored = {ScreenToStored(screen.x, system_dpi), ScreenToStored(screen.y, system_dpi)};
  known_ = true;
  dpi_ = system_dpi;
  stored_ = stored;
  screen_ = screen;
  return stored;
}

bool CornerOnAnyMonitor(int x, int y, int size, const std::vector<MonitorArea>& monitors) {
  const WideRect corner = Corner(x, y, size);
  for (const MonitorArea& m : monitors) {
    if (Overlaps(corner, ToWide(m.bounds))) return true;
  }
  return false;
}

ScreenPoint RestorePlacement(bool first_launch, int pos_x, int pos_y, int width, int height,
                             const ScreenLayout& screen, int corner_side) {
  Wide x = pos_x;
  Wide y = pos_y;
  if (first_launch) {
    x = Div2(Wide{screen.primary_width} - width);
    y = Div2(Wide{screen.primary_height} - height);
  }
  const WideRect d = ToWide(screen.desktop);
  x = LimitLowerThenUpper(x, d.left, d.left + (d.right - d.left) - corner_side);
  y = LimitLowerThenUpper(y, d.top, d.top + (d.bottom - d.top) - corner_side);

  if (!screen.monitors.empty()) {
    const WideRect corner = Corner(x, y, corner_side);
    const MonitorArea* nearest = nullptr;
    Wide best = INT64_MAX;
    for (const MonitorArea& m : screen.monitors) {
      const WideRect bounds = ToWide(m.bounds);
      if (Overlaps(corner, bounds)) {
        nearest = nullptr;
        break;
      }
      const Wide dist = Distance2(corner, bounds);
      if (dist < best) {
        best = dist;
        nearest = &m;
      }
    }
    if (nearest) {
      const WideRect wa = ToWide(nearest->work_area);
      x = FitInto(x, width, wa.left, wa.right);
      y = FitInto(y, height, wa.top, wa.bottom);
    }
  }
  return {ToInt(x), ToInt(y)};
}

ScreenPoint PlaceAtPreset(PlacementPreset preset, int width, int height, const ScreenRect& work_area) {
  const WideRect wa = ToWide(work_area);
  const Wide w = wa.right - wa.left;
  const Wide h = wa.bottom - wa.top;
  switch (preset) {
    case PlacementPreset::TopLeft:
      return {ToInt(wa.left), ToInt(wa.top)};
    case PlacementPreset::TopRight:
      return {ToInt(w - width), ToInt(wa.top)};
    case PlacementPreset::BottomLeft:
      return {ToInt(wa.left), ToInt(h - height)};
    case PlacementPreset::BottomRight:
      return {ToInt(w - width), ToInt(h - height)};
    case PlacementPreset::Center:
      break;
  }
  return {ToInt(Div2(w) - Div2(width)), ToInt(Div2(h) - Div2(height))};
}

}  // namespace zt
