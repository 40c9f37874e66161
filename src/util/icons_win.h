// Icons and pictures made from pixels the program draws itself (tray
// pictures, the availability marks, the logo, the reset arrow).
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "util/handles_win.h"

namespace zt {

enum class PixelAlpha {
  Opaque,      // 0x00RRGGBB: every pixel is shown
  FromPixels,  // 0xAARRGGBB: each pixel keeps its alpha; below half it is left out
               // where the icon is drawn without alpha
};

// A square icon, `size` pixels a side, from size * size pixels in rows from
// the top.  Empty for any other number of pixels.
UniqueIcon IconFromPixels(const std::vector<uint32_t>& pixels, int size, PixelAlpha alpha);

// Draws a square of `size` pixels a side (0x00RRGGBB, rows from the top)
// with its top-left corner at x, y.  Draws nothing for any other number of
// pixels.
void DrawPixels(HDC dc, int x, int y, const std::vector<uint32_t>& pixels, int size);

}  // namespace zt
