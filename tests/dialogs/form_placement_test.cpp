// Showing a window beside the topmost main window: it moves out from under
// it the shortest way and stays on the work area.
#include "dialogs/form_placement.h"

#include <gtest/gtest.h>

#include <array>

namespace zt {
namespace {

PixelRect At(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

std::array<int, 4> Edges(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

const PixelRect kWork = At(0, 0, 1920, 1040);

TEST(PlaceClearOf, MovesTheShortestWayOutFromUnderTheMainWindow) {
  // Both centred, as on a first run: the information window (537 x 540)
  // cannot go above or below the main window and goes to its left, one
  // pixel nearer than to its right.
  const PixelRect main = At(835, 487, 250, 105);
  EXPECT_EQ(Edges(PlaceClearOf(At(691, 250, 537, 540), main, kWork)), Edges(At(298, 250, 537, 540)));
  // On a taller screen the statistics window (247 x 416) fits above it,
  // which is nearer than either side.
  EXPECT_EQ(Edges(PlaceClearOf(At(836, 312, 247, 416), main, At(0, 0, 1920, 1200))), Edges(At(836, 71, 247, 416)));
  // A main window in a corner leaves a centred window where it is.
  EXPECT_EQ(Edges(PlaceClearOf(At(691, 250, 537, 540), At(0, 0, 250, 105), kWork)), Edges(At(691, 250, 537, 540)));
  // Touching edges do not overlap.
  EXPECT_EQ(Edges(PlaceClearOf(At(250, 0, 100, 100), At(0, 0, 250, 105), kWork)), Edges(At(250, 0, 100, 100)));
}

TEST(PlaceClearOf, StaysOnTheWorkAreaOrWhereItIsWhenNothingFits) {
  // At the right edge of a second monitor, under a main window made tall:
  // it goes left, and down into the work area where it stuck out at the top.
  const PixelRect second = At(1920, 0, 1280, 1024);
  EXPECT_EQ(Edges(PlaceClearOf(At(2900, -20, 300, 200), At(2950, 100, 250, 900), second)), Edges(At(2650, 0, 300, 200)));
  // A main window as large as the work area: nowhere is clear.
  EXPECT_EQ(Edges(PlaceClearOf(At(100, 100, 300, 200), kWork, kWork)), Edges(At(100, 100, 300, 200)));
}

}  // namespace
}  // namespace zt
