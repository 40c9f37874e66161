// Receives the texts the program sends back to the test query
// (support/app_query_win.h): a message-only window of the test process.
#pragma once

#include <windows.h>

#include <string>

#include "main_window_support.h"

namespace zt::e2e {

class QueryReceiver {
 public:
  QueryReceiver() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Zettrim.Test.InfoReceiver";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~QueryReceiver() { DestroyWindow(hwnd_); }

  std::wstring Ask(HWND info, AppQuery what) {
    text_.clear();
    QueryOwner(info, what, reinterpret_cast<LPARAM>(hwnd_));
    return text_;
  }
  static bool Reading(HWND info) { return QueryOwner(info, AppQuery::InfoReading) == 1; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_COPYDATA) {
      auto* self = reinterpret_cast<QueryReceiver*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
      self->text_.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
      return TRUE;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
  HWND hwnd_ = nullptr;
  std::wstring text_;
};

}  // namespace zt::e2e
