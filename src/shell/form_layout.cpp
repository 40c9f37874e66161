#include "shell/form_layout.h"

#include <algorithm>
#include <cmath>

#include "shell/more_resources.h"

namespace zt {
namespace {

// Design edges, each scaled on its own: neighbours share an edge exactly.
struct Scaler {
  int dpi;
  int operator()(int design) const { return ScaleToDpi(design, dpi); }
  PixelRect At(int left, int top, int width, int height) const {
    return {(*this)(left), (*this)(top), (*this)(left + width), (*this)(top + height)};
  }
};

PixelRect Span(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

// Anchored neither left nor right: the centre keeps its share of the width.
int ProportionalLeft(int design_left, int design_width, int width, int client_width) {
  const double centre = (design_left + design_width / 2.0) * client_width / kDesignClientWidth;
  return static_cast<int>(std::lround(centre - width / 2.0));
}

}  // namespace

FormLayout ComputeFormLayout(int w, int h, bool hide_bar_graph, int dpi, bool more_line) {
  // The size may come straight from a hand-edited settings file
  // (PosWidth=-2147483648); no window is narrower than nothing or wider than
  // this, and the sums below stay in range.
  constexpr int kLargestClient = 1 << 20;
  w = std::clamp(w, 0, kLargestClient);
  h = std::clamp(h, 0, kLargestClient);
  const Scaler s{dpi};
  FormLayout l;
  if (more_line) {
    const int line_top = std::max(0, h - s(kMoreLineDesignHeight));
    l.more_line = Span(s(4), line_top, std::max(s(4), w - s(4)), h);
    h = line_top;
  }
  // Right- and bottom-anchored edges keep their design distance from the
  // right and bottom edges.
  auto from_right = [&](int design_x) { return w - s(kDesignClientWidth - design_x); };
  auto from_bottom = [&](int design_y) { return h - s(kDesignClientHeight - design_y); };
  l.image_move = s.At(0, 0, 20, 20);
  l.sb_menu = s.At(21, 0, 16, 20);
  const int label_top = s(5), label_bottom = s(5 + 13);
  const int speed_width = s(37), memory_width = s(30);
  const int speed_left = ProportionalLeft(64, 37, speed_width, w);
  const int memory_left = ProportionalLeft(146, 30, memory_width, w);
  l.label_cpu_speed = Span(speed_left, label_top, speed_left + speed_width, label_bottom);
  l.label_memory_used = Span(memory_left, label_top, memory_left + memory_width, label_bottom);
  l.sb_hide = Span(from_right(220), 0, from_right(236), s(20));
  l.sb_close = Span(from_right(237), 0, from_right(257), s(20));
  const int gauge_top = s(26);
  l.gauge = Span(from_right(217), gauge_top, from_right(249), std::max(gauge_top, from_bottom(99)));
  const int chart_top = s(24);
  const int chart_right = hide_bar_graph ? w : l.gauge.left;
  l.chart = Span(0, chart_top, std::max(0, chart_right), std::max(chart_top, from_bottom(100)));
  return l;
}

PixelRect SplashRect(int chart_width, int chart_height, int dpi) {
  return {std::min(ScaleToDpi(kSplashSpacerWidth, dpi), chart_width), 0, chart_width, chart_height};
}

PixelPoint MenuButtonMenuOffset(int dpi) {
  // The menu button's width and height.
  return {ScaleToDpi(16, dpi), ScaleToDpi(20, dpi)};
}

}  // namespace zt
