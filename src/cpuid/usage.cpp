#include "cpuid/usage.h"

#include <cmath>

#include "cpuid/cpu_values.h"
#include "sampling/processor_load.h"

namespace zt::cpuid {

uint32_t LoadFractionToPercent(double fraction) {
  const double percent = std::trunc(fraction * 100.0);
  if (!(percent > 0.0)) return 0;  // also NaN
  if (percent >= 4294967295.0) return 4294967295u;
  return static_cast<uint32_t>(percent);
}

std::shared_ptr<ICpuNumber> TProcessorUsage::Usage() const {
  IProcessorLoad& load = ProcessorLoad();
  load.RefreshProcessorCounters();
  return MakeNumber(LoadFractionToPercent(load.GetProcessorLoad(processor_)));
}

}  // namespace zt::cpuid
