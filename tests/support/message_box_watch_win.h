// Answers the message boxes a thread shows while a test drives it, so a box
// that appears never holds the test, and records what each box was: its
// owner, text and whether it stood in the topmost band.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zt::test {

class BoxWatcher {
 public:
  struct Box {
    HWND owner;
    std::wstring title;
    std::wstring text;
    bool topmost;
  };

  // Watches the boxes of `thread` (the calling thread by default).
  explicit BoxWatcher(DWORD thread = GetCurrentThreadId()) : thread_id_(thread), watcher_([this] { Run(); }) {}
  ~BoxWatcher() {
    stop_ = true;
    watcher_.join();
  }
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  std::vector<Box> boxes() const {
    std::lock_guard<std::mutex> hold(lock_);
    return boxes_;
  }

 private:
  static std::wstring Text(HWND h) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(h, buffer, 1024);
    return buffer;
  }

  static BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
      *reinterpret_cast<HWND*>(param) = hwnd;
      return FALSE;
    }
    return TRUE;
  }

  void Run() {
    while (!stop_) {
      HWND box = nullptr;
      EnumThreadWindows(thread_id_, Visit, reinterpret_cast<LPARAM>(&box));
      if (!box) answered_ = nullptr;
      if (box && box != answered_) {
        // The message text is the box's static control with the id 0xFFFF.
        Box seen{GetWindow(box, GW_OWNER), Text(box), Text(GetDlgItem(box, 0xFFFF)),
                 (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0};
        {
          std::lock_guard<std::mutex> hold(lock_);
          boxes_.push_back(seen);
        }
        answered_ = box;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
      Sleep(20);
    }
  }

  const DWORD thread_id_;
  std::atomic<bool> stop_{false};
  HWND answered_ = nullptr;
  mutable std::mutex lock_;
  std::vector<Box> boxes_;
  std::thread watcher_;  // last: starts once everything above exists
};

}  // namespace zt::test
