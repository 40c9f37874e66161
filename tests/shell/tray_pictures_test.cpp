#include "shell/tray_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace zt {
namespace {

TEST(TrayImages, NumericAndGradientPictures) {
  // The number is drawn in dark pixels, centred, inside the frame.
  TrayPixels seven = DrawNumericImage(7);
  TrayPixels hundred = DrawNumericImage(100);
  auto dark = [](const TrayPixels& px) {
    int n = 0;
    for (uint32_t p : px) n += (p & 0xFF) < 0x40;
    return n;
  };
  EXPECT_GT(dark(seven), 5);
  EXPECT_GT(dark(hundred), dark(seven));
  EXPECT_EQ(seven[0], 0x808080u);  // frame
  // Gradient: image 0 empty, image 14 full; the bottom row green, the top red.
  TrayPixels empty = DrawGradientImage(0, 15), full = DrawGradientImage(14, 15);
  EXPECT_EQ(empty[14 * 16 + 8], empty[1 * 16 + 8]);
  const uint32_t bottom = full[14 * 16 + 8], top = full[1 * 16 + 8];
  EXPECT_GT((bottom >> 8) & 0xFF, (bottom >> 16) & 0xFF);  // more green than red
  EXPECT_GT((top >> 16) & 0xFF, (top >> 8) & 0xFF);        // more red than green
  // Each level fills one more row.
  TrayPixels one = DrawGradientImage(1, 15);
  EXPECT_NE(one[14 * 16 + 8], empty[14 * 16 + 8]);
  EXPECT_EQ(one[13 * 16 + 8], empty[13 * 16 + 8]);
}

// At the notification area's size for 100, 125, 150 and 200 %, every
// picture is drawn in its own pixels: only the picture's own colours (no
// pixel mixed by resampling), the frame whole, the number inside it and as
// much larger as the icon is.
TEST(TrayImages, EverySizeIsDrawnCrispInItsOwnPixels) {
  const uint32_t square = 0xE4E4E4, frame = 0x808080, digit = 0x101010;
  int ink16 = 0;
  for (int size : {16, 20, 24, 32}) {
    SCOPED_TRACE(size);
    const int f = size / 16;
    for (int value : {0, 7, 48, 100}) {
      const TrayPixels px = DrawNumericImage(value, size);
      ASSERT_EQ(px.size(), static_cast<size_t>(size * size));
      int ink = 0;
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
          const uint32_t p = px[static_cast<size_t>(y * size + x)];
          const bool on_frame = x < f || y < f || x >= size - f || y >= size - f;
          ASSERT_EQ(p == frame, on_frame) << value << " at " << x << "," << y;
          ASSERT_TRUE(p == frame || p == square || p == digit) << value << " at " << x << "," << y;
          ink += p == digit;
        }
      }
      if (value == 100 && size == 16) ink16 = ink;
      // The number's ink grows with the area.
      if (value == 100 && size > 16) {
        EXPECT_GE(ink * 256, ink16 * size * size * 8 / 10);
      }
    }
    // The number centred in the square, its ink grown with the area: each
    // cell of the digits' font a whole block (exactly four times the ink of
    // the 16-pixel number at 200 %).
    const TrayPixels number = DrawNumericImage(100, size);
    int left = size, right = -1, first_row = size, last_row = -1, ink = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        if (number[static_cast<size_t>(y * size + x)] != digit) continue;
        ++ink;
        left = std::min(left, x), right = std::max(right, x);
        first_row = std::min(first_row, y), last_row = std::max(last_row, y);
      }
    }
    EXPECT_LE(std::abs(left - (size - 1 - right)), 1);
    EXPECT_LE(std::abs(first_row - (size - 1 - last_row)), 1);
    if (size == 32) {
      EXPECT_EQ(ink, 4 * ink16);
    }
    // The gradient fills one row per pixel, from the bottom, in the colours
    // of its height; the empty square and the full one as at 16.
    const TrayPixels empty = DrawGradientImage(0, 15, size), full = DrawGradientImage(14, 15, size);
    const int middle = size / 2;
    for (int y = f; y < size - f; ++y) {
      EXPECT_EQ(empty[y * size + middle], square);
      EXPECT_NE(full[y * size + middle], square) << "row " << y;
    }
    const uint32_t bottom = full[(size - f - 1) * size + middle], top = full[f * size + middle];
    EXPECT_GT((bottom >> 8) & 0xFF, (bottom >> 16) & 0xFF);
    EXPECT_GT((top >> 16) & 0xFF, (top >> 8) & 0xFF);
    // The program's picture: its frame, white and the load line only.
    for (uint32_t p : DrawProgramTrayImage(size)) {
      ASSERT_TRUE(p == 0x000080 || p == 0xFFFFFF || p == 0x00A000);
    }
  }
}

}  // namespace
}  // namespace zt
