#include "sampling/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "sampling/res_monitor.h"
#include "support/wait_until.h"
#include "util/cpu_machine.h"
#include "util/platform.h"

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

using test::WaitUntil;

// Ends the test program with a message when its scope is not left within
// the limit: a wait that never returns (a deadlock) then fails the run
// instead of hanging it.
class Watchdog {
 public:
  explicit Watchdog(const char* what, std::chrono::seconds limit = std::chrono::seconds(20))
      : thread_([this, what, limit] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (!cond_.wait_for(lock, limit, [this] { return done_; })) {
            std::fprintf(stderr, "%s did not return in time\n", what);
            std::fflush(stderr);
            std::abort();
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    cond_.notify_all();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable cond_;
  bool done_ = false;
  std::thread thread_;
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

// The system's number of the worker's own thread: what another process
// waits on to see the thread end.
TEST(WorkerThread, ThreadIdNamesTheWorkersOwnThread) {
  std::atomic<uint32_t> inside{0};
  LambdaThread t([&](LambdaThread&) { inside = CurrentThreadId(); });
  EXPECT_EQ(t.ThreadId(), 0u);
  t.Start();
  t.WaitFor();
  EXPECT_NE(inside.load(), 0u);
  EXPECT_EQ(t.ThreadId(), inside.load());
  EXPECT_NE(t.ThreadId(), CurrentThreadId());
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
  ASSERT_TRUE(WaitUntil([] { return PendingSynchronizeCalls() > 0; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(after, 0);  // blocked in Synchronize
  EXPECT_EQ(ServeSynchronizeQueue(), 1);
  const Watchdog watchdog("WaitFor after the served call");
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
  ASSERT_TRUE(WaitUntil([] { return PendingSynchronizeCalls() > 0; }));
  t.Terminate();
  const Watchdog watchdog("WaitFor with a call pending");
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

// The sampling threads pause through these sleeps (the monitor between
// samples, the clock thread inside and between its measurements).  On a
// worker they end on the terminate request, so the owner never waits out a
// pause: the process ends soon after its window, whatever Rate is.
TEST(WorkerThread, TheSamplingThreadsSleepsEndOnTheTerminateRequest) {
  constexpr uint32_t kTenMinutes = 600000;
  const std::function<void()> sleeps[] = {
      [] { Seam<IMonitorClock>::Real().Sleep(kTenMinutes); },
      [] { Seam<ICpuMachine>::Real().SleepMs(kTenMinutes); },
  };
  for (const auto& sleep : sleeps) {
    std::atomic<bool> sleeping{false};
    LambdaThread t([&](LambdaThread&) {
      sleeping = true;
      sleep();
    });
    t.Start();
    ASSERT_TRUE(WaitUntil([&] { return sleeping.load(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // well into the sleep
    const Watchdog watchdog("stopping a sleeping worker");
    t.Stop();
    EXPECT_TRUE(t.Finished());
  }
  // A terminate request that comes first ends the next sleep at once.
  LambdaThread early([](LambdaThread& self) {
    while (!self.Terminated()) std::this_thread::yield();
    Seam<IMonitorClock>::Real().Sleep(kTenMinutes);
  });
  early.Start();
  const Watchdog watchdog("a sleep after the terminate request");
  early.Stop();
}

}  // namespace
}  // namespace zt
