// The tray icon's pictures as pixels: the numeric images (the load 0..100 in
// dark digits on a light grey square with a grey frame), the gradient images
// (the square filled from the bottom, green through orange to red) and the
// program's own icon, also as the large logo of the about window.  Portable;
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
TrayPixels DrawProgramImage();

// The program's icon drawn large and smooth for the about window: the same
// white panel, navy frame and green load line, kProgramLogoSize square.
constexpr int kProgramLogoSize = 64;
TrayPixels DrawProgramLogo();

}  // namespace zt
