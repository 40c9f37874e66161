// The program's own picture: the main window in miniature (a white panel
// with a navy frame and a green load line), as the 16 x 16 icon of the main
// window and the tray, and drawn large and smooth as the about window's logo.
// Portable pixels, 0x00RRGGBB with row 0 at the top; the windows turn them
// into icons or paint them.
#pragma once

#include <cstdint>
#include <vector>

namespace zt {

using ProgramPixels = std::vector<uint32_t>;

constexpr int kProgramImageSize = 16;
ProgramPixels DrawProgramImage();
// The same picture drawn at `size` pixels a side (at least 16): the frame
// and the load line laid out on that size's own pixels, never resampled.
ProgramPixels DrawProgramImageAt(int size);

// The logo, `size` pixels a side (64 at 96 dpi), drawn at that size.
constexpr int kProgramLogoSize = 64;
ProgramPixels DrawProgramLogo(int size = kProgramLogoSize);

// The sizes of the program icon's file (res/zettrim.ico, written by
// tools/program_icon_main.cpp), for every scaling of the caption, the task
// bar, Alt+Tab and Explorer's views; and the picture at each: up to 32
// pixels the pixel picture the tray shows, larger the smooth logo.
constexpr int kProgramIconSizes[] = {16, 20, 24, 32, 48, 64, 256};
ProgramPixels DrawProgramIconImage(int size);

// a and b mixed, channel by channel: t = 0 gives a, t = 1 gives b.
uint32_t MixColors(uint32_t a, uint32_t b, double t);

}  // namespace zt
