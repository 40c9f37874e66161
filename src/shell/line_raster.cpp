#include "shell/line_raster.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace zt {

void DrawThickPolyline(const PixelCanvas& canvas, const std::vector<PixelPoint>& points, int width, uint32_t rgb,
                       std::vector<int>* scratch) {
  if (points.empty() || width < 1 || !canvas.pixels || canvas.width <= 0 || canvas.height <= 0) return;
  const int a = -(width / 2);
  // The centre columns that can touch the canvas; each keeps the lowest
  // and highest row the centre line passes in it.
  const int first = std::max(points.front().x, -a - width + 1);
  const int last = std::min(points.back().x, canvas.width - 1 - a);
  if (first > last) return;
  const int columns = last - first + 1;
  scratch->assign(2 * static_cast<size_t>(columns), 0);
  int* lo = scratch->data();
  int* hi = lo + columns;
  std::fill(lo, lo + columns, INT_MAX);
  std::fill(hi, hi + columns, INT_MIN);
  auto mark = [&](int x, int y) {
    if (x < first || x > last) return;
    lo[x - first] = std::min(lo[x - first], y);
    hi[x - first] = std::max(hi[x - first], y);
  };
  // The centre line, one 8-connected pixel step at a time.
  mark(points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) {
    int x = points[i - 1].x, y = points[i - 1].y;
    const int x1 = points[i].x, y1 = points[i].y;
    if (x1 < first && x < first) continue;
    if (x > last) break;
    const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
      mark(x, y);
      if (x == x1 && y == y1) break;
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y += sy;
      }
    }
  }
  // Each canvas column: the union of the squares of the centre columns
  // that reach it, one run of rows (the centre line is connected).
  const int x_begin = std::max(0, first + a), x_end = std::min(canvas.width, last + a + width);
  for (int x = x_begin; x < x_end; ++x) {
    int top = INT_MAX, bottom = INT_MIN;
    for (int c = std::max(first, x - a - width + 1); c <= std::min(last, x - a); ++c) {
      if (lo[c - first] == INT_MAX) continue;
      top = std::min(top, lo[c - first]);
      bottom = std::max(bottom, hi[c - first]);
    }
    if (top == INT_MAX) continue;
    const int y_begin = std::max(0, top + a), y_end = std::min(canvas.height, bottom + a + width);
    uint32_t* p = canvas.pixels + static_cast<size_t>(y_begin) * canvas.stride + x;
    for (int y = y_begin; y < y_end; ++y, p += canvas.stride) *p = rgb;
  }
}

}  // namespace zt
