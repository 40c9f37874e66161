// Colour settings as GDI takes them.  The settings hold 0x00BBGGRR values or
// system colour constants (the top bit set, the low byte naming the system
// colour: -2147483633 is the button face); GDI understands only the first.
#pragma once

#include <windows.h>

#include "config/config.h"

namespace zt {

// The colour GDI should use: a system colour constant becomes the colour the
// system uses now.
inline COLORREF ToColorRef(Color color) {
  if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFFu));
  return static_cast<COLORREF>(color);
}

}  // namespace zt
