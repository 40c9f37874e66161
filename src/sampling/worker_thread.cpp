#include "sampling/worker_thread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "util/platform.h"
#include "util/caught.h"

namespace zt {

namespace {

struct SyncCall {
  const std::function<void()>* fn = nullptr;
  bool done = false;
  std::exception_ptr error;
};

// One queue for the whole process: every worker hands its calls to the same
// UI thread.  The same mutex guards the finished flags, so WaitFor() can
// sleep on one condition for "a call arrived or the thread ended".
std::mutex g_mutex;
std::condition_variable g_cond;
std::deque<SyncCall*> g_queue;

// The thread object whose thread is running here; set by the thread itself,
// so it is valid from its first instruction (the std::thread member may not
// be assigned yet then).
thread_local TWorkerThread* t_current = nullptr;

// Runs the calls queued so far; the lock is held on entry and on return but
// not while a call runs.
int ServeLocked(std::unique_lock<std::mutex>& lock) {
  int served = 0;
  while (!g_queue.empty()) {
    SyncCall* call = g_queue.front();
    g_queue.pop_front();
    lock.unlock();
    std::exception_ptr error;
    try {
      (*call->fn)();
    } catch (...) {
      RecordCaught("call handed to the user-interface thread");
      error = std::current_exception();
    }
    lock.lock();
    call->error = error;
    call->done = true;
    ++served;
  }
  if (served > 0) g_cond.notify_all();
  return served;
}

}  // namespace

TWorkerThread::TWorkerThread() { detail::PrepareUiWakeup(); }

TWorkerThread::~TWorkerThread() { Stop(); }

void TWorkerThread::Start() {
  if (started_) return;
  started_ = true;
  thread_ = std::thread([this] { ThreadMain(); });
}

void TWorkerThread::ThreadMain() {
  t_current = this;
  thread_id_.store(CurrentThreadId());
  {
    // Every pause on this thread, the machine's included, ends on Terminate().
    const ScopedPauseWaiter pauses(terminate_signal_);
    try {
      Execute();
    } catch (...) {
      RecordCaught("worker thread");
      fatal_ = std::current_exception();
    }
  }
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    finished_.store(true);
  }
  g_cond.notify_all();
}

void TWorkerThread::WaitFor() {
  if (!started_) return;
  if (t_current == this) return;  // a thread cannot wait for itself
  {
    std::unique_lock<std::mutex> lock(g_mutex);
    for (;;) {
      ServeLocked(lock);
      if (finished_.load()) break;
      g_cond.wait(lock, [this] { return finished_.load() || !g_queue.empty(); });
    }
  }
  if (thread_.joinable()) thread_.join();
}

void TWorkerThread::Terminate() {
  terminated_.store(true);
  terminate_signal_.Set();
}

void SleepUnlessTerminated(uint32_t ms) {
  // Only the thread object's own thread waits on its signal, which it
  // installed itself; the object outlives the thread.
  if (!PauseThroughWaiter(ms)) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void TWorkerThread::Stop() {
  Terminate();
  WaitFor();
}

void TWorkerThread::Synchronize(const std::function<void()>& fn) {
  if (t_current != this) {
    fn();
    return;
  }
  SyncCall call;
  call.fn = &fn;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_queue.push_back(&call);
  }
  g_cond.notify_all();
  detail::WakeUiThread();
  std::unique_lock<std::mutex> lock(g_mutex);
  g_cond.wait(lock, [&call] { return call.done; });
  if (call.error) std::rethrow_exception(call.error);
}

int ServeSynchronizeQueue() {
  std::unique_lock<std::mutex> lock(g_mutex);
  return ServeLocked(lock);
}

int PendingSynchronizeCalls() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return static_cast<int>(g_queue.size());
}

}  // namespace zt
