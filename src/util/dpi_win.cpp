#include "util/dpi_win.h"

#include "util/dynamic_calls_win.h"

namespace zt {
namespace {

int Sane(UINT dpi) { return dpi >= 24 && dpi <= 24 * kDesignDpi ? static_cast<int>(dpi) : kDesignDpi; }

}  // namespace

int SystemDpi() {
  if (const auto fn = User32().GetDpiForSystem) return Sane(fn());
  HDC screen = GetDC(nullptr);
  if (!screen) return kDesignDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return Sane(static_cast<UINT>(dpi));
}

int MonitorDpi(HMONITOR monitor) {
  UINT x = 0, y = 0;
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  if (const auto fn = Shcore().GetDpiForMonitor; fn && monitor && SUCCEEDED(fn(monitor, kEffectiveDpi, &x, &y)))
    return Sane(y);
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  if (dpi <= 0) dpi = SystemDpi();
  if (const auto fn = User32().GetSystemMetricsForDpi) {
    const int value = fn(index, static_cast<UINT>(dpi));
    if (value > 0) return value;
  }
  return MulDivRound(GetSystemMetrics(index), dpi, SystemDpi());
}

int WindowDpi(HWND hwnd) {
  if (!hwnd) return SystemDpi();
  if (const auto fn = User32().GetDpiForWindow) {
    const UINT dpi = fn(hwnd);
    if (dpi != 0) return Sane(dpi);
  }
  return MonitorDpi(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
}

}  // namespace zt
