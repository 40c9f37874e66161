#include "shell/chart_model.h"

#include <algorithm>
#include <cmath>

namespace zt {

int ChartData::PointCount(int line) const {
  return Valid(line) ? static_cast<int>(lines_[line].size()) : 0;
}

void ChartData::DeleteOldest(int line) {
  if (Valid(line) && !lines_[line].empty()) lines_[line].pop_front();
}

void ChartData::Add(int line, double x, double y) {
  if (Valid(line)) lines_[line].push_back({x, y});
}

void ChartData::Clear(int line) {
  if (Valid(line)) lines_[line].clear();
}

void ChartData::ClearAll() {
  for (auto& l : lines_) l.clear();
}

const std::deque<ChartPoint>& ChartData::Line(int line) const {
  static const std::deque<ChartPoint> kEmpty;
  return Valid(line) ? lines_[line] : kEmpty;
}

bool ChartData::XRange(double* min_x, double* max_x) const {
  bool any = false;
  for (const auto& l : lines_) {
    if (l.empty()) continue;
    // Points are appended in increasing x, so the ends are the extremes.
    double lo = l.front().x, hi = l.back().x;
    if (!any) {
      *min_x = lo;
      *max_x = hi;
      any = true;
    } else {
      *min_x = std::min(*min_x, lo);
      *max_x = std::max(*max_x, hi);
    }
  }
  return any;
}

namespace {
int Percent2(int v) { return static_cast<int>(std::lround(v * 0.02)); }
}  // namespace

ChartLayout ComputeChartLayout(int width, int height, int label_width, int font_height, int dpi) {
  ChartLayout l;
  const int half_font = (font_height + 1) / 2;
  l.axis_width = std::max(1, ScaleToDpi(kAxisLineWidth, dpi));
  l.tick_length = ScaleToDpi(kAxisTickLength, dpi);
  l.label_right = std::max(0, label_width);
  l.axis_x = l.label_right + ScaleToDpi(kAxisLabelGap, dpi) + l.tick_length;
  l.plot.left = l.axis_x + l.axis_width;
  l.plot.right = std::max(l.plot.left + 1, width - Percent2(width));
  l.plot.top = std::max(Percent2(height), half_font);
  l.plot.bottom = std::max(l.plot.top + 1, height - std::max(Percent2(height), half_font));
  for (int i = 0; i < kAxisLabelCount; ++i) {
    l.grid_y[i] = ValueToPixelY(kAxisMin + i * kAxisStep, l.plot);
  }
  return l;
}

std::string AxisLabelText(int value) { return std::to_string(value); }

int ValueToPixelY(double value, const PixelRect& plot) {
  const double span = plot.bottom - plot.top;
  return plot.bottom - static_cast<int>(std::lround((value - kAxisMin) / (kAxisMax - kAxisMin) * span));
}

int SampleToPixelX(double x, double min_x, double max_x, const PixelRect& plot) {
  if (!(max_x > min_x)) return plot.right;
  const double span = plot.right - plot.left;
  return plot.left + static_cast<int>(std::lround((x - min_x) / (max_x - min_x) * span));
}

void MapLinePoints(const std::deque<ChartPoint>& line, double min_x, double max_x,
                   const PixelRect& plot, std::vector<PixelPoint>* out) {
  out->clear();
  for (const ChartPoint& p : line) {
    out->push_back({SampleToPixelX(p.x, min_x, max_x, plot), ValueToPixelY(p.y, plot)});
  }
}

int ClampPercent(int value) { return std::min(100, std::max(0, value)); }

GaugeGeometry ComputeGauge(int width, int height, int progress, int dpi) {
  GaugeGeometry g;
  const int f = std::max(1, ScaleToDpi(1, dpi));
  g.frame = {0, 0, std::max(0, width), std::max(0, height)};
  g.frame_width = f;
  g.inner = {f, f, std::max(f, width - f), std::max(f, height - f)};
  const int h = g.inner.Height();
  const int filled = (h * ClampPercent(progress) + 50) / 100;
  g.fill = {g.inner.left, g.inner.bottom - filled, g.inner.right, g.inner.bottom};
  return g;
}

std::string GaugeText(int progress) { return std::to_string(ClampPercent(progress)) + "%"; }

}  // namespace zt
