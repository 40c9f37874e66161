#include <condition_variable>
#include <mutex>

#include "sampling/worker_thread.h"

namespace zt::detail {

// Without a message loop to wake, the thread that plays the UI thread drains
// the queue itself (ServeSynchronizeQueue or WaitFor), and the queue's
// condition variable already wakes WaitFor.
void PrepareUiWakeup() {}
void WakeUiThread() {}

// The steady clock times the wait, so a change of the system clock cannot
// stretch it.
struct TerminateSignal::Impl {
  std::mutex mutex;
  std::condition_variable cond;
  bool set = false;
};

TerminateSignal::TerminateSignal() : impl_(std::make_unique<Impl>()) {}
TerminateSignal::~TerminateSignal() = default;

void TerminateSignal::Set() {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->set = true;
  }
  impl_->cond.notify_all();
}

void TerminateSignal::Wait(uint32_t ms) {
  std::unique_lock<std::mutex> lock(impl_->mutex);
  impl_->cond.wait_for(lock, std::chrono::milliseconds(ms), [this] { return impl_->set; });
}

}  // namespace zt::detail
