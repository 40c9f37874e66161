// Where the main window's widgets sit for a given client size: the design
// layout is 257 x 105 design units; controls anchored right move with the
// right edge, the graph stretches, and the two labels (anchored to the top
// only) keep their proportional horizontal place.  Every design figure is
// scaled to the window's dpi here, edge by edge, so that the widgets tile
// without gaps at any scaling and nothing moves at 96 dpi.  Portable.
#pragma once

#include "shell/chart_model.h"
#include "util/dpi.h"

namespace zt {

constexpr int kDesignClientWidth = 257;
constexpr int kDesignClientHeight = 105;

struct FormLayout {
  PixelRect image_move;
  PixelRect sb_menu;
  PixelRect label_cpu_speed;    // design width; the label grows with its text
  PixelRect label_memory_used;
  PixelRect sb_hide;
  PixelRect sb_close;
  PixelRect chart;
  PixelRect gauge;
  PixelRect more_line;  // empty unless the line is shown
};

// With the gauge hidden the graph reaches the right edge; with it shown the
// graph ends where the gauge begins.  The client size is in the window's
// pixels at `dpi`.  With more_line the window has grown by that line
// (kMoreLineDesignHeight, more_resources.h): it takes the bottom strip, and
// everything else sits above it as it would in the window without it.
FormLayout ComputeFormLayout(int client_width, int client_height, bool hide_bar_graph, int dpi = kDesignDpi,
                             bool more_line = false);

// The splash text's area inside the graph: right of the 25-unit spacer that
// keeps it clear of the axis labels.
constexpr int kSplashSpacerWidth = 25;
PixelRect SplashRect(int chart_width, int chart_height, int dpi = kDesignDpi);

// Where the pop-up menu opens from the menu button: right of and below the
// button, from the window's top-left corner.
PixelPoint MenuButtonMenuOffset(int dpi);

}  // namespace zt
