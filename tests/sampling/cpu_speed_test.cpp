#include "sampling/cpu_speed.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "config/config.h"
#include "cpuid/cpu_root.h"
#include "cpuid/interfaces.h"
#include "support/fake_machine.h"
#include "support/wait_until.h"

namespace zt {
namespace {

TEST(CpuSpeed, TicksOverTheTimedIntervalToMHz) {
  // A 2 394 000 000 Hz counter advances 1 197 000 000 in 500 ms, timed on a
  // 10 MHz counter.
  EXPECT_DOUBLE_EQ(SpeedFromTicks(5'000'000'000ull, 5'000'000'000ull + 1'197'000'000ull, 5'000'000, 10'000'000),
                   2394.0);
  // The same counter over 515.6 ms.
  EXPECT_DOUBLE_EQ(SpeedFromTicks(0, 1'234'346'400ull, 5'156'000, 10'000'000), 2394.0);
  // A 0.9 s window at 5 GHz holds more than 2^32 ticks: all of them count.
  EXPECT_DOUBLE_EQ(SpeedFromTicks(0, 4'500'000'000ull, 9'000'000, 10'000'000), 5000.0);
  // A counter that wrapped between the readings still gives the right figure.
  EXPECT_DOUBLE_EQ(SpeedFromTicks(0xFFFFFFFFFFFFFF00ull, 1'000'000 - 0x100, 500, 1000), 2.0);
  // Without a high-resolution counter, or without an interval, the window's
  // nominal 500 ms.
  EXPECT_DOUBLE_EQ(SpeedFromTicks(0, 1'197'000'000ull, 0, 0), 2394.0);
  EXPECT_DOUBLE_EQ(SpeedFromTicks(0, 1'197'000'000ull, 0, 10'000'000), 2394.0);
  EXPECT_DOUBLE_EQ(SpeedFromTicks(0, 1'197'000'000ull, -3, 10'000'000), 2394.0);
}

using cpuid::testing::FakeMachine;

// A machine whose counter runs at `hz` while its sleeps take next to no
// real time.
void CountAt(FakeMachine& machine, uint64_t hz) {
  machine.tsc_hz = hz;
  machine.tsc_base = 123456789;
  machine.real_pause_us = 200;
}

class RecordingSink : public ISpeedSink {
 public:
  void PostSpeed(unsigned mhz) override {
    std::lock_guard<std::mutex> lock(mutex_);
    posts_.push_back(mhz);
  }
  std::vector<unsigned> Posts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posts_;
  }

 private:
  std::mutex mutex_;
  std::vector<unsigned> posts_;
};

class CpuSpeedThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetConfigToDefaults(); }
  void TearDown() override { ResetConfigToDefaults(); }
};

TEST_F(CpuSpeedThreadTest, MeasureSpeedRaisesSettlesCountsAndRestores) {
  FakeMachine machine;
  CountAt(machine, 2'394'000'000ull);
  RecordingSink sink;
  ScopedOverride<ICpuMachine> use_machine(machine);
  TCPUSpeed speed(sink);
  EXPECT_DOUBLE_EQ(speed.Speed(), -1.0);
  speed.MeasureSpeed();
  EXPECT_DOUBLE_EQ(speed.Speed(), 2394.0);
  const std::vector<std::string> expected{"raise", "sleep 10", "tsc", "qpc", "sleep 500", "tsc", "qpc", "restore"};
  EXPECT_EQ(machine.Log(), expected);
  speed.PostSpeed();
  EXPECT_EQ(sink.Posts(), std::vector<unsigned>{2394});
}

// On Windows the half-second sleep ends on the system's tick and lasts up
// to 515.6 ms; the figure must be the counter's rate all the same, timed on
// the high-resolution counter around the sleep.
TEST_F(CpuSpeedThreadTest, ASleepThatOverrunsStillGivesTheCountersRate) {
  FakeMachine machine;
  CountAt(machine, 2'599'000'000ull);
  machine.frequency = 10'000'000;
  machine.sleep_extra_us = 15'600;
  RecordingSink sink;
  ScopedOverride<ICpuMachine> use_machine(machine);
  TCPUSpeed speed(sink);
  ASSERT_TRUE(speed.MeasureSpeed());
  EXPECT_NEAR(speed.Speed(), 2599.0, 2599.0 * 0.001);
  speed.PostSpeed();
  EXPECT_EQ(sink.Posts(), std::vector<unsigned>{2599});
}

TEST_F(CpuSpeedThreadTest, AFailedMeasurementStillRestoresThePriority) {
  FakeMachine machine;
  CountAt(machine, 2'394'000'000ull);
  machine.on_sleep = [](uint32_t) { throw std::runtime_error("no timer"); };
  ScopedOverride<ICpuMachine> use_machine(machine);
  RecordingSink sink;
  TCPUSpeed speed(sink);
  EXPECT_THROW(speed.MeasureSpeed(), std::runtime_error);
  EXPECT_EQ(machine.Log(), (std::vector<std::string>{"raise", "sleep 10", "restore"}));
  EXPECT_DOUBLE_EQ(speed.Speed(), -1.0);
}

TEST_F(CpuSpeedThreadTest, PostRoundsHalfToEven) {
  FakeMachine machine;
  CountAt(machine, 2'394'500'000ull);  // 2394.5 MHz
  RecordingSink sink;
  ScopedOverride<ICpuMachine> use_machine(machine);
  TCPUSpeed speed(sink);
  speed.MeasureSpeed();
  speed.PostSpeed();
  FakeMachine odd;
  CountAt(odd, 2'395'500'000ull);
  ScopedOverride<ICpuMachine> use_odd(odd);
  TCPUSpeed speed2(sink);
  speed2.MeasureSpeed();
  speed2.PostSpeed();
  EXPECT_EQ(sink.Posts(), (std::vector<unsigned>{2394, 2396}));
}

// The system's performance counter: each query answers `performance` % of
// `nominal` MHz.  `script` gives each window a letter (the last one repeats):
// g a good reading, x a refused one, c a refused first collection.
class FakePerformance : public IProcessorPerformance {
 public:
  struct Query : IProcessorPerformanceQuery {
    FakePerformance& owner;
    bool in_window = false;
    explicit Query(FakePerformance& o) : owner(o) {}
    bool Collect() override {
      ++owner.collections;
      const bool first = !in_window;
      if (first) ++owner.windows;
      in_window = first && owner.Letter() != 'c';
      return !first || in_window;
    }
    bool Read(double& performance, double& nominal) override {
      if (owner.Letter() == 'x') return false;
      performance = owner.performance;
      nominal = owner.nominal;
      return true;
    }
  };
  std::unique_ptr<IProcessorPerformanceQuery> Open() override {
    ++opens;
    return present ? std::make_unique<Query>(*this) : nullptr;
  }
  char Letter() const { return script[std::min(windows, script.size()) - 1]; }
  bool present = true;
  double performance = 87.5, nominal = 2600;
  std::string script = "g";
  size_t windows = 0;
  int opens = 0, collections = 0;
};

// A processor whose time-stamp counter is invariant (or not) and runs at
// the nominal 2,600 MHz.
void InvariantAt2600(FakeMachine& machine, bool invariant, uint32_t max_extended = 0x80000008) {
  CountAt(machine, 2'600'000'000ull);
  machine.Set(0x80000000, {max_extended, 0, 0, 0});
  machine.Set(0x80000007, {0, 0, 0, invariant ? 0x100u : 0xFFu & ~0x100u});
}

TEST_F(CpuSpeedThreadTest, AnInvariantCounterShowsTheSystemsWorkingClockAtNormalPriority) {
  FakeMachine machine;
  InvariantAt2600(machine, true);
  FakePerformance counter;
  ScopedOverride<ICpuMachine> use_machine(machine);
  ScopedOverride<IProcessorPerformance> use_counter(counter);
  RecordingSink sink;
  TCPUSpeed speed(sink);
  ASSERT_TRUE(speed.MeasureSpeed());
  speed.PostSpeed();
  counter.performance = 192.3;  // boosting
  ASSERT_TRUE(speed.MeasureSpeed());
  speed.PostSpeed();
  EXPECT_EQ(sink.Posts(), (std::vector<unsigned>{2275, 5000}));
  EXPECT_EQ(counter.opens, 1);
  EXPECT_EQ(counter.collections, 4);  // one at each end of both windows
  EXPECT_EQ(machine.raise_calls, 0);
  EXPECT_EQ(machine.sleeps, (std::vector<uint32_t>{10, 500, 10, 500}));
}

// 2275 is the counter's figure, 2600 the counted ticks.
TEST_F(CpuSpeedThreadTest, TheCounterIsReadWhileItWorksAndTheTicksCountedWhenItDoesNot) {
  struct Case {
    uint32_t max_extended;
    bool invariant, present;
    const char* script;
    int windows, posts, opens;
    unsigned last;
  };
  for (const Case c : {
           Case{0x80000008, false, true, "g", 3, 3, 0, 2600},
           Case{0x80000006, true, true, "g", 3, 3, 0, 2600},
           Case{0x80000007, true, true, "g", 3, 3, 1, 2275},
           // Missing, or failing before its first good reading: counted at
           // once and tried again a minute later.
           Case{0x80000008, true, true, "xg", 62, 62, 2, 2275},
           Case{0x80000008, true, false, "g", 62, 62, 2, 2600},
           // A passing failure skips its window; one that lasts reopens the
           // query, then gives the counter up until it is tried again.
           Case{0x80000008, true, true, "gxg", 3, 2, 1, 2275},
           Case{0x80000008, true, true, "gcg", 3, 2, 1, 2275},
           Case{0x80000008, true, true, "gxxxxxxg", 68, 63, 3, 2275}}) {
    SCOPED_TRACE(::testing::Message()
                 << std::hex << c.max_extended << " " << c.present << " " << c.script);
    FakeMachine machine;
    InvariantAt2600(machine, c.invariant, c.max_extended);
    FakePerformance counter;
    counter.present = c.present;
    counter.script = c.script;
    ScopedOverride<ICpuMachine> use_machine(machine);
    ScopedOverride<IProcessorPerformance> use_counter(counter);
    RecordingSink sink;
    TCPUSpeed speed(sink);
    for (int i = 0; i < c.windows; ++i) {
      if (speed.MeasureSpeed()) speed.PostSpeed();
    }
    ASSERT_EQ(sink.Posts().size(), size_t(c.posts));
    EXPECT_EQ(sink.Posts().back(), c.last);
    EXPECT_EQ(counter.opens, c.opens);
  }
}

using test::WaitUntil;

TEST_F(CpuSpeedThreadTest, WithUpdateSpeedOffExactlyOnePost) {
  UpdateSpeed = false;
  FakeMachine machine;
  CountAt(machine, 1'000'000'000ull);
  RecordingSink sink;
  int sleeps = 0;
  machine.on_sleep = [&sleeps](uint32_t) { ++sleeps; };
  ScopedOverride<ICpuMachine> use_machine(machine);
  TCPUSpeed speed(sink);
  speed.Start();
  ASSERT_TRUE(WaitUntil([&] { return machine.Log().size() > 40; }));
  speed.Terminate();
  speed.WaitFor();
  EXPECT_EQ(sink.Posts(), std::vector<unsigned>{1000});
  // The thread pinned itself to the first processor before measuring.
  EXPECT_EQ(machine.Log().front(), "affinity 1");
}

TEST_F(CpuSpeedThreadTest, TrayModePausesAndResumesTheMeasurements) {
  UpdateSpeed = true;
  AppTrayMode = true;  // started in tray mode: the first figure waits
  FakeMachine machine;
  CountAt(machine, 3'000'000'000ull);
  RecordingSink sink;
  ScopedOverride<ICpuMachine> use_machine(machine);
  TCPUSpeed speed(sink);
  speed.Start();
  ASSERT_TRUE(WaitUntil([&] { return machine.Log().size() > 10; }));
  EXPECT_TRUE(sink.Posts().empty());
  AppTrayMode = false;
  ASSERT_TRUE(WaitUntil([&] { return sink.Posts().size() >= 3; }));
  AppTrayMode = true;
  // Within one cycle the posts stop.
  const size_t log_now = machine.Log().size();
  ASSERT_TRUE(WaitUntil([&] { return machine.Log().size() > log_now + 12; }));
  const size_t posts = sink.Posts().size();
  ASSERT_TRUE(WaitUntil([&] { return machine.Log().size() > log_now + 30; }));
  EXPECT_EQ(sink.Posts().size(), posts);
  speed.Terminate();
  speed.WaitFor();
  for (unsigned mhz : sink.Posts()) EXPECT_EQ(mhz, 3000u);
}

// A close request that arrives during a measurement ends its wait: the
// counter readings then span less than the window, so the figure is
// dropped, never posted.
TEST_F(CpuSpeedThreadTest, AMeasurementCutShortByTheTerminateRequestIsNeverPosted) {
  UpdateSpeed = true;
  FakeMachine machine;
  CountAt(machine, 2'000'000'000ull);
  RecordingSink sink;
  TCPUSpeed* thread = nullptr;
  std::atomic<bool> asked{false};
  machine.on_sleep = [&](uint32_t) {
    // The first 500 ms sleep is the measuring window.
    const std::vector<std::string> log = machine.Log();
    if (!asked && log.back() == "sleep 500") {
      asked = true;
      thread->Terminate();
    }
  };
  ScopedOverride<ICpuMachine> use_machine(machine);
  TCPUSpeed speed(sink);
  thread = &speed;
  speed.Start();
  speed.WaitFor();
  EXPECT_TRUE(asked);
  EXPECT_TRUE(sink.Posts().empty());
  EXPECT_DOUBLE_EQ(speed.Speed(), -1.0);
  // The raised priority was put back all the same.
  EXPECT_EQ(machine.Log().back(), "restore");
}

// The clock thread pins itself to the first processor so that both counter
// readings come from one processor.  Reading the CPU information pins only
// the reading thread: the clock thread keeps its pin through the read and
// after it, and no other thread is held on one processor meanwhile.
TEST_F(CpuSpeedThreadTest, StaysPinnedThroughAProcessorLibraryRead) {
  UpdateSpeed = true;
  cpuid::testing::ScopedFake cpus({cpuid::testing::IntelCpu(), cpuid::testing::AmdCpu()});
  CountAt(*cpus, 1'000'000'000ull);
  std::atomic<bool> clock_known{false}, reading{false};
  std::thread::id clock_thread, window;
  uint64_t clock_mask_during = 0, window_mask_during = 0, reader_mask_during = 0;
  cpus->on_sleep = [&](uint32_t ms) {
    if (ms != 0) {  // the clock thread's sleeps
      if (!clock_known) {
        clock_thread = std::this_thread::get_id();
        clock_known = true;
      }
      return;
    }
    if (!reading) return;
    // The Sleep(0) that follows each pin of the read, on the reading thread.
    clock_mask_during = cpus->MaskOf(clock_thread);
    window_mask_during = cpus->MaskOf(window);
    reader_mask_during = cpus->Mask();
  };
  RecordingSink sink;
  TCPUSpeed speed(sink);
  speed.Start();
  ASSERT_TRUE(WaitUntil([&] { return clock_known.load() && cpus->MaskOf(clock_thread) == 1u; }));
  std::thread window_thread([] { std::this_thread::sleep_for(std::chrono::milliseconds(200)); });
  window = window_thread.get_id();

  reading = true;
  ASSERT_TRUE(cpuid::CpuRoot().UseAffinity());
  EXPECT_EQ(cpuid::CpuRoot().ProcessorInformation(1)->Vendor()->Vendor(), cpuid::kVendorAmd);
  reading = false;
  window_thread.join();

  EXPECT_EQ(reader_mask_during, 2u);  // the read itself ran on processor 1
  EXPECT_EQ(clock_mask_during, 1u);
  EXPECT_EQ(window_mask_during, 3u);
  EXPECT_EQ(cpus->MaskOf(clock_thread), 1u);
  EXPECT_EQ(cpus->Mask(), 3u);  // the reader's pin was undone
  speed.Stop();
}

TEST_F(CpuSpeedThreadTest, AnErrorEndsTheThreadSilently) {
  FakeMachine machine;
  CountAt(machine, 1'000'000'000ull);
  RecordingSink sink;
  machine.on_sleep = [](uint32_t) { throw std::runtime_error("no counter"); };
  ScopedOverride<ICpuMachine> use_machine(machine);
  TCPUSpeed speed(sink);
  speed.Start();
  ASSERT_TRUE(WaitUntil([&] { return speed.Finished(); }));
  speed.WaitFor();
  EXPECT_TRUE(speed.FatalException());
  EXPECT_TRUE(sink.Posts().empty());
}

TEST_F(CpuSpeedThreadTest, RealMachineStopsWithinASecondAndAHalf) {
  RecordingSink sink;
  TCPUSpeed speed(sink);
  speed.Start();
  ASSERT_TRUE(WaitUntil([&] { return !sink.Posts().empty(); }));
  EXPECT_GT(sink.Posts().front(), 100u);  // any real x86 clock
  const auto t0 = std::chrono::steady_clock::now();
  speed.Terminate();
  speed.WaitFor();
  const auto took = std::chrono::steady_clock::now() - t0;
  EXPECT_LT(took, std::chrono::milliseconds(1500));
}

}  // namespace
}  // namespace zt
