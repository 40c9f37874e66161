#include "util/thread_pause.h"

namespace zt {

namespace {
// Set by the thread itself, so only that thread ever reads it.
thread_local IPauseWaiter* t_waiter = nullptr;
}  // namespace

ScopedPauseWaiter::ScopedPauseWaiter(IPauseWaiter& waiter) : previous_(t_waiter) { t_waiter = &waiter; }

ScopedPauseWaiter::~ScopedPauseWaiter() { t_waiter = previous_; }

bool PauseThroughWaiter(uint32_t ms) {
  IPauseWaiter* waiter = t_waiter;
  if (!waiter) return false;
  waiter->Wait(ms);
  return true;
}

}  // namespace zt
