// zettrim-window: lets scripts/run.sh wait for the monitor's main window and
// close it as a user would, from inside the same Wine session.
//   zettrim-window wait SECONDS   prints "LEFT TOP RIGHT BOTTOM" (screen
//                                 pixels) once the main window is visible
//   zettrim-window close SECONDS  asks the main window to close (WM_CLOSE)
//                                 and waits until it is gone
// Exit status: 0 done, 1 not within the time (or no window to close),
// 2 bad arguments.  Not part of the release.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/main_form_win.h"

namespace {

HWND FindMainWindow() { return FindWindowW(zt::kMainWindowClass, zt::kMainWindowTitle); }

bool Elapsed(DWORD start, DWORD limit_ms) { return GetTickCount() - start >= limit_ms; }

int WaitVisible(DWORD limit_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    const HWND hwnd = FindMainWindow();
    RECT r;
    if (hwnd && IsWindowVisible(hwnd) && GetWindowRect(hwnd, &r) && r.right > r.left &&
        r.bottom > r.top) {
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
      return 0;
    }
    if (Elapsed(start, limit_ms)) {
      std::fprintf(stderr, "zettrim-window: no visible main window within %lu s\n", limit_ms / 1000);
      return 1;
    }
    Sleep(100);
  }
}

int Close(DWORD limit_ms) {
  const HWND hwnd = FindMainWindow();
  if (!hwnd) {
    std::fprintf(stderr, "zettrim-window: there is no main window to close\n");
    return 1;
  }
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  const DWORD start = GetTickCount();
  while (IsWindow(hwnd)) {
    if (Elapsed(start, limit_ms)) {
      std::fprintf(stderr, "zettrim-window: the main window was still open after %lu s\n",
                   limit_ms / 1000);
      return 1;
    }
    Sleep(100);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  char* end = nullptr;
  const long seconds = argc == 3 ? std::strtol(argv[2], &end, 10) : -1;
  if (argc != 3 || *end != '\0' || seconds < 0 || seconds > 86400) {
    std::fprintf(stderr, "usage: zettrim-window wait|close SECONDS\n");
    return 2;
  }
  const DWORD limit_ms = static_cast<DWORD>(seconds) * 1000;
  if (std::strcmp(argv[1], "wait") == 0) return WaitVisible(limit_ms);
  if (std::strcmp(argv[1], "close") == 0) return Close(limit_ms);
  std::fprintf(stderr, "usage: zettrim-window wait|close SECONDS\n");
  return 2;
}
