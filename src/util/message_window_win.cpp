#include "util/message_window_win.h"

namespace zt {

HWND CreateMessageOnlyWindow(const wchar_t* class_name, WNDPROC proc) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = class_name;
  RegisterClassExW(&wc);
  return CreateWindowExW(0, class_name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                         nullptr);
}

}  // namespace zt
