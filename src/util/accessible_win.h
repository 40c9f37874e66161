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

#include "util/seam.h"

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

// A fixed name.  Where the system's annotation service takes it, the
// control keeps the system's own object (with the slider's range and value,
// a list's selection, a check box's state) and only its name is given;
// where the service is missing or refuses (Wine), the control answers as
// SetAccessibleOverride does.
bool SetAccessibleName(HWND control, const std::wstring& name);

// The system's annotation of a window's own accessible object
// (IAccPropServices), through Seam<IAccessibleAnnotation>::Get().
class IAccessibleAnnotation {
 public:
  virtual ~IAccessibleAnnotation() = default;
  // SetHwndPropStr of the name for the window's client object; false where
  // the service is missing or refuses it.
  virtual bool SetName(HWND control, const std::wstring& name) = 0;
  // ClearHwndProps of the name, as the window goes.
  virtual void ClearName(HWND control) = 0;
};
template <>
IAccessibleAnnotation& Seam<IAccessibleAnnotation>::Real();

}  // namespace zt
