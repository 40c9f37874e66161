// On Windows a worker's Synchronize call reaches the UI thread through its
// message loop: no explicit ServeSynchronizeQueue is needed.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "sampling/worker_thread.h"

namespace zt {
namespace {

class SyncingThread : public TWorkerThread {
 public:
  ~SyncingThread() override { Stop(); }
  std::atomic<int> calls{0};
  DWORD ran_on = 0;

 protected:
  void Execute() override {
    for (int i = 0; i < 20 && !Terminated(); ++i)
      Synchronize([this] {
        ran_on = GetCurrentThreadId();
        ++calls;
      });
  }
};

TEST(WorkerThreadWin, TheMessageLoopServesSynchronizeCalls) {
  SyncingThread t;  // created here: this thread is the UI thread
  t.Start();
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!t.Finished() && std::chrono::steady_clock::now() < end) {
    MSG msg;
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
  }
  t.WaitFor();
  EXPECT_EQ(t.calls, 20);
  EXPECT_EQ(t.ran_on, GetCurrentThreadId());
}

}  // namespace
}  // namespace zt
