#include "shell/screens_win.h"

#include <windows.h>

namespace zt {
namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  if (GetMonitorInfoW(monitor, &mi)) {
    auto* list = reinterpret_cast<std::vector<MonitorArea>*>(param);
    list->push_back({{mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom},
                     {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom}});
  }
  return TRUE;
}

}  // namespace

ScreenLayout MeasureScreens() {
  ScreenLayout s;
  s.primary_width = GetSystemMetrics(SM_CXSCREEN);
  s.primary_height = GetSystemMetrics(SM_CYSCREEN);
  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  s.desktop = {vx, vy, vx + GetSystemMetrics(SM_CXVIRTUALSCREEN), vy + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT wa = {0, 0, s.primary_width, s.primary_height};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  s.work_area = {wa.left, wa.top, wa.right, wa.bottom};
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&s.monitors));
  return s;
}

}  // namespace zt
