#include "sampling/worker_thread.h"

namespace zt::detail {

// Without a message loop to wake, the thread that plays the UI thread drains
// the queue itself (ServeSynchronizeQueue or WaitFor), and the queue's
// condition variable already wakes WaitFor.
void PrepareUiWakeup() {}
void WakeUiThread() {}

}  // namespace zt::detail
