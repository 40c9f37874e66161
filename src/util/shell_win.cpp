#include "util/shell_win.h"

namespace zt {

template <>
IShell& Seam<IShell>::Real() {
  class SystemShell final : public IShell {
   public:
    int Open(const std::wstring& target) override {
      HINSTANCE r = ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
      return static_cast<int>(reinterpret_cast<INT_PTR>(r));
    }
    bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) override {
      return Shell_NotifyIconW(message, data) != FALSE;
    }
  };
  static SystemShell shell;
  return shell;
}

int FakeShell::Open(const std::wstring& target) {
  opened.push_back(target);
  return open_result;
}

bool FakeShell::NotifyIcon(DWORD message, NOTIFYICONDATAW* data) {
  icon_calls.push_back({message, data->szTip, data->hIcon});
  return !(message == NIM_MODIFY && refuse_modify);
}

}  // namespace zt
