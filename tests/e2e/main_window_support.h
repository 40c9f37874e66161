// Shared steps of the main-window end-to-end tests.
#pragma once

#include <windows.h>

#include <string>

#include "e2e_support.h"
#include "shell/main_form_win.h"
#include "shell/monitors_win.h"

namespace zt::e2e {

inline LRESULT QueryMain(HWND main, MainQuery item) {
  return SendMessageW(main, RegisterWindowMessageW(kMainWindowQueryMessage), static_cast<WPARAM>(item), 0);
}

// The sampling threads' message-only query window of the program with this
// process id (it goes at the end of stopping them), or null.
inline HWND MonitorQueryWindowOf(DWORD pid) {
  HWND h = nullptr;
  while ((h = FindWindowExW(HWND_MESSAGE, h, kMonitorQueryClass, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) return h;
  }
  return nullptr;
}

// One figure of the monitor of the program with this process id, -1 without
// a monitor, -2 without the query window or an answer.
inline LRESULT QueryMonitor(DWORD pid, QueryItem item) {
  HWND h = MonitorQueryWindowOf(pid);
  DWORD_PTR result = 0;
  if (!h || !SendMessageTimeoutW(h, RegisterWindowMessageW(kQueryStatisticsMessage), static_cast<WPARAM>(item), 0,
                                 SMTO_ABORTIFHUNG, 5000, &result))
    return -2;
  return static_cast<LRESULT>(result);
}

inline RECT WindowRect(HWND h) {
  RECT r = {};
  GetWindowRect(h, &r);
  return r;
}

inline RECT ChildRectIn(HWND parent, int id) {
  RECT r = {};
  GetWindowRect(GetDlgItem(parent, id), &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline std::string IniGet(const AppFolder& folder, const char* section, const char* key) {
  std::string v;
  return IniValue(folder.ReadIni(), section, key, &v) ? v : "<missing>";
}

// Ends the program by a close request and waits for it.
inline bool CloseMain(App& app, HWND main) {
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  return app.WaitForExit(15000, &code) && code == 0;
}

inline bool WaitVisible(HWND h, bool visible, int timeout_ms = 5000) {
  return WaitUntil([&] { return (IsWindowVisible(h) != FALSE) == visible; }, timeout_ms);
}

}  // namespace zt::e2e
