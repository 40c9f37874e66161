// The calls the program makes to the Windows shell: handing a document or a
// web address to its program, and the notification-area icon.  Code reaches
// them through Seam<IShell>::Get(), so tests put a fake in their place
// (ScopedOverride<IShell>) and nothing opens or appears on the desktop.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "util/seam.h"

namespace zt {

class IShell {
 public:
  virtual ~IShell() = default;
  // ShellExecute with the verb "open": above 32 on success, else the error.
  // The shell's own prompts ("open with", no program associated) are owned
  // by `owner`, the window whose command it is, so they open above it even
  // when it stays on top.
  virtual int Open(HWND owner, const std::wstring& target) = 0;
  // Shell_NotifyIcon.
  virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) = 0;
  // The side in pixels of the small icons the notification area shows: the
  // small-icon size at the dpi of the monitor the task bar is on (16 at
  // 96 dpi, 24 at 144, 32 at 192).
  virtual int NotifyIconSize() = 0;
};
template <>
IShell& Seam<IShell>::Real();

}  // namespace zt
