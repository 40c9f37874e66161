// Design units and the display's scaling.  Every layout figure of the
// program (sizes, positions, margins, font heights, pen widths, pictures) is
// drawn up in design units: pixels at 96 dpi, 1/96 inch.  Each is turned into
// the pixels of the window it is used in at the moment of use, through
// ScaleToDpi (or DpiScale in dpi_win.h), never by a scattered factor.  At
// 96 dpi every figure is its own pixel count.  Portable.
#pragma once

namespace zt {

constexpr int kDesignDpi = 96;

// value * numerator / denominator, rounded to the nearest integer with halves
// away from zero, as the system's MulDiv does.  A denominator of 0 gives the
// value unchanged; a result beyond int is clamped.
int MulDivRound(int value, int numerator, int denominator);

// Design units to the pixels of a window at `dpi`, and back.  A dpi that is
// not positive (an answer that could not be had) counts as 96.
int ScaleToDpi(int design, int dpi);
int ScaleFromDpi(int pixels, int dpi);

// The character height, negative as font creation wants it, of a font of
// `points` points at `dpi` (8 pt is -11 at 96 dpi, -16 at 144, -21 at 192).
int FontHeightForPoints(int points, int dpi);

}  // namespace zt
