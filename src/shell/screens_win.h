// The screen geometry that placement works on, measured from the system:
// the primary screen, the virtual desktop, the primary work area and every
// monitor with its work area.
#pragma once

#include "shell/placement.h"

namespace zt {

ScreenLayout MeasureScreens();

}  // namespace zt
