#include "cpuid/usage.h"

#include <atomic>
#include <cmath>

#include "cpuid/cpu_values.h"
#include "util/errors.h"

namespace zt::cpuid {

namespace {
std::atomic<IProcessorLoadSource*> g_load_source{nullptr};
}  // namespace

void SetProcessorLoadSource(IProcessorLoadSource* source) { g_load_source.store(source); }

uint32_t LoadFractionToPercent(double fraction) {
  const double percent = std::trunc(fraction * 100.0);
  if (!(percent > 0.0)) return 0;  // also NaN
  if (percent >= 4294967295.0) return 4294967295u;
  return static_cast<uint32_t>(percent);
}

std::shared_ptr<ICpuNumber> TProcessorUsage::Usage() const {
  IProcessorLoadSource* load = g_load_source.load();
  // Without a source there is no figure to give; 0 % would be a made-up one.
  if (!load) throw EZettrimError("No processor-load source");
  load->RefreshProcessorCounters();
  return MakeNumber(LoadFractionToPercent(load->GetProcessorLoad(processor_)));
}

}  // namespace zt::cpuid
