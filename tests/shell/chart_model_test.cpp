#include "shell/chart_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "shell/form_layout.h"

namespace zt {
namespace {

TEST(ChartData, LinesKeepTheirOwnPointsInOrder) {
  ChartData d;
  d.Add(1, 1, 10);
  d.Add(1, 2, 20);
  d.Add(0, 2, 50);
  EXPECT_EQ(d.PointCount(1), 2);
  EXPECT_EQ(d.PointCount(0), 1);
  d.DeleteOldest(1);
  ASSERT_EQ(d.PointCount(1), 1);
  EXPECT_EQ(d.Line(1).front().y, 20);
  d.Clear(0);
  EXPECT_EQ(d.PointCount(0), 0);
  // Bad indexes are ignored, never a crash.
  d.Add(5, 1, 1);
  d.DeleteOldest(-1);
  d.DeleteOldest(3);
  EXPECT_EQ(d.PointCount(5), 0);
}

TEST(ChartData, XRangeSpansEveryLine) {
  ChartData d;
  double lo = 0, hi = 0;
  EXPECT_FALSE(d.XRange(&lo, &hi));
  d.Add(0, 3, 1);
  d.Add(0, 9, 1);
  d.Add(2, 5, 1);
  d.Add(2, 12, 1);
  ASSERT_TRUE(d.XRange(&lo, &hi));
  EXPECT_EQ(lo, 3);
  EXPECT_EQ(hi, 12);
}

TEST(ChartLayout, MarginsAxisAndGrid) {
  // The default graph: 210 x 76, labels up to "100" 18 px wide, 13 px font.
  ChartLayout l = ComputeChartLayout(210, 76, 18, 13);
  EXPECT_EQ(l.label_right, 18);
  EXPECT_EQ(l.axis_x, 18 + kAxisLabelGap + kAxisTickLength);
  EXPECT_EQ(l.plot.left, l.axis_x + 1);
  EXPECT_EQ(l.plot.right, 210 - 4);  // 2 % of 210
  // Half a label must fit above the 100 line and below the 0 line.
  EXPECT_EQ(l.plot.top, 7);
  EXPECT_EQ(l.plot.bottom, 76 - 7);
  EXPECT_EQ(l.grid_y[0], l.plot.bottom);
  EXPECT_EQ(l.grid_y[kAxisLabelCount - 1], l.plot.top);
  for (int i = 1; i < kAxisLabelCount; ++i) EXPECT_LT(l.grid_y[i], l.grid_y[i - 1]);
  // A tall chart uses the 2 % margin itself.
  ChartLayout tall = ComputeChartLayout(400, 1000, 18, 13);
  EXPECT_EQ(tall.plot.top, 20);
  EXPECT_EQ(tall.plot.bottom, 980);
  EXPECT_EQ(AxisLabelText(40), "40");
}

TEST(ChartLayout, DegenerateSizesStayOrdered) {
  ChartLayout l = ComputeChartLayout(0, 0, 18, 13);
  EXPECT_LT(l.plot.left, l.plot.right);
  EXPECT_LT(l.plot.top, l.plot.bottom);
}

TEST(ChartMapping, ValuesAndSamplesToPixels) {
  PixelRect plot{20, 10, 120, 60};
  EXPECT_EQ(ValueToPixelY(0, plot), 60);
  EXPECT_EQ(ValueToPixelY(100, plot), 10);
  EXPECT_EQ(ValueToPixelY(50, plot), 35);
  EXPECT_EQ(ValueToPixelY(110, plot), 5);  // not clipped
  EXPECT_EQ(SampleToPixelX(1, 1, 101, plot), 20);
  EXPECT_EQ(SampleToPixelX(101, 1, 101, plot), 120);
  EXPECT_EQ(SampleToPixelX(51, 1, 101, plot), 70);
  EXPECT_EQ(SampleToPixelX(7, 7, 7, plot), 120);  // one sample: right edge
  std::deque<ChartPoint> line = {{1, 0}, {2, 100}, {3, 50}};
  std::vector<PixelPoint> px;
  MapLinePoints(line, 1, 3, plot, &px);
  ASSERT_EQ(px.size(), 3u);
  EXPECT_EQ(px[0].x, 20);
  EXPECT_EQ(px[1].x, 70);
  EXPECT_EQ(px[1].y, 10);
  EXPECT_EQ(px[2].x, 120);
  EXPECT_EQ(px[2].y, 35);
}

TEST(Gauge, FillGrowsFromTheBottom) {
  GaugeGeometry g = ComputeGauge(32, 73, 0);
  EXPECT_EQ(g.inner.top, 1);
  EXPECT_EQ(g.inner.bottom, 72);
  EXPECT_EQ(g.fill.Height(), 0);
  g = ComputeGauge(32, 73, 100);
  EXPECT_EQ(g.fill.top, g.inner.top);
  g = ComputeGauge(32, 73, 50);
  EXPECT_EQ(g.fill.bottom, 72);
  EXPECT_EQ(g.fill.Height(), 36);  // 71 / 2 rounded
  EXPECT_EQ(ComputeGauge(32, 73, 250).fill.Height(), 71);
  EXPECT_EQ(ComputeGauge(32, 73, -5).fill.Height(), 0);
  EXPECT_EQ(GaugeText(37), "37%");
  EXPECT_EQ(GaugeText(140), "100%");
}

TEST(FormLayout, DesignSizeGivesTheDesignPositions) {
  FormLayout l = ComputeFormLayout(257, 105, false);
  EXPECT_EQ(l.sb_hide.left, 220);
  EXPECT_EQ(l.sb_close.left, 237);
  EXPECT_EQ(l.label_cpu_speed.left, 64);
  EXPECT_EQ(l.label_memory_used.left, 146);
  EXPECT_EQ(l.gauge.left, 217);
  EXPECT_EQ(l.gauge.Height(), 73);
  EXPECT_EQ(l.chart.top, 24);
  EXPECT_EQ(l.chart.Width(), 217);
  EXPECT_EQ(l.chart.Height(), 76);
}

TEST(FormLayout, DefaultSizeAndHiddenBarGraph) {
  FormLayout l = ComputeFormLayout(250, 105, false);
  EXPECT_EQ(l.sb_close.right, 250);
  EXPECT_EQ(l.sb_hide.left, 213);
  EXPECT_EQ(l.gauge.left, 210);
  EXPECT_EQ(l.chart.Width(), 210);  // ends where the gauge begins
  FormLayout hidden = ComputeFormLayout(250, 105, true);
  EXPECT_EQ(hidden.chart.Width(), 250);  // reaches the right edge
  // Taller window: graph and gauge grow, the title row stays.
  FormLayout tall = ComputeFormLayout(250, 205, false);
  EXPECT_EQ(tall.chart.Height(), 176);
  EXPECT_EQ(tall.gauge.Height(), 173);
  EXPECT_EQ(tall.sb_menu.top, 0);
  // Labels keep their proportional place: twice as wide, centre twice as far.
  FormLayout wide = ComputeFormLayout(514, 105, false);
  EXPECT_EQ(wide.label_cpu_speed.left, 147);  // centre 82.5 -> 165
}

TEST(FormLayout, ExtremeSizesFromTheFileStayInRange) {
  const FormLayout none = ComputeFormLayout(INT_MIN, INT_MIN, false);
  EXPECT_EQ(none.chart.Width(), 0);
  EXPECT_EQ(none.chart.Height(), 0);
  const FormLayout huge = ComputeFormLayout(INT_MAX, INT_MAX, true);
  EXPECT_GT(huge.sb_close.left, huge.sb_hide.left);
  EXPECT_GT(huge.sb_hide.left, 0);
  EXPECT_EQ(huge.chart.right, huge.sb_close.right);
}

TEST(FormLayout, SplashLeavesTheSpacerClear) {
  PixelRect r = SplashRect(210, 76);
  EXPECT_EQ(r.left, 25);
  EXPECT_EQ(r.right, 210);
  EXPECT_EQ(SplashRect(10, 76).left, 10);
}

// Every widget at 125, 150 and 200 %: each edge within a pixel of its
// design edge scaled, exactly doubled at 200 %, and neighbours still meet.
TEST(FormLayout, EveryWidgetFollowsTheScaling) {
  const FormLayout base = ComputeFormLayout(250, 105, false);
  auto rects = [](const FormLayout& l) {
    return std::vector<PixelRect>{l.image_move, l.sb_menu, l.label_cpu_speed, l.label_memory_used,
                                  l.sb_hide, l.sb_close, l.chart, l.gauge};
  };
  for (int dpi : {120, 144, 192}) {
    SCOPED_TRACE(dpi);
    const int w = ScaleToDpi(250, dpi), h = ScaleToDpi(105, dpi);
    const FormLayout l = ComputeFormLayout(w, h, false, dpi);
    const auto want = rects(base), got = rects(l);
    for (size_t i = 0; i < want.size(); ++i) {
      // The labels' proportional place rounds on its own.
      const int slack = dpi == 192 && i != 2 && i != 3 ? 0 : 1;
      EXPECT_NEAR(got[i].left, ScaleToDpi(want[i].left, dpi), slack) << "widget " << i;
      EXPECT_NEAR(got[i].top, ScaleToDpi(want[i].top, dpi), slack) << "widget " << i;
      EXPECT_NEAR(got[i].right, ScaleToDpi(want[i].right, dpi), slack) << "widget " << i;
      EXPECT_NEAR(got[i].bottom, ScaleToDpi(want[i].bottom, dpi), slack) << "widget " << i;
    }
    EXPECT_EQ(l.chart.right, l.gauge.left);
    EXPECT_EQ(l.sb_close.right, w);
    EXPECT_EQ(l.gauge.bottom, h - ScaleToDpi(6, dpi));
    EXPECT_EQ(l.chart.bottom, h - ScaleToDpi(5, dpi));
    EXPECT_EQ(ComputeFormLayout(w, h, true, dpi).chart.right, w);
    EXPECT_EQ(SplashRect(l.chart.Width(), l.chart.Height(), dpi).left, ScaleToDpi(25, dpi));
  }
}

// The graph's own figures: the tick, the gap before the labels and the
// axis line's width scale; the gauge's frame too.
TEST(ChartLayout, TicksGapAxisAndFrameFollowTheScaling) {
  const ChartLayout l = ComputeChartLayout(420, 152, 36, 26, 192);
  EXPECT_EQ(l.axis_width, 2);
  EXPECT_EQ(l.tick_length, 6);
  EXPECT_EQ(l.axis_x, 36 + 4 + 6);
  EXPECT_EQ(l.plot.left, l.axis_x + 2);
  const GaugeGeometry g = ComputeGauge(64, 146, 100, 192);
  EXPECT_EQ(g.frame_width, 2);
  EXPECT_EQ(g.inner.left, 2);
  EXPECT_EQ(g.fill.bottom, 144);
  EXPECT_EQ(g.fill.top, 2);
}

}  // namespace
}  // namespace zt
