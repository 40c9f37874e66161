// Live GDI and USER objects of a test program, counted at the system calls
// themselves.  The test program is linked with every creating and releasing
// function below wrapped (zt_count_gui_objects in tests/CMakeLists.txt): the
// calls of the core library and of the tests go through the counting layer
// whatever made them, so a raw CreateSolidBrush or GetDC that is never
// released shows, not only objects made through the handle owners of
// util/handles_win.h.  (GetGuiResources cannot be used: it answers 0 under
// Wine.)
//
// Counted as GDI: brushes, pens, fonts, bitmaps, DIB sections, regions,
// memory DCs (CreateCompatibleDC), window DCs (GetDC, GetWindowDC, GetDCEx);
// released by DeleteObject, DeleteDC, ReleaseDC.  Counted as USER: icons
// (CreateIconIndirect, CopyIcon, LoadImageW unshared) and menus (CreateMenu, CreatePopupMenu);
// released by DestroyIcon and DestroyMenu, which also destroys the menus
// attached to the one destroyed.  A handle counts once however often it is
// released; a release the system refuses leaves it counted.
//
// InvalidateRect is counted too, per window, so a test can tell that a
// window asked for no repainting.
#pragma once

#include <windows.h>

namespace zt::test {

struct GuiObjectCounts {
  long gdi = 0;
  long user = 0;
};

// The objects made and not yet released, in this process, so far.
GuiObjectCounts LiveGuiObjects();

// InvalidateRect calls for `window` in this process so far.
long InvalidationsOf(HWND window);

}  // namespace zt::test
