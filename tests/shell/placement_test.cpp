#include "shell/placement.h"

#include <gtest/gtest.h>

#include <climits>

namespace zt {
namespace {

ScreenLayout SingleScreen(int w, int h, ScreenRect work) {
  ScreenLayout s;
  s.primary_width = w;
  s.primary_height = h;
  s.desktop = {0, 0, w, h};
  s.work_area = work;
  s.monitors.push_back({{0, 0, w, h}, work});
  return s;
}

TEST(RestorePlacement, FirstRunCentresOnThePrimaryScreen) {
  ScreenLayout s = SingleScreen(1920, 1080, {0, 0, 1920, 1040});
  EXPECT_EQ(RestorePlacement(true, 0, 0, 250, 105, s), (ScreenPoint{835, 487}));
  // Odd differences round towards zero.
  EXPECT_EQ(RestorePlacement(true, 0, 0, 251, 106, s), (ScreenPoint{834, 487}));
  // A stored position is ignored on the first run.
  EXPECT_EQ(RestorePlacement(true, 5000, -40, 250, 105, s), (ScreenPoint{835, 487}));
}

TEST(RestorePlacement, KeepsTheTopLeftCornerOnTheDesktop) {
  ScreenLayout s = SingleScreen(1920, 1080, {0, 0, 1920, 1040});
  EXPECT_EQ(RestorePlacement(false, 5000, 100, 250, 105, s).x, 1900);
  EXPECT_EQ(RestorePlacement(false, -300, 100, 250, 105, s).x, 0);
  EXPECT_EQ(RestorePlacement(false, 100, 5000, 250, 105, s).y, 1060);
  EXPECT_EQ(RestorePlacement(false, 100, -1, 250, 105, s).y, 0);
  // Inside positions, also ones that let the window hang off the right edge,
  // stay as they are.
  EXPECT_EQ(RestorePlacement(false, 1800, 1000, 250, 105, s), (ScreenPoint{1800, 1000}));
  EXPECT_EQ(RestorePlacement(false, 1900, 1060, 250, 105, s), (ScreenPoint{1900, 1060}));
}

TEST(RestorePlacement, DesktopThatDoesNotStartAtZero) {
  // Secondary monitor left of the primary one.
  ScreenLayout s = SingleScreen(1920, 1080, {0, 0, 1920, 1040});
  s.desktop = {-1280, 0, 1920, 1080};
  s.monitors.push_back({{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}});
  EXPECT_EQ(RestorePlacement(false, -300, 50, 250, 105, s), (ScreenPoint{-300, 50}));
  EXPECT_EQ(RestorePlacement(false, -5000, 50, 250, 105, s), (ScreenPoint{-1280, 50}));
}

TEST(RestorePlacement, EmptyRangeEndsAtTheUpperLimit) {
  ScreenLayout s;
  s.desktop = {0, 0, 10, 10};  // narrower than the 20-pixel corner
  EXPECT_EQ(RestorePlacement(false, 5, 5, 250, 105, s), (ScreenPoint{-10, -10}));
}

TEST(RestorePlacement, CornerInAHoleOfTheDesktopMovesToTheNearestMonitor) {
  // A 1920 x 1080 primary and a smaller 1280 x 720 monitor to its right: the
  // desktop is 3200 x 1080, but below y = 720 on the right there is nothing.
  ScreenLayout s = SingleScreen(1920, 1080, {0, 0, 1920, 1040});
  s.desktop = {0, 0, 3200, 1080};
  s.monitors.push_back({{1920, 0, 3200, 720}, {1920, 0, 3200, 680}});
  // Saved while a taller monitor was attached: inside the desktop, on no monitor.
  ScreenPoint p = RestorePlacement(false, 2500, 900, 250, 105, s);
  EXPECT_EQ(p, (ScreenPoint{2500, 680 - 105}));
  EXPECT_TRUE(CornerOnAnyMonitor(p.x, p.y, kVisibleCorner, s.monitors));
  // Nearer to the primary monitor: it goes there, flush with its right edge.
  p = RestorePlacement(false, 1930, 1050, 250, 105, s);
  EXPECT_EQ(p, (ScreenPoint{1920 - 250, 1040 - 105}));
  // A corner that only partly overlaps a monitor is left alone.
  EXPECT_EQ(RestorePlacement(false, 2500, 710, 250, 105, s), (ScreenPoint{2500, 710}));
}

TEST(RestorePlacement, WindowLargerThanTheWorkAreaStartsAtItsTopLeft) {
  ScreenLayout s = SingleScreen(1920, 1080, {0, 0, 1920, 1040});
  s.desktop = {0, 0, 3200, 1080};
  s.monitors.push_back({{1920, 0, 3200, 720}, {1920, 40, 3200, 720}});
  ScreenPoint p = RestorePlacement(false, 2500, 1000, 2000, 900, s);
  EXPECT_EQ(p, (ScreenPoint{1920, 40}));
}

// Sizes and positions from a hand-edited file can be anything 32 bits hold;
// the arithmetic must neither overflow nor wrap around.
TEST(RestorePlacement, ExtremeStoredValuesStayInRange) {
  ScreenLayout s = SingleScreen(1920, 1080, {0, 0, 1920, 1040});
  // (1920 - -2147483648) div 2 lies far right and low: limited to the desktop.
  EXPECT_EQ(RestorePlacement(true, 0, 0, INT_MIN, INT_MIN, s), (ScreenPoint{1900, 1060}));
  EXPECT_EQ(RestorePlacement(true, 0, 0, INT_MAX, INT_MAX, s), (ScreenPoint{0, 0}));
  EXPECT_EQ(RestorePlacement(false, INT_MIN, INT_MAX, INT_MAX, INT_MIN, s), (ScreenPoint{0, 1060}));
  // A corner in a hole of the desktop, fitted into the nearest work area
  // with an impossible size.
  s.desktop = {-1280, 0, 1920, 1080};
  s.monitors.push_back({{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}});
  EXPECT_EQ(RestorePlacement(false, -300, INT_MAX, INT_MIN, INT_MAX, s), (ScreenPoint{-300, 0}));
  EXPECT_FALSE(CornerOnAnyMonitor(INT_MAX, INT_MAX, INT_MAX, s.monitors));
  EXPECT_TRUE(CornerOnAnyMonitor(INT_MIN, 10, INT_MAX, {{{INT_MIN, 0, INT_MAX, 1024}, {}}}));
}

TEST(PlaceAtPreset, ExtremeSizesStayInRange) {
  ScreenRect wa{0, 0, 1920, 1040};
  EXPECT_EQ(PlaceAtPreset(PlacementPreset::Center, INT_MIN, INT_MIN, wa),
            (ScreenPoint{960 + 1073741824, 520 + 1073741824}));
  EXPECT_EQ(PlaceAtPreset(PlacementPreset::BottomRight, INT_MIN, INT_MAX, wa), (ScreenPoint{INT_MAX, 1040 - INT_MAX}));
}

// Each corner and the centre of the work area, also with the task bar on the
// left (the right edge is short) or on top (the bottom is not offset).
TEST(PlaceAtPreset, CornersAndCentreOfTheWorkArea) {
  using P = PlacementPreset;
  const ScreenRect full{0, 0, 1920, 1040}, bar_left{40, 0, 1920, 1080}, bar_top{0, 30, 1920, 1080};
  const struct { ScreenRect wa; P preset; int width; ScreenPoint at; } cases[] = {
      {full, P::TopLeft, 250, {0, 0}},          {full, P::TopRight, 250, {1670, 0}},
      {full, P::BottomLeft, 250, {0, 935}},     {full, P::BottomRight, 250, {1670, 935}},
      {full, P::Center, 251, {960 - 125, 520 - 52}},
      {bar_left, P::TopLeft, 250, {40, 0}},     {bar_left, P::TopRight, 250, {1880 - 250, 0}},
      {bar_left, P::BottomRight, 250, {1630, 975}}, {bar_left, P::Center, 250, {940 - 125, 540 - 52}},
      {bar_top, P::TopLeft, 250, {0, 30}},      {bar_top, P::BottomLeft, 250, {0, 945}}};
  for (const auto& c : cases) {
    EXPECT_EQ(PlaceAtPreset(c.preset, c.width, 105, c.wa), c.at) << static_cast<int>(c.preset) << " " << c.wa.left;
  }
}

// The stored position keeps the meaning it had for the program unaware of
// the scaling, whose coordinates were the screen's pixels taken back to
// 96 dpi.  At 150 % on 1920 x 1080 that program saw 1280 x 720: its first
// run stored the centre of that, (1280 - 250) / 2 and (720 - 105) / 2.
TEST(StoredPosition, AFirstRunStoresWhatTheProgramUnawareOfTheScalingStored) {
  const ScreenLayout screen = SingleScreen(1920, 1080, {0, 0, 1920, 1080});
  const ScreenPoint p = RestorePlacement(true, 0, 0, ScaleToDpi(250, 144), ScaleToDpi(105, 144), screen);
  EXPECT_EQ(ScreenToStored(p.x, 144), (1280 - 250) / 2);
  EXPECT_EQ(ScreenToStored(p.y, 144), (720 - 105) / 2);
  // And that file opens the window where the system put the other one's.
  EXPECT_EQ(StoredToScreen(515, 144), 773);
  // The square kept on the desktop is the window's own 20 units.
  EXPECT_EQ(RestorePlacement(false, 5000, 0, 375, 158, screen, ScaleToDpi(kVisibleCorner, 144)).x, 1920 - 30);
  for (int dpi : {96, 120, 144, 192}) {
    for (int stored = -4000; stored <= 4000; ++stored)
      ASSERT_EQ(ScreenToStored(StoredToScreen(stored, dpi), dpi), stored) << stored << " at " << dpi;
  }
}

// A pixel position that lies between two stored values is remembered with
// the stored values made from it: the window shown again stands exactly
// where it was left, and a file nobody moved keeps its figures.
TEST(StoredPosition, AWindowShownAgainStandsWhereItWasLeft) {
  for (int dpi : {96, 120, 144, 192}) {
    StoredPosition position;
    for (int x = -1000; x <= 3000; x += 7) {
      const PixelPoint stored = position.Moved(0, 0, {x, x / 2}, dpi);
      ASSERT_EQ(position.ToScreen(stored.x, stored.y, dpi), (ScreenPoint{x, x / 2})) << x << " at " << dpi;
    }
  }
  StoredPosition position;
  // Read from a file and put where it says: the figures stay.
  const ScreenPoint at = position.ToScreen(515, 307, 144);
  EXPECT_EQ(position.Moved(515, 307, at, 144), (PixelPoint{515, 307}));
  // Dragged to 772 (514.67 units): stored as 515, and 772 it stays.
  EXPECT_EQ(position.Moved(515, 307, {772, at.y}, 144), (PixelPoint{515, 307}));
  EXPECT_EQ(position.ToScreen(515, 307, 144).x, 772);
  // Other stored values (a hand-edited file, a changed system scaling)
  // convert afresh.
  EXPECT_EQ(position.ToScreen(600, 307, 144).x, 900);
  EXPECT_EQ(position.ToScreen(515, 307, 192).x, 1030);
}

}  // namespace
}  // namespace zt
