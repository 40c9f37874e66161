// The window-manager calls whose effect a test cannot arrange or see under
// Wine: letting a broadcast through the message filter of an elevated
// process, and the system-wide hot key (a combination another program holds,
// the flags it was asked with).  Code reaches them through
// Seam<IUserCalls>::Get(), so tests put a fake in their place.
#pragma once

#include <windows.h>

#include "util/seam.h"

namespace zt {

class IUserCalls {
 public:
  virtual ~IUserCalls() = default;
  // ChangeWindowMessageFilterEx with MSGFLT_ALLOW: `message` reaches `window`
  // from processes of lower integrity too.  A process run as administrator
  // sits above Explorer, and the system drops such messages otherwise.
  // False where the system has no such filter (before Windows 7) or refused.
  virtual bool AllowMessageFromLowerIntegrity(HWND window, UINT message) = 0;
  // RegisterHotKey; false when the combination is refused (held elsewhere).
  virtual bool RegisterHotKey(HWND window, int id, UINT modifiers, UINT key) = 0;
};
template <>
IUserCalls& Seam<IUserCalls>::Real();

}  // namespace zt
