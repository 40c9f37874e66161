// Sources under which the main window's sampling threads start and then give
// nothing until they are asked to stop (ScopedOverride<...> for one scope):
// the first processor-load reading, taken on the user-interface thread,
// works; the monitor's own first reading, and every pause of the clock
// thread's measurement, wait for the stop.  So no sample reaches the window
// and no clock figure is posted, and the stop still comes at once.
#pragma once

#include <cstdint>

#include "sampling/monitor_fakes.h"
#include "util/cpu_machine.h"
#include "util/seam.h"
#include "util/thread_pause.h"

namespace zt::test {

// The real machine, except that a pause on a thread that can be stopped
// lasts until the stop.
class StillMachine final : public ICpuMachine {
 public:
  CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf) override { return real().Cpuid(leaf, subleaf); }
  uint32_t ProcessorCount() override { return real().ProcessorCount(); }
  bool GetProcessAffinity(uint64_t& process_mask, uint64_t& system_mask) override {
    return real().GetProcessAffinity(process_mask, system_mask);
  }
  uint64_t SetThreadAffinity(uint64_t mask) override { return real().SetThreadAffinity(mask); }
  bool CanSetThreadAffinity() override { return real().CanSetThreadAffinity(); }
  uint64_t ReadTsc() override { return real().ReadTsc(); }
  int64_t QueryPerformanceCounter() override { return real().QueryPerformanceCounter(); }
  int64_t QueryPerformanceFrequency() override { return real().QueryPerformanceFrequency(); }
  void SleepMs(uint32_t ms) override {
    if (!PauseThroughWaiter(UINT32_MAX)) real().SleepMs(ms);
  }
  void RaisePriority() override {}
  void RestorePriority() override {}

 private:
  static ICpuMachine& real() { return Seam<ICpuMachine>::Real(); }
};

class StillSampling {
 public:
  StillSampling() {
    // Only the sampling threads have a waiter: the reading on the
    // user-interface thread passes.
    load_.on_refresh = [] { PauseThroughWaiter(UINT32_MAX); };
  }

 private:
  FakeLoad load_{Rows{{0, 0}}};
  FakeMemory memory_;
  StillMachine machine_;
  UseSources sources_{load_, nullptr, memory_, true};
  ScopedOverride<ICpuMachine> use_machine_{machine_};
};

}  // namespace zt::test
