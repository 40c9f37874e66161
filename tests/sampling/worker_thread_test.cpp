#include "sampling/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace zt {
namespace {

// A worker that runs a given body; the body may call Sync().
class LambdaThread : public TWorkerThread {
 public:
  explicit LambdaThread(std::function<void(LambdaThread&)> body) : body_(std::move(body)) {}
  ~LambdaThread() override { Stop(); }
  void Sync(const std::function<void()>& fn) { Synchronize(fn); }

 protected:
  void Execute() override { body_(*this); }

 private:
  std::function<void(LambdaThread&)> body_;
};

TEST(WorkerThread, CreatedSuspendedAndNeverStartedIsHarmless) {
  std::atomic<bool> ran{false};
  {
    LambdaThread t([&](LambdaThread&) { ran = true; });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(t.Started());
    t.WaitFor();  // returns at once
  }
  EXPECT_FALSE(ran);
}

TEST(WorkerThread, SynchronizeRunsOnTheServingThreadWhileTheWorkerWaits) {
  const auto ui = std::this_thread::get_id();
  std::thread::id ran_on;
  std::atomic<int> after{0};
  LambdaThread t([&](LambdaThread& self) {
    self.Sync([&] { ran_on = std::this_thread::get_id(); });
    after = 1;  // only once the call has run
  });
  t.Start();
  while (PendingSynchronizeCalls() == 0) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(after, 0);  // blocked in Synchronize
  EXPECT_EQ(ServeSynchronizeQueue(), 1);
  t.WaitFor();
  EXPECT_EQ(ran_on, ui);
  EXPECT_EQ(after, 1);
}

TEST(WorkerThread, WaitForServesPendingCallsSoTheOwnerCannotDeadlock) {
  std::atomic<int> calls{0};
  LambdaThread t([&](LambdaThread& self) {
    while (!self.Terminated()) self.Sync([&] { ++calls; });
  });
  t.Start();
  while (PendingSynchronizeCalls() == 0) std::this_thread::yield();
  t.Terminate();
  t.WaitFor();
  EXPECT_TRUE(t.Finished());
  EXPECT_GE(calls, 1);
  EXPECT_EQ(PendingSynchronizeCalls(), 0);
}

TEST(WorkerThread, ErrorInASynchronizedCallReachesTheWorker) {
  std::atomic<bool> caught{false};
  LambdaThread t([&](LambdaThread& self) {
    try {
      self.Sync([] { throw std::runtime_error("display failed"); });
    } catch (const std::runtime_error& e) {
      caught = std::string(e.what()) == "display failed";
    }
  });
  t.Start();
  t.WaitFor();
  EXPECT_TRUE(caught);
}

TEST(WorkerThread, ErrorEscapingExecuteEndsTheThreadQuietly) {
  LambdaThread t([](LambdaThread&) { throw std::runtime_error("boom"); });
  t.Start();
  t.WaitFor();
  ASSERT_TRUE(t.FatalException());
  EXPECT_THROW(std::rethrow_exception(t.FatalException()), std::runtime_error);
}

TEST(WorkerThread, SynchronizeFromAnotherThreadRunsInPlace) {
  LambdaThread t([](LambdaThread&) {});
  bool ran = false;
  t.Sync([&] { ran = true; });  // not the worker's own thread: no queueing
  EXPECT_TRUE(ran);
  EXPECT_EQ(PendingSynchronizeCalls(), 0);
}

TEST(WorkerThread, SeveralWorkersShareTheQueue) {
  std::atomic<int> calls{0};
  auto body = [&](LambdaThread& self) {
    for (int i = 0; i < 50; ++i) self.Sync([&] { ++calls; });
  };
  LambdaThread a(body), b(body), c(body);
  a.Start();
  b.Start();
  c.Start();
  a.WaitFor();
  b.WaitFor();
  c.WaitFor();
  EXPECT_EQ(calls, 150);
  a.Start();  // a second Start does nothing
  EXPECT_EQ(calls, 150);
}

}  // namespace
}  // namespace zt
