#include "util/dpi_win.h"

namespace zt {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

template <typename Fn>
Fn Lookup(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (!handle) handle = LoadLibraryW(module);  // shcore is not loaded before it is asked for
  if (!handle) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

// Windows 10 1607 and later.
GetDpiForWindowFn DpiForWindow() {
  static const GetDpiForWindowFn fn = Lookup<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  return fn;
}
GetDpiForSystemFn DpiForSystem() {
  static const GetDpiForSystemFn fn = Lookup<GetDpiForSystemFn>(L"user32.dll", "GetDpiForSystem");
  return fn;
}
GetSystemMetricsForDpiFn SystemMetricsForDpi() {
  static const GetSystemMetricsForDpiFn fn =
      Lookup<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
  return fn;
}
// Windows 8.1 and later.
GetDpiForMonitorFn DpiForMonitor() {
  static const GetDpiForMonitorFn fn = Lookup<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
  return fn;
}

int Sane(UINT dpi) { return dpi >= 24 && dpi <= 24 * kDesignDpi ? static_cast<int>(dpi) : kDesignDpi; }

}  // namespace

int SystemDpi() {
  if (GetDpiForSystemFn fn = DpiForSystem()) return Sane(fn());
  HDC screen = GetDC(nullptr);
  if (!screen) return kDesignDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return Sane(static_cast<UINT>(dpi));
}

int MonitorDpi(HMONITOR monitor) {
  UINT x = 0, y = 0;
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  if (GetDpiForMonitorFn fn = DpiForMonitor(); fn && monitor && SUCCEEDED(fn(monitor, kEffectiveDpi, &x, &y)))
    return Sane(y);
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  if (dpi <= 0) dpi = SystemDpi();
  if (GetSystemMetricsForDpiFn fn = SystemMetricsForDpi()) {
    const int value = fn(index, static_cast<UINT>(dpi));
    if (value > 0) return value;
  }
  return MulDivRound(GetSystemMetrics(index), dpi, SystemDpi());
}

int WindowDpi(HWND hwnd) {
  if (!hwnd) return SystemDpi();
  if (GetDpiForWindowFn fn = DpiForWindow()) {
    const UINT dpi = fn(hwnd);
    if (dpi != 0) return Sane(dpi);
  }
  return MonitorDpi(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
}

}  // namespace zt
