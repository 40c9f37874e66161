#include "util/thread_pause.h"

namespace zt {

IPauseWaiter*& ThisThreadsPauseWaiter() {
  // Set by the thread itself, so only that thread ever reads it.
  thread_local IPauseWaiter* waiter = nullptr;
  return waiter;
}

}  // namespace zt
