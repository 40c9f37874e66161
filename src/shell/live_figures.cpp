#include "shell/live_figures.h"

#include <utility>

namespace zt {

HeldFigures LiveFigures::SetShown(bool shown) {
  const bool showing = shown && !shown_;
  shown_ = shown;
  if (!showing) return {};
  return std::exchange(held_, HeldFigures{});
}

bool LiveFigures::Gauge(int percent) {
  if (shown_) return true;
  held_.gauge = percent;
  return false;
}

bool LiveFigures::MemoryLabel(const std::string& text) {
  if (shown_) return true;
  held_.memory_label = text;
  return false;
}

bool LiveFigures::SpeedLabel(const std::string& text) {
  if (shown_) return true;
  held_.speed_label = text;
  return false;
}

bool LiveFigures::MoreLine() {
  if (shown_) return true;
  held_.more_line = true;
  return false;
}

bool LiveFigures::GraphChanged() {
  if (shown_) return true;
  held_.graph = true;
  return false;
}

}  // namespace zt
