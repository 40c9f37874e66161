// The main window's live figures while nobody sees them.  In tray mode the
// window is hidden, yet samples keep coming: the graph keeps its points and
// the figures are noted here, but no widget is touched.  When the window is
// shown, what changed meanwhile reaches the widgets in one go, so it shows
// exactly what it would have shown had it been visible all along.
// Portable: the window says when it is shown or hidden and asks, figure by
// figure, whether the widget is to be told now.
#pragma once

#include <optional>
#include <string>

namespace zt {

// What a showing brings up to date: the latest of each figure that arrived
// while the window was hidden, and whether the graph's points changed.
struct HeldFigures {
  std::optional<int> gauge;
  std::optional<std::string> memory_label;  // UTF-8
  std::optional<std::string> speed_label;   // UTF-8
  bool more_line = false;  // the window keeps its figures
  bool graph = false;
};

class LiveFigures {
 public:
  bool shown() const { return shown_; }
  // The window was shown or hidden.  A showing hands over the figures held
  // while it was hidden (each once); a hiding hands over nothing.
  HeldFigures SetShown(bool shown);

  // Each is true when the widget is to be told now; otherwise the figure is
  // held for the next showing.
  bool Gauge(int percent);
  bool MemoryLabel(const std::string& text);
  bool SpeedLabel(const std::string& text);
  bool MoreLine();
  bool GraphChanged();

 private:
  bool shown_ = false;
  HeldFigures held_;
};

}  // namespace zt
