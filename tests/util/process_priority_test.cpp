// The process priority class is shared by the clock-speed thread and the
// processor library's speed thread, which measure on one machine;
// overlapping measurements must leave the class as they found it.
#include "util/process_priority.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "util/cpu_machine.h"

namespace zt {
namespace {

constexpr uint32_t kNormal = 0x20;
constexpr uint32_t kHigh = 0x80;     // HIGH_PRIORITY_CLASS
constexpr uint32_t kRealtime = 0x100;  // REALTIME_PRIORITY_CLASS

class FakePriorityClass final : public IProcessPriorityClass {
 public:
  bool Read(uint32_t& priority_class) override {
    std::lock_guard<std::mutex> hold(lock_);
    if (!readable) return false;
    priority_class = current_;
    return true;
  }
  bool Write(uint32_t priority_class) override {
    std::lock_guard<std::mutex> hold(lock_);
    writes_.push_back(priority_class);
    // An elevated process would get real time, so a test can refuse it.
    if (priority_class == kRealtime && refuse_realtime) return false;
    current_ = priority_class;
    return true;
  }
  void Set(uint32_t priority_class) {
    std::lock_guard<std::mutex> hold(lock_);
    current_ = priority_class;
  }
  uint32_t Current() {
    std::lock_guard<std::mutex> hold(lock_);
    return current_;
  }
  std::vector<uint32_t> Writes() {
    std::lock_guard<std::mutex> hold(lock_);
    return writes_;
  }
  bool readable = true;
  bool refuse_realtime = false;

 private:
  std::mutex lock_;
  uint32_t current_ = kNormal;
  std::vector<uint32_t> writes_;
};

// Real time would hold the windows and the input of an elevated run behind
// the measurement for half of every second: the high class is the most a
// measurement asks for, and a class already that high, or higher by the
// user's choice, is left alone.
TEST(ProcessPriority, AMeasurementRaisesToTheHighClassAtMost) {
  FakePriorityClass priority;
  priority.refuse_realtime = true;
  ScopedOverride<IProcessPriorityClass> use(priority);
  ICpuMachine& machine = Seam<ICpuMachine>::Real();
  uint32_t during = 0;
  {
    const TRaisedPriority raised(machine);
    during = priority.Current();
  }
  EXPECT_EQ(during, kHigh);
  EXPECT_EQ(priority.Writes(), (std::vector<uint32_t>{kHigh, kNormal}));
  EXPECT_EQ(priority.Current(), kNormal);

  for (uint32_t start : {kHigh, kRealtime}) {
    priority.Set(start);
    { const TRaisedPriority raised(machine); }
    EXPECT_EQ(priority.Current(), start);
    EXPECT_EQ(priority.Writes().size(), 2u) << start;
  }
  EXPECT_EQ(ProcessPriority().Holders(), 0);
}

TEST(ProcessPriority, OverlappingRaisesPutBackTheClassReadFirstAndOnlyIfItWasRead) {
  FakePriorityClass priority;
  ScopedOverride<IProcessPriorityClass> use(priority);
  TProcessPriority owner;
  owner.Raise();
  owner.Raise();
  owner.Restore();
  EXPECT_EQ(priority.Current(), kHigh) << "the other measurement still runs";
  owner.Restore();
  owner.Restore();  // one too many: nothing to give back
  EXPECT_EQ(priority.Current(), kNormal);
  EXPECT_EQ(owner.Holders(), 0);
  EXPECT_EQ(priority.Writes(), (std::vector<uint32_t>{kHigh, kNormal}));

  priority.readable = false;
  owner.Raise();
  owner.Restore();
  EXPECT_EQ(priority.Writes().size(), 2u) << "a class that cannot be read is neither raised nor written back";
}

// The two real measurements, each on its own thread, crossing: the clock
// thread raises, the library's speed thread raises, the clock thread
// restores while the library still measures, then the library restores.
TEST(ProcessPriority, TwoMeasuringThreadsShareOneOwner) {
  FakePriorityClass priority;
  ScopedOverride<IProcessPriorityClass> use(priority);
  ICpuMachine& clock = Seam<ICpuMachine>::Real();
  std::shared_ptr<ICpuMachine> library = CreateNativeMachine();

  std::promise<void> clock_raised, library_raised, clock_restored;
  uint32_t while_library_measures = 0;
  std::thread clock_thread([&] {
    clock.RaisePriority();
    clock_raised.set_value();
    library_raised.get_future().wait();
    clock.RestorePriority();
    clock_restored.set_value();
  });
  std::thread library_thread([&] {
    clock_raised.get_future().wait();
    library->RaisePriority();
    library_raised.set_value();
    clock_restored.get_future().wait();
    while_library_measures = priority.Current();
    library->RestorePriority();
  });
  clock_thread.join();
  library_thread.join();
  EXPECT_EQ(while_library_measures, kHigh);
  EXPECT_EQ(priority.Current(), kNormal);
  EXPECT_EQ(ProcessPriority().Holders(), 0);
}

}  // namespace
}  // namespace zt
