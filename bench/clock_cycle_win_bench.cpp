// The clock thread's cost per cycle: one measurement as the thread makes it,
// on the system's counter (where the time-stamp counter is invariant) beside
// today's count of time-stamp ticks at raised priority.  The cost is the
// time the measuring thread spends outside its sleeps (the 10 ms settle and
// the 500 ms window), timed on the high-resolution counter; the count also
// holds the whole process at the high priority class for its window, which
// this figure does not show.
//
//   clock_cycle_win_bench [cycles]
//
// Where the "Processor Information" counter set is missing (Wine), the
// counter path is measured over a stand-in query of two counters the system
// has, "\Processor(_Total)\% Processor Time" twice: the same collections and
// reads, other counters.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "sampling/cpu_speed.h"
#include "sampling/processor_performance_win.h"
#include "util/cpu_machine.h"

namespace {

double NowUs() {
  static const double ticks_per_us = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1e6;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticks_per_us;
}

// The real machine, with the time spent in its sleeps added up.
class SleepTimingMachine final : public zt::ICpuMachine {
 public:
  explicit SleepTimingMachine(bool invariant) : real_(zt::CreateNativeMachine()), invariant_(invariant) {}
  zt::CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf) override {
    // The path under test is chosen by this answer, whatever the host has.
    if (leaf == 0x80000000) return {0x80000008, 0, 0, 0};
    if (leaf == 0x80000007) return {0, 0, 0, invariant_ ? 0x100u : 0u};
    return real_->Cpuid(leaf, subleaf);
  }
  uint32_t ProcessorCount() override { return real_->ProcessorCount(); }
  bool GetProcessAffinity(uint64_t& p, uint64_t& s) override { return real_->GetProcessAffinity(p, s); }
  uint64_t SetThreadAffinity(uint64_t mask) override { return real_->SetThreadAffinity(mask); }
  bool CanSetThreadAffinity() override { return real_->CanSetThreadAffinity(); }
  uint64_t ReadTsc() override { return real_->ReadTsc(); }
  int64_t QueryPerformanceCounter() override { return real_->QueryPerformanceCounter(); }
  int64_t QueryPerformanceFrequency() override { return real_->QueryPerformanceFrequency(); }
  void SleepMs(uint32_t ms) override {
    const double t0 = NowUs();
    real_->SleepMs(ms);
    slept_us += NowUs() - t0;
  }
  void RaisePriority() override { real_->RaisePriority(); }
  void RestorePriority() override { real_->RestorePriority(); }

  double slept_us = 0;

 private:
  std::shared_ptr<zt::ICpuMachine> real_;
  bool invariant_;
};

class NullSink : public zt::ISpeedSink {
 public:
  void PostSpeed(unsigned mhz) override { last = mhz; }
  unsigned last = 0;
};

// The system's query, or the stand-in where it is missing.
class BenchPerformance final : public zt::IProcessorPerformance {
 public:
  std::unique_ptr<zt::IProcessorPerformanceQuery> Open() override {
    const double t0 = NowUs();
    auto query = zt::Seam<zt::IProcessorPerformance>::Real().Open();
    if (!query) {
      stand_in = true;
      constexpr wchar_t kStandIn[] = L"\\Processor(_Total)\\% Processor Time";
      query = zt::OpenPerformanceQuery(kStandIn, kStandIn);
    }
    open_us = NowUs() - t0;
    return query;
  }
  bool stand_in = false;
  double open_us = 0;
};

// Runs `cycles` measurements; prints and returns the mean cost in us.
double Run(const char* name, bool invariant, int cycles) {
  SleepTimingMachine machine(invariant);
  BenchPerformance counter;
  zt::ScopedOverride<zt::ICpuMachine> use_machine(machine);
  zt::ScopedOverride<zt::IProcessorPerformance> use_counter(counter);
  NullSink sink;
  zt::TCPUSpeed speed(sink);
  speed.MeasureSpeed();  // the first one opens the query
  const bool on_counter = speed.ReadsSystemCounter();
  machine.slept_us = 0;
  const double t0 = NowUs();
  for (int i = 0; i < cycles; ++i) {
    speed.MeasureSpeed();
    speed.PostSpeed();
  }
  const double cost = (NowUs() - t0 - machine.slept_us) / cycles;
  std::printf("%-28s %10.1f us/cycle outside the sleeps  (%d cycles, %u MHz", name, cost, cycles,
              sink.last);
  if (invariant) {
    std::printf(", %s, opened in %.0f us%s",
                !on_counter ? "no counter: counted instead"
                : counter.stand_in ? "stand-in counters, so the MHz mean nothing" : "system counters",
                counter.open_us, on_counter && !speed.ReadsSystemCounter() ? ", fell back to counting" : "");
  }
  std::printf(")\n");
  return cost;
}

}  // namespace

int main(int argc, char** argv) {
  const int cycles = argc >= 2 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 10;
  const double count = Run("count (today)", false, cycles);
  const double counter = Run("counter path", true, cycles);
  if (count > 0) std::printf("counter path / count: %.2fx\n", counter / count);
  return 0;
}
