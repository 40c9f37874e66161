#include "shell/live_figures.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(LiveFigures, HiddenWindowHoldsTheLatestFiguresUntilItIsShown) {
  LiveFigures f;  // a window starts hidden
  EXPECT_FALSE(f.Gauge(10));
  EXPECT_FALSE(f.Gauge(37));
  EXPECT_FALSE(f.MemoryLabel("1,535 MB"));
  EXPECT_FALSE(f.MemoryLabel("1,536 MB"));
  EXPECT_FALSE(f.SpeedLabel("2,394 MHz"));
  EXPECT_FALSE(f.GraphChanged());
  const HeldFigures held = f.SetShown(true);
  EXPECT_EQ(held.gauge, 37);
  EXPECT_EQ(held.memory_label, "1,536 MB");
  EXPECT_EQ(held.speed_label, "2,394 MHz");
  EXPECT_TRUE(held.graph);
  // Shown: every figure goes straight to its widget, nothing is held.
  EXPECT_TRUE(f.Gauge(50));
  EXPECT_TRUE(f.MemoryLabel("1,600 MB"));
  EXPECT_TRUE(f.SpeedLabel("2,400 MHz"));
  EXPECT_TRUE(f.GraphChanged());
  const HeldFigures again = f.SetShown(true);
  EXPECT_FALSE(again.gauge || again.memory_label || again.speed_label || again.graph);
}

// A figure that never came while hidden is not handed over: the widget
// keeps what it shows (the clock label its "? MHz" until a first figure).
TEST(LiveFigures, EachShowingHandsOverOnlyWhatCameSinceTheHiding) {
  LiveFigures f;
  f.SetShown(true);
  f.SetShown(false);
  EXPECT_FALSE(f.Gauge(5));
  HeldFigures held = f.SetShown(true);
  EXPECT_EQ(held.gauge, 5);
  EXPECT_FALSE(held.memory_label || held.speed_label || held.graph);
  f.SetShown(false);
  held = f.SetShown(true);
  EXPECT_FALSE(held.gauge || held.memory_label || held.speed_label || held.graph) << "handed over once";
  // A hiding itself hands over nothing.
  f.SetShown(false);
  f.SpeedLabel("0 MHz");
  EXPECT_FALSE(f.SetShown(false).speed_label);
  EXPECT_EQ(f.SetShown(true).speed_label, "0 MHz");
}

}  // namespace
}  // namespace zt
