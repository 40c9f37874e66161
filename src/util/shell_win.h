// The calls the program makes to the Windows shell: handing a document or a
// web address to its program, and the notification-area icon.  Code reaches
// them through Seam<IShell>::Get(), so tests put a FakeShell in their place
// (ScopedOverride<IShell>) and nothing opens or appears on the desktop.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "util/seam.h"

namespace zt {

class IShell {
 public:
  virtual ~IShell() = default;
  // ShellExecute with the verb "open": above 32 on success, else the error.
  virtual int Open(const std::wstring& target) = 0;
  // Shell_NotifyIcon.
  virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) = 0;
};
template <>
IShell& Seam<IShell>::Real();

// Records every call; opening answers `open_result`, the icon calls succeed
// unless told to refuse modifications (a restarted task bar).
class FakeShell : public IShell {
 public:
  struct IconCall {
    DWORD message;
    std::wstring tip;
    HICON icon;
  };
  int Open(const std::wstring& target) override;
  bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) override;

  int open_result = 42;
  bool refuse_modify = false;
  std::vector<std::wstring> opened;
  std::vector<IconCall> icon_calls;
};

}  // namespace zt
