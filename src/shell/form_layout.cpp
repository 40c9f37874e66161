#include "shell/form_layout.h"

#include <algorithm>
#include <cmath>

namespace zt {
namespace {

PixelRect At(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

// Anchored neither left nor right: the centre keeps its share of the width.
int ProportionalLeft(int design_left, int width, int client_width) {
  const double centre = (design_left + width / 2.0) * client_width / kDesignClientWidth;
  return static_cast<int>(std::lround(centre - width / 2.0));
}

}  // namespace

FormLayout ComputeFormLayout(int w, int h, bool hide_bar_graph) {
  // The size may come straight from a hand-edited settings file
  // (PosWidth=-2147483648); no window is narrower than nothing or wider than
  // this, and the sums below stay in range.
  constexpr int kLargestClient = 1 << 20;
  w = std::clamp(w, 0, kLargestClient);
  h = std::clamp(h, 0, kLargestClient);
  const int dw = w - kDesignClientWidth;   // how far right-anchored widgets move
  const int dh = h - kDesignClientHeight;  // how far bottom-anchored edges move
  FormLayout l;
  l.image_move = At(0, 0, 20, 20);
  l.sb_menu = At(21, 0, 16, 20);
  l.label_cpu_speed = At(ProportionalLeft(64, 37, w), 5, 37, 13);
  l.label_memory_used = At(ProportionalLeft(146, 30, w), 5, 30, 13);
  l.sb_hide = At(220 + dw, 0, 16, 20);
  l.sb_close = At(237 + dw, 0, 20, 20);
  l.gauge = At(217 + dw, 26, 32, std::max(0, 73 + dh));
  const int chart_height = std::max(0, 76 + dh);
  const int chart_width = hide_bar_graph ? w : l.gauge.left;
  l.chart = At(0, 24, std::max(0, chart_width), chart_height);
  return l;
}

PixelRect SplashRect(int chart_width, int chart_height) {
  return {std::min(kSplashSpacerWidth, chart_width), 0, chart_width, chart_height};
}

}  // namespace zt
