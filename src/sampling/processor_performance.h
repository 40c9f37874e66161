// The processors' real working clock as the system publishes it: the mean
// performance of all processors against their nominal clock over an interval
// (per cent; above 100 while they boost) and that nominal clock in MHz.  The
// clock thread prefers it to counting time-stamp ticks wherever the
// time-stamp counter is invariant, since such a counter ticks at the nominal
// rate whatever the cores do.  Portable interface; Windows reads the
// "Processor Information" counter set, other systems offer nothing.
#pragma once

#include <memory>

#include "util/seam.h"

namespace zt {

// One open query.  Used by one thread.
class IProcessorPerformanceQuery {
 public:
  virtual ~IProcessorPerformanceQuery() = default;
  // Takes one collection; an interval runs from one to the next.  False when
  // the system refused it.
  virtual bool Collect() = 0;
  // The figures over the interval between the last two collections.  False
  // when there are none to give.
  virtual bool Read(double& performance_percent, double& nominal_mhz) = 0;
};

class IProcessorPerformance {
 public:
  virtual ~IProcessorPerformance() = default;
  // A new query over the counters; null where the system has none.
  virtual std::unique_ptr<IProcessorPerformanceQuery> Open() = 0;
};

template <>
IProcessorPerformance& Seam<IProcessorPerformance>::Real();

// The working clock in MHz for the two figures; -1 when they cannot be a
// clock (not finite, not positive, a nominal clock below 1 MHz, or beyond
// any processor's reach), so that a broken counter never reaches the label.
double ClockFromPerformance(double performance_percent, double nominal_mhz);

}  // namespace zt
