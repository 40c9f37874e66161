#include "util/shell_win.h"

#include "util/dpi_win.h"

namespace zt {

template <>
IShell& Seam<IShell>::Real() {
  class SystemShell final : public IShell {
   public:
    int Open(HWND owner, const std::wstring& target) override {
      HINSTANCE r = ShellExecuteW(owner, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
      return static_cast<int>(reinterpret_cast<INT_PTR>(r));
    }
    bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) override {
      return Shell_NotifyIconW(message, data) != FALSE;
    }
    int NotifyIconSize() override {
      // The task bar's own window tells which monitor (and so which dpi)
      // the notification area is on; without one, the primary monitor's.
      HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
      HMONITOR monitor = taskbar ? MonitorFromWindow(taskbar, MONITOR_DEFAULTTOPRIMARY)
                                 : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
      return SystemMetricForDpi(SM_CXSMICON, MonitorDpi(monitor));
    }
  };
  static SystemShell shell;
  return shell;
}

}  // namespace zt
