// The tray icon's pictures as pixels: the numeric images (the load 0..100 in
// dark digits on a light grey square with a grey frame) and the gradient
// images (the square filled from the bottom, green through orange to red).
// The program's own icon is util/program_picture.h.  Portable;
// tray_images_win.h turns them into icons.
#pragma once

#include <cstdint>
#include <vector>

namespace zt {

constexpr int kTrayImageSize = 16;

// 16 x 16 pixels, 0x00RRGGBB, row 0 at the top.
using TrayPixels = std::vector<uint32_t>;
TrayPixels DrawNumericImage(int value);
TrayPixels DrawGradientImage(int level, int levels);

}  // namespace zt
