// The program's logo drawn at the size the about window shows it.
#include "util/program_picture.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

// At 200 % the logo is 128 pixels, drawn at that size: its frame keeps its
// share, and the line's edges are smooth, not a 64-pixel picture doubled.
TEST(ProgramPicture, TheLogoIsDrawnAtTheSizeAskedFor) {
  const ProgramPixels design = DrawProgramLogo();
  ASSERT_EQ(design.size(), 64u * 64u);
  const ProgramPixels large = DrawProgramLogo(128);
  ASSERT_EQ(large.size(), 128u * 128u);
  const uint32_t navy = design[0];
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(large[64 * 128 + i], navy) << "left frame, column " << i;
    EXPECT_EQ(large[i * 128 + 64], navy) << "top frame, row " << i;
  }
  EXPECT_NE(large[64 * 128 + 8], navy) << "the frame is 8 pixels wide at 128, as 4 at 64";
  bool smooth = false;
  for (int y = 8; y < 120; y += 2) {
    for (int x = 8; x < 120; x += 2) smooth |= large[y * 128 + x] != large[y * 128 + x + 1] && large[y * 128 + x + 1] != 0xE8ECF4;
  }
  EXPECT_TRUE(smooth);
  EXPECT_EQ(DrawProgramLogo(96).size(), 96u * 96u);
  EXPECT_TRUE(DrawProgramLogo(0).empty());
}

}  // namespace
}  // namespace zt
