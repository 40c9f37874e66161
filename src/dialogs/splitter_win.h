// A vertical bar between two panes that the user drags with the mouse (the
// sizing cursor shows over it).  While it is dragged it moves itself within
// its parent, keeping the panes on both sides at least `min_pane` wide, and
// tells its parent each move with WM_COMMAND (its id, kSplitterMoved); the
// parent then lays the panes out against the bar's new left edge.
#pragma once

#include <windows.h>

namespace zt {

inline constexpr WORD kSplitterMoved = 1;

HWND CreateSplitter(HINSTANCE instance, HWND parent, int id, int x, int y, int width, int height, int min_pane);
// The smallest pane width from now on (pixels; it changes with the dpi).
void SetSplitterMinPane(HWND splitter, int min_pane);

}  // namespace zt
