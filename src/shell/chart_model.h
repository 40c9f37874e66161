// The load graph and the bar gauge as data and geometry: the five lines'
// points, where the axis, grid and labels go in a chart of a given size, and
// how a point becomes a pixel.  Portable, so the drawing code in
// widgets_win.cpp only strokes what this computes.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "util/dpi.h"
#include "util/pixel_geometry.h"

namespace zt {

struct ChartPoint {
  double x = 0;
  double y = 0;
};

// The graph's five lines: 0 memory, 1 to 4 processors.
constexpr int kChartLines = 5;

class ChartData {
 public:
  int PointCount(int line) const;
  void DeleteOldest(int line);
  void Add(int line, double x, double y);
  void Clear(int line);
  void ClearAll();
  const std::deque<ChartPoint>& Line(int line) const;
  // Smallest and largest x over every line; false when all lines are empty.
  bool XRange(double* min_x, double* max_x) const;

 private:
  static bool Valid(int line) { return line >= 0 && line < kChartLines; }
  std::deque<ChartPoint> lines_[kChartLines];
};

// The left axis: fixed 0 to 100, a label every 20.
constexpr int kAxisMin = 0;
constexpr int kAxisMax = 100;
constexpr int kAxisStep = 20;
constexpr int kAxisLabelCount = (kAxisMax - kAxisMin) / kAxisStep + 1;
// Design units, scaled to the graph's dpi.
constexpr int kAxisTickLength = 3;
constexpr int kAxisLabelGap = 2;
constexpr int kAxisLineWidth = 1;
constexpr int kGridDotLength = 3;  // the dotted grid: this much ink, this much air

struct ChartLayout {
  PixelRect plot;                    // where the lines go (0 at bottom, 100 at top)
  int axis_x = 0;                    // the vertical axis line's left edge
  int axis_width = 1;                // its width, and the ticks' and grid lines' thickness
  int tick_length = 3;               // the ticks reach this far left of the axis
  int label_right = 0;               // the labels end here (right-aligned)
  int grid_y[kAxisLabelCount] = {};  // y of 0, 20, ... 100 (the lines' top rows)
};

// Margins: 2 % of the height at top and bottom and 2 % of the width at the
// right, none at the left; the labels ("0" .. "100", widest label_width
// pixels, font_height high) sit left of the axis and are kept whole.  Gap,
// ticks and lines are design figures scaled to `dpi`.
ChartLayout ComputeChartLayout(int width, int height, int label_width, int font_height, int dpi = kDesignDpi);

// The label text for the grid line at `value` (format "0").
std::string AxisLabelText(int value);

// Pixel y of a value (0..100 spans the plot; values outside are not clipped).
int ValueToPixelY(double value, const PixelRect& plot);
// Pixel x of a sample number within [min_x, max_x]; a single sample sits at
// the right edge, where the newest point always is.
int SampleToPixelX(double x, double min_x, double max_x, const PixelRect& plot);

// The line's points in pixels, written into `out` (reused between frames).
void MapLinePoints(const std::deque<ChartPoint>& line, double min_x, double max_x,
                   const PixelRect& plot, std::vector<PixelPoint>* out);

// The vertical bar gauge: a frame one design unit wide, the bar growing
// from the bottom.
struct GaugeGeometry {
  PixelRect frame;
  int frame_width = 1;
  PixelRect inner;
  PixelRect fill;  // empty (top == bottom) at 0 %
};
GaugeGeometry ComputeGauge(int width, int height, int progress, int dpi = kDesignDpi);
int ClampPercent(int value);
// The figure the gauge shows and reports as its window text: "37%".
std::string GaugeText(int progress);

}  // namespace zt
