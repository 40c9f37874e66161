// Shared steps of the main-window end-to-end tests.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "shell/main_form_win.h"
#include "support/app_query_win.h"

namespace zt::e2e {

using test::AppQuery;

// The query window of the program with this process id, or null (before
// the program's run and after it).
inline HWND QueryWindowOf(DWORD pid) {
  HWND h = nullptr;
  while ((h = FindWindowExW(HWND_MESSAGE, h, test::kAppQueryClass, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) return h;
  }
  return nullptr;
}

// One answer of the program with this process id (lParam for the texts:
// the window that receives them), -2 without the query window or an answer.
inline LRESULT Query(DWORD pid, AppQuery item, LPARAM lparam = 0) {
  HWND h = QueryWindowOf(pid);
  DWORD_PTR result = 0;
  if (!h || !SendMessageTimeoutW(h, RegisterWindowMessageW(test::kAppQueryMessage), static_cast<WPARAM>(item),
                                 lparam, SMTO_ABORTIFHUNG, 5000, &result))
    return -2;
  return static_cast<LRESULT>(result);
}

// The same, asked of the program that made `window`.
inline LRESULT QueryOwner(HWND window, AppQuery item, LPARAM lparam = 0) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return Query(pid, item, lparam);
}

// The two sampling threads of the program with this process id, held open
// from here so that their end shows at once, whatever the program's user
// interface thread is busy with meanwhile.
class SamplingThreads {
 public:
  explicit SamplingThreads(DWORD pid) {
    for (AppQuery item : {AppQuery::MonitorThreadId, AppQuery::ClockThreadId}) {
      const LRESULT id = Query(pid, item);
      HANDLE h = id > 0 ? OpenThread(SYNCHRONIZE, FALSE, static_cast<DWORD>(id)) : nullptr;
      if (h) handles_[count_++] = h;
      if (h && item == AppQuery::MonitorThreadId) monitor_id_ = static_cast<DWORD>(id);
    }
  }
  ~SamplingThreads() {
    for (DWORD i = 0; i < count_; ++i) CloseHandle(handles_[i]);
  }
  SamplingThreads(const SamplingThreads&) = delete;
  SamplingThreads& operator=(const SamplingThreads&) = delete;

  // Both were found running.
  bool Held() const { return count_ == 2; }
  // The monitor thread's system id (0 when it was not found).
  DWORD MonitorThreadId() const { return monitor_id_; }
  bool Ended() const { return count_ > 0 && WaitForMultipleObjects(count_, handles_, TRUE, 0) == WAIT_OBJECT_0; }

 private:
  HANDLE handles_[2] = {};
  DWORD count_ = 0;
  DWORD monitor_id_ = 0;
};

// Holds a thread of another process where it stands (SuspendThread) until
// released or destroyed.
class HeldThread {
 public:
  explicit HeldThread(DWORD thread_id)
      : handle_(thread_id ? OpenThread(THREAD_SUSPEND_RESUME, FALSE, thread_id) : nullptr) {
    held_ = handle_ && SuspendThread(handle_) != static_cast<DWORD>(-1);
  }
  ~HeldThread() {
    Release();
    if (handle_) CloseHandle(handle_);
  }
  HeldThread(const HeldThread&) = delete;
  HeldThread& operator=(const HeldThread&) = delete;

  bool held() const { return held_; }
  void Release() {
    if (held_) ResumeThread(handle_);
    held_ = false;
  }

 private:
  HANDLE handle_;
  bool held_ = false;
};

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

// The thread of `window` has the keyboard focus on this window.
inline HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// The focus to a control of the program, as a click on it would put it.
inline bool FocusControl(HWND control) {
  const DWORD thread = GetWindowThreadProcessId(control, nullptr);
  AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
  SetForegroundWindow(GetAncestor(control, GA_ROOT));
  SetFocus(control);
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  return WaitUntil([&] { return FocusOf(control) == control; }, 3000);
}

// The keys go down in order and come up in reverse, as a chord is typed.
inline bool Keys(std::initializer_list<WORD> chord) {
  std::vector<INPUT> in;
  for (WORD key : chord) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    in.push_back(i);
  }
  for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = *key;
    i.ki.dwFlags = KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  const bool sent = SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
  Sleep(150);  // the program takes them in
  return sent;
}

}  // namespace zt::e2e
