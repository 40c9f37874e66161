// The tray icon's pictures as pixels: the numeric images (the load 0..100 in
// dark digits on a light grey square with a grey frame) and the gradient
// images (the square filled from the bottom, green through orange to red),
// and the program's own picture for the tray.  Each is drawn at the size the
// notification area shows (16 pixels at 96 dpi, 20, 24, 32 at 192 ...): the
// frame, the digits' strokes and the fill rows are laid out in that size's
// own pixels, so every size is as crisp as the 16-pixel one.  The program's
// window icon is util/program_picture.h.  Portable; tray_images_win.h turns
// them into icons.
#pragma once

#include <cstdint>
#include <vector>

namespace zt {

// The design size, at 96 dpi.
constexpr int kTrayImageSize = 16;

// size x size pixels, 0x00RRGGBB, row 0 at the top.  A size below 16 is
// drawn at 16.
using TrayPixels = std::vector<uint32_t>;
TrayPixels DrawNumericImage(int value, int size = kTrayImageSize);
TrayPixels DrawGradientImage(int level, int levels, int size = kTrayImageSize);
TrayPixels DrawProgramTrayImage(int size = kTrayImageSize);

// The side actually drawn for a requested size.
int TrayPictureSize(int size);

}  // namespace zt
