// The clock-speed thread: measures the processor clock by counting
// time-stamp-counter ticks across a half-second sleep and hands each figure
// (whole MHz) to a speed sink, which on Windows posts WM_CPUSPEED to the main
// window.  Measures once, then about every second while UpdateSpeed is on;
// pauses while AppTrayMode is on.  Portable; the counter, the sleeps, the
// priority and the affinity are the machine's (util/cpu_machine.h), the one
// the processor library measures on as well.
#pragma once

#include <cstdint>
#include <string>

#include "sampling/worker_thread.h"

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
// the low 32 bits of their difference over the time that really passed,
// which the high-resolution counter timed (counter_ticks at frequency per
// second).  A sleep that ends on the system's tick lasts longer than it was
// asked to, so the nominal 500 ms would read high; only without that
// counter (frequency 0, or no interval) does the figure rest on it.
double SpeedFromTicks(uint64_t t1, uint64_t t2, int64_t counter_ticks, int64_t frequency);

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

  // One measurement into Speed.  False, with Speed unchanged, when the
  // terminate request cut it short: the counters then span less than the
  // window and the figure would be wrong.
  bool MeasureSpeed();
  // Hands Round(Speed) (ties to even) to the sink.
  void PostSpeed();

 protected:
  void Execute() override;

 private:
  ISpeedSink& sink_;
  ICpuMachine& machine_;
  double speed_ = -1.0;
};

// The program's one clock thread (set by StartMonitors, cleared by
// StopMonitors).  UI thread only.
extern TCPUSpeed* CPUSpeed;

}  // namespace zt
