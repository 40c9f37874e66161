#include "shell/tray_pictures.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zt
