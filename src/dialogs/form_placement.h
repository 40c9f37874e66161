// Where a window of the program goes when it is shown beside the main
// window, which stays above every other window and so would cover it.
// Portable arithmetic over screen rectangles.
#pragma once

#include "util/pixel_geometry.h"

namespace zt {

// `window` moved straight left, right, up or down, the shortest way, until
// it lies clear of `cover`, staying inside `work_area`.  Unchanged when it
// is clear already, or when no such place exists (a window as large as the
// work area).
PixelRect PlaceClearOf(const PixelRect& window, const PixelRect& cover, const PixelRect& work_area);

}  // namespace zt
