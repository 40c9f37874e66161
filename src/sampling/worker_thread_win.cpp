#include <windows.h>

#include <atomic>

#include "sampling/worker_thread.h"
#include "util/handles_win.h"
#include "util/message_window_win.h"
#include "util/caught.h"

namespace zt::detail {

namespace {

constexpr wchar_t kWakeWindowClass[] = L"Zettrim.SynchronizeWindow";
constexpr UINT kWakeMessage = WM_APP + 1;

std::atomic<HWND> g_wake_window{nullptr};
// Set while a wake-up message is on its way, so a busy worker does not fill
// the UI thread's queue with duplicates.
std::atomic<bool> g_wake_pending{false};

LRESULT CALLBACK WakeWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  if (msg == kWakeMessage) {
    g_wake_pending.store(false);
    try {
      ServeSynchronizeQueue();
    } catch (...) {
      RecordCaught("wake-up window procedure");
      // A failing call is handed back to its worker; nothing may unwind
      // into the system.
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace

void PrepareUiWakeup() {
  if (g_wake_window.load()) return;
  // Lives as long as the process (the thread that made it owns it).
  HWND hwnd = CreateMessageOnlyWindow(kWakeWindowClass, WakeWindowProc);
  HWND expected = nullptr;
  if (hwnd && !g_wake_window.compare_exchange_strong(expected, hwnd)) DestroyWindow(hwnd);
}

void WakeUiThread() {
  HWND hwnd = g_wake_window.load();
  if (!hwnd) return;
  if (g_wake_pending.exchange(true)) return;
  if (!PostMessageW(hwnd, kWakeMessage, 0, 0)) g_wake_pending.store(false);
}

// A manual-reset event: once set, every wait on it returns at once.
struct TerminateSignal::Impl {
  UniqueHandle event{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

TerminateSignal::TerminateSignal() : impl_(std::make_unique<Impl>()) {}
TerminateSignal::~TerminateSignal() = default;

void TerminateSignal::Set() {
  if (impl_->event) SetEvent(impl_->event.get());
}

void TerminateSignal::Wait(uint32_t ms) {
  // Without an event (the system refused one) the pause is a plain one; the
  // caller still sees the request when it wakes.
  if (!impl_->event) {
    Sleep(ms);
    return;
  }
  WaitForSingleObject(impl_->event.get(), ms);
}

}  // namespace zt::detail
