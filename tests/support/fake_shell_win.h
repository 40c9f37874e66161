// A shell that records every call instead of making it (ScopedOverride<IShell>):
// nothing opens or appears on the desktop.  Opening answers `open_result`;
// the icon calls succeed unless told to refuse modifications (a restarted
// task bar).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "util/shell_win.h"

namespace zt::test {

class FakeShell : public IShell {
 public:
  struct IconCall {
    DWORD message;
    std::wstring tip;
    HICON icon;
  };
  int Open(HWND owner, const std::wstring& target) override {
    opened.push_back(target);
    owners.push_back(owner);
    return open_result;
  }
  bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) override {
    if (on_notify) on_notify(message);
    icon_calls.push_back({message, data->szTip, data->hIcon});
    if (message == NIM_ADD) shown = true;  // as the program counts it: a failed add is retried
    if (message == NIM_DELETE) shown = false;
    return !(message == NIM_MODIFY && refuse_modify);
  }

  int NotifyIconSize() override { return icon_size; }

  int open_result = 42;
  int icon_size = 16;  // the notification area's icon side
  bool refuse_modify = false;
  // Runs at each icon call, before it is recorded (tests that look at the
  // program's state at that moment).
  std::function<void(DWORD message)> on_notify;
  std::vector<std::wstring> opened;
  std::vector<HWND> owners;  // the window passed with each opening
  std::vector<IconCall> icon_calls;
  bool shown = false;  // an icon added and not removed since
};

}  // namespace zt::test
