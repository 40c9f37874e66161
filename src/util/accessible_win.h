// What a screen reader reads of a control, where the system's own rules
// would read nothing useful: a slider or a list has no text of its own, a
// colour box would be read as the colour it shows, a label drawn as a link
// would be read as plain text.  The control answers the accessibility
// request (WM_GETOBJECT) with the system's own object for it, with the name,
// role or default action given here in place of the system's.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace zt {

struct AccessibleOverride {
  // Asked each time a screen reader asks, so a name may follow what the
  // control shows; empty: the system's.
  std::function<std::wstring()> name;
  // ROLE_SYSTEM_...; 0: the system's.
  long role = 0;
  // What "do the default action" (a screen reader's activation) does, and
  // its name ("Jump"); empty: the system's.
  std::function<void()> default_action;
  std::wstring default_action_name;
};

// From now on, until the control is destroyed; a second call replaces the
// first.  False when the control could not be subclassed.
bool SetAccessibleOverride(HWND control, AccessibleOverride override);

// A fixed name.
bool SetAccessibleName(HWND control, const std::wstring& name);

}  // namespace zt
