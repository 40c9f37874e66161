// Thick graph lines drawn straight into 32-bit pixels.  The system's wide
// pens and polygon fills cost many times a one-pixel line (Wine's most of
// all), and a graph at 200 % draws every line two to four pixels wide at
// every sample; sweeping a square along the line here costs next to nothing
// and looks the same on every system.  Portable.
#pragma once

#include <cstdint>
#include <vector>

#include "util/pixel_geometry.h"

namespace zt {

// Rows of 0x00RRGGBB pixels, row 0 at the top, `stride` pixels apart.
struct PixelCanvas {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

// Paints the line through `points` (x never decreasing, as a graph's are)
// `width` pixels thick: the centre line as one-pixel steps, each step
// covered by a width x width square [x - width / 2, x - width / 2 + width).
// Whatever falls outside the canvas is left out.  `scratch` is reused
// between calls.
void DrawThickPolyline(const PixelCanvas& canvas, const std::vector<PixelPoint>& points, int width, uint32_t rgb,
                       std::vector<int>* scratch);

}  // namespace zt
