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

// a and b mixed, channel by channel: t = 0 gives a, t = 1 gives b.
uint32_t MixColors(uint32_t a, uint32_t b, double t);

}  // namespace zt
