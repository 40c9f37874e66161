#include "dialogs/form_placement.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace zt {
namespace {

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const PixelRect& r, const PixelRect& area) {
  return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

// The position along one axis that keeps a window of `size` inside [lo, hi).
int PullInside(int pos, int size, int lo, int hi) { return std::max(lo, std::min(pos, hi - size)); }

}  // namespace

PixelRect PlaceClearOf(const PixelRect& window, const PixelRect& cover, const PixelRect& work_area) {
  if (!Overlap(window, cover)) return window;
  const int w = window.Width(), h = window.Height();
  // Along the other axis the window keeps its place, pulled into the work
  // area should it stick out.
  const int x = PullInside(window.left, w, work_area.left, work_area.right);
  const int y = PullInside(window.top, h, work_area.top, work_area.bottom);
  const PixelPoint beside[] = {{cover.right, y}, {cover.left - w, y}, {x, cover.bottom}, {x, cover.top - h}};
  PixelRect best = window;
  long best_distance = LONG_MAX;
  for (const PixelPoint& p : beside) {
    const PixelRect r{p.x, p.y, p.x + w, p.y + h};
    if (!Inside(r, work_area)) continue;
    const long distance = std::labs(static_cast<long>(p.x) - window.left) + std::labs(static_cast<long>(p.y) - window.top);
    if (distance < best_distance) {
      best = r;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace zt
