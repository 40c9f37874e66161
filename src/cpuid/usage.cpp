#include "cpuid/usage.h"

#include <cmath>

#include "cpuid/cpu_values.h"

namespace zt::cpuid {

namespace {
// Set by the program's start-up; the library is used from one thread.
IProcessorLoadSource* g_load_source = nullptr;
}  // namespace

void SetProcessorLoadSource(IProcessorLoadSource* source) { g_load_source = source; }

uint32_t LoadFractionToPercent(double fraction) {
  const double percent = std::trunc(fraction * 100.0);
  if (!(percent > 0.0)) return 0;  // also NaN
  if (percent >= 4294967295.0) return 4294967295u;
  return static_cast<uint32_t>(percent);
}

std::shared_ptr<ICpuNumber> TProcessorUsage::Usage() const {
  IProcessorLoadSource* load = g_load_source;
  uint32_t percent = 0;
  if (load) {
    load->RefreshProcessorCounters();
    percent = LoadFractionToPercent(load->GetProcessorLoad(processor_));
  }
  return MakeNumber(percent);
}

}  // namespace zt::cpuid
