#include "shell/line_raster.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zt {
namespace {

constexpr uint32_t kBack = 0xFFFFFF, kInk = 0x00A000, kGuard = 0xDEAD00;

// A canvas inside a larger buffer whose border must stay untouched.
class Board {
 public:
  Board(int w, int h) : w_(w), h_(h), stride_(w + 2 * kBorder), px_(static_cast<size_t>(stride_) * (h + 2 * kBorder), kGuard) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) At(x, y) = kBack;
  }
  PixelCanvas Canvas() { return {&At(0, 0), w_, h_, stride_}; }
  uint32_t& At(int x, int y) { return px_[static_cast<size_t>(y + kBorder) * stride_ + x + kBorder]; }
  // The inked rows of column x, as [first, last]; {-1, -1} for none.
  std::pair<int, int> Run(int x) {
    int first = -1, last = -1, runs = 0;
    for (int y = 0; y < h_; ++y) {
      if (At(x, y) != kInk) continue;
      if (last != y - 1) ++runs;
      if (first < 0) first = y;
      last = y;
    }
    EXPECT_LE(runs, 1) << "column " << x << " has gaps";
    return {first, last};
  }
  bool GuardIntact() const {
    for (int y = 0; y < h_ + 2 * kBorder; ++y)
      for (int x = 0; x < stride_; ++x) {
        const bool inside = x >= kBorder && x < kBorder + w_ && y >= kBorder && y < kBorder + h_;
        if (!inside && px_[static_cast<size_t>(y) * stride_ + x] != kGuard) return false;
      }
    return true;
  }

 private:
  static constexpr int kBorder = 8;
  int w_, h_, stride_;
  std::vector<uint32_t> px_;
};

// A level line four pixels thick covers the square around each end, no
// more; a one-pixel line is its centre line.
TEST(ThickLine, ALevelLineIsExactlyItsWidth) {
  std::vector<int> scratch;
  for (int width : {1, 2, 3, 4}) {
    SCOPED_TRACE(width);
    Board b(40, 20);
    DrawThickPolyline(b.Canvas(), {{10, 10}, {30, 10}}, width, kInk, &scratch);
    const int a = -(width / 2);
    EXPECT_EQ(b.Run(10 + a), (std::pair<int, int>{10 + a, 10 + a + width - 1}));
    EXPECT_EQ(b.Run(30 + a + width - 1), (std::pair<int, int>{10 + a, 10 + a + width - 1}));
    EXPECT_EQ(b.Run(10 + a - 1).first, -1);
    EXPECT_EQ(b.Run(30 + a + width).first, -1);
  }
}

// A steep jump and a slope are as thick sideways as a level line is
// upright: every column the line passes holds one unbroken run, and the
// jump's column is flanked by width - 1 more.
TEST(ThickLine, StepsAndSlopesKeepTheirThickness) {
  std::vector<int> scratch;
  Board b(60, 60);
  DrawThickPolyline(b.Canvas(), {{5, 50}, {20, 50}, {21, 10}, {40, 30}, {55, 30}}, 4, kInk, &scratch);
  for (int x = 19; x <= 24; ++x) EXPECT_LE(b.Run(x).first, 12) << x;  // the jump, four columns wide and more
  for (int x = 3; x < 57; ++x) {
    const auto run = b.Run(x);
    ASSERT_NE(run.first, -1) << x;
    EXPECT_GE(run.second - run.first + 1, 4) << x;
  }
  EXPECT_EQ(b.Run(2).first, -1);
  EXPECT_EQ(b.Run(57).first, -1);
}

// Points beyond the canvas (the graph does not clip values over 100) are
// left out without writing past its edges.
TEST(ThickLine, NothingIsWrittenOutsideTheCanvas) {
  std::vector<int> scratch;
  Board b(30, 20);
  DrawThickPolyline(b.Canvas(), {{-50, -40}, {0, 0}, {15, 25}, {29, 19}, {80, -100}}, 5, kInk, &scratch);
  EXPECT_TRUE(b.GuardIntact());
  EXPECT_NE(b.Run(15).first, -1);
  Board single(10, 10);
  DrawThickPolyline(single.Canvas(), {{0, 9}}, 4, kInk, &scratch);
  EXPECT_EQ(single.Run(0), (std::pair<int, int>{7, 9}));
  EXPECT_TRUE(single.GuardIntact());
  DrawThickPolyline(single.Canvas(), {{500, 500}, {600, 700}}, 4, kInk, &scratch);
  EXPECT_TRUE(single.GuardIntact());
}

}  // namespace
}  // namespace zt
