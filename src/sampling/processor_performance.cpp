#include "sampling/processor_performance.h"

#include <cmath>

namespace zt {

namespace {
// Generous bounds: a nominal clock of 100 GHz, a boost to ten times it.
constexpr double kMaxNominalMhz = 100000;
constexpr double kMaxPerformancePercent = 1000;
}  // namespace

double ClockFromPerformance(double performance_percent, double nominal_mhz) {
  if (!std::isfinite(performance_percent) || !std::isfinite(nominal_mhz)) return -1;
  if (!(performance_percent > 0) || performance_percent > kMaxPerformancePercent) return -1;
  if (!(nominal_mhz >= 1) || nominal_mhz > kMaxNominalMhz) return -1;
  return nominal_mhz * performance_percent / 100.0;
}

}  // namespace zt
