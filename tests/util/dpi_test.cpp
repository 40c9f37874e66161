#include "util/dpi.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(Dpi, ScalingRoundsAsTheSystemsMulDivAndNothingMovesAt96) {
  for (int v : {-1000, -7, -1, 0, 1, 5, 170, 322, 1000}) EXPECT_EQ(ScaleToDpi(v, 96), v);
  // 125 %: 5 * 1.25 = 6.25 -> 6, 6 * 1.25 = 7.5 -> 8 (half away from zero), -6 -> -8.
  EXPECT_EQ(ScaleToDpi(5, 120), 6);
  EXPECT_EQ(ScaleToDpi(6, 120), 8);
  EXPECT_EQ(ScaleToDpi(-6, 120), -8);
  EXPECT_EQ(ScaleToDpi(322, 144), 483);
  EXPECT_EQ(ScaleToDpi(420, 144), 630);
  EXPECT_EQ(ScaleToDpi(75, 192), 150);
  EXPECT_EQ(MulDivRound(7, 1, 2), 4);
  EXPECT_EQ(MulDivRound(-7, 1, 2), -4);
  EXPECT_EQ(MulDivRound(7, 1, -2), -4);
  EXPECT_EQ(MulDivRound(5, 3, 0), 5);
  EXPECT_EQ(MulDivRound(2000000000, 4, 1), 2147483647);
  EXPECT_EQ(ScaleToDpi(40, 0), 40);  // an unknown dpi counts as 96
}

TEST(Dpi, DesignValuesComeBackFromEveryCommonScaling) {
  for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
    for (int design = -2000; design <= 2000; ++design)
      ASSERT_EQ(ScaleFromDpi(ScaleToDpi(design, dpi), dpi), design) << design << " at " << dpi;
  }
}

TEST(Dpi, FontHeightsFollowTheScaling) {
  EXPECT_EQ(FontHeightForPoints(8, 96), -11);
  EXPECT_EQ(FontHeightForPoints(8, 144), -16);
  EXPECT_EQ(FontHeightForPoints(8, 192), -21);
  EXPECT_EQ(FontHeightForPoints(9, 120), -15);
}

}  // namespace
}  // namespace zt
