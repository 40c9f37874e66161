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

}  // namespace zt
