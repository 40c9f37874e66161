// The clock-speed thread: measures the processor clock over a half-second
// window and hands each figure (whole MHz) to a speed sink, which on Windows
// posts WM_CPUSPEED to the main window.  Measures once, then about every
// second while UpdateSpeed is on; pauses while AppTrayMode is on.
//
// Where the time-stamp counter is invariant it ticks at the nominal rate
// whatever the cores do, so counting its ticks only ever gives the nominal
// clock; there the figure is the system's own working clock over the window
// (sampling/processor_performance.h), at normal priority.  Elsewhere it
// counts time-stamp ticks across the window at raised priority.  A reading
// of the system's counter that fails now and then (a counter reset after a
// resume) gives no figure, so the label keeps its own rather than drop to
// the nominal clock; a query that keeps failing is opened afresh, and only a
// counter that fails on is given up for the ticks, and tried again about a
// minute later.  Portable; the counter, the sleeps, the
// priority and the affinity are the machine's (util/cpu_machine.h), the one
// the processor library measures on as well.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sampling/worker_thread.h"

#include "sampling/processor_performance.h"
#include "util/cpu_machine.h"

namespace zt {

// Where a measured speed goes (the main window's speed label).
class ISpeedSink {
 public:
  virtual ~ISpeedSink() = default;
  // Called on the clock thread; must not touch windows there.
  virtual void PostSpeed(unsigned mhz) = 0;
};

// MHz from two time-stamp-counter readings around the half-second window:
// their whole 64-bit difference (a window stretched by a resume or a busy
// host can hold more than 2^32 ticks) over the time that really passed,
// which the high-resolution counter timed (counter_ticks at frequency per
// second).  A sleep that ends on the system's tick lasts longer than it was
// asked to, so the nominal 500 ms would read high; only without that
// counter (frequency 0, or no interval) does the figure rest on it.
double SpeedFromTicks(uint64_t t1, uint64_t t2, int64_t counter_ticks, int64_t frequency);

// Whether the time-stamp counter ticks at one rate whatever the cores do
// (CPUID 0x80000007, EDX bit 8), asked of the processor the caller runs on.
bool HasInvariantTsc(ICpuMachine& machine);

// "2,394 MHz": the speed label's text for wParam of WM_CPUSPEED.
std::string SpeedLabelText(unsigned mhz);

class TCPUSpeed : public TWorkerThread {
 public:
  // Created suspended.  sink receives every figure; the machine is the one
  // in place when the thread is made.
  explicit TCPUSpeed(ISpeedSink& sink);
  ~TCPUSpeed() override;

  // Last measured clock in MHz; -1 until the first measurement.  Written by
  // the clock thread only; read it from elsewhere only once the thread is over.
  double Speed() const { return speed_; }

  // One measurement into Speed.  False, with Speed unchanged, when it gives
  // no figure: the terminate request cut it short (the counters then span
  // less than the window), or the system's counter failed this once.
  bool MeasureSpeed();
  // Whether the measurements read the system's counter now.
  bool ReadsSystemCounter() const { return counter_ != nullptr; }
  // Hands Round(Speed) (ties to even) to the sink.
  void PostSpeed();

 protected:
  void Execute() override;

 private:
  bool CountTicks();
  bool ReadCounter();

  ISpeedSink& sink_;
  ICpuMachine& machine_;
  double speed_ = -1.0;
  bool invariant_asked_ = false;
  bool invariant_tsc_ = false;
  std::unique_ptr<IProcessorPerformanceQuery> counter_;
  // Whether the counter has read well since it was (re)tried: until then a
  // failure means it does not work here, after it a passing fault.
  bool counter_proven_ = false;
  int failures_ = 0;  // failed readings in a row of a proven counter
  int counted_ = 0;   // windows counted since the counter was last tried
};

// The program's one clock thread, set while the main window's sampling
// threads run (null before and after).  UI thread only.
extern TCPUSpeed* CPUSpeed;

}  // namespace zt
