// Pauses that the request to stop a thread cuts short.  A thread that can be
// asked to stop (the sampling threads, sampling/worker_thread.h) installs
// what that request sets as its pause waiter; every pause of that thread,
// its own or one inside the machine it measures (util/cpu_machine.h), then
// waits on it, so stopping the thread never waits out a pause.  Portable.
#pragma once

#include <cstdint>

namespace zt {

class IPauseWaiter {
 public:
  // Returns once the stop has been requested (at once if it already has
  // been) or ms milliseconds have passed.
  virtual void Wait(uint32_t ms) = 0;

 protected:
  // Never deleted through this interface.
  ~IPauseWaiter() = default;
};

// The calling thread's waiter, or nullptr.  Set by the thread itself, so
// only that thread ever reads it.
inline IPauseWaiter*& ThisThreadsPauseWaiter() {
  thread_local IPauseWaiter* waiter = nullptr;
  return waiter;
}

// Makes `waiter` the calling thread's for the life of the scope.
class ScopedPauseWaiter {
 public:
  explicit ScopedPauseWaiter(IPauseWaiter& waiter) : previous_(ThisThreadsPauseWaiter()) {
    ThisThreadsPauseWaiter() = &waiter;
  }
  ~ScopedPauseWaiter() { ThisThreadsPauseWaiter() = previous_; }
  ScopedPauseWaiter(const ScopedPauseWaiter&) = delete;
  ScopedPauseWaiter& operator=(const ScopedPauseWaiter&) = delete;

 private:
  IPauseWaiter* previous_;
};

// Pauses the calling thread for ms milliseconds through its waiter and
// answers true; answers false at once, without pausing, when the thread has
// none (the caller then sleeps its own way).
inline bool PauseThroughWaiter(uint32_t ms) {
  IPauseWaiter* waiter = ThisThreadsPauseWaiter();
  if (!waiter) return false;
  waiter->Wait(ms);
  return true;
}

}  // namespace zt
