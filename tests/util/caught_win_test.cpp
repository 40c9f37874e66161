// A window procedure's handler that throws: the message goes to the default
// procedure, and the fault is on record.
#include "util/caught.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "util/window_proc_win.h"

namespace zt {
namespace {

struct ThrowingWindow {
  HWND hwnd = nullptr;
  LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_APP) throw std::runtime_error("the handler failed");
    return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
};

TEST(CaughtExceptions, AThrowingWindowProcedureLeavesARecord) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = ObjectWindowProc<ThrowingWindow, &ThrowingWindow::hwnd, &ThrowingWindow::Handle>;
  wc.lpszClassName = L"Zettrim.ThrowingTest";
  RegisterClassW(&wc);
  ThrowingWindow window;
  ASSERT_NE(CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, &window),
            nullptr);
  EXPECT_EQ(SendMessageW(window.hwnd, WM_APP, 0, 0), 0);
  ASSERT_FALSE(CaughtExceptions().empty());
  EXPECT_EQ(CaughtExceptions().back().where, "window procedure");
  EXPECT_EQ(CaughtExceptions().back().what, "the handler failed");
  DestroyWindow(window.hwnd);
}

}  // namespace
}  // namespace zt
