#include "cpuid/errata.h"

#include "cpuid/cpu_root.h"
#include "cpuid/cpu_values.h"

namespace zt::cpuid {

namespace {

// Read through volatile so the compiler cannot fold the division away: the
// point is to have this processor's floating-point unit do it.
volatile double g_fdiv_dividend = 4195835.0;
volatile double g_fdiv_divisor = 3145727.0;

}  // namespace

bool HasFDivDefect() {
  // long double keeps the intermediate at the unit's extended precision on x86.
  const long double x = g_fdiv_dividend;
  const long double y = g_fdiv_divisor;
  volatile long double result = (x / y) * y - x;
  return result != 0.0L;
}

bool IsDuronCacheErratum(TCpuVendor vendor, uint32_t family, uint32_t model, uint32_t stepping) {
  return vendor == kVendorAmd && family == 6 && model == 3 && stepping == 0;
}

std::shared_ptr<ICpuBoolean> TProcessorErrata::FDivError() const { return MakeBoolean(HasFDivDefect()); }

std::shared_ptr<ICpuBoolean> TProcessorErrata::DuronCache() const {
  TQuindle& root = CpuRoot();
  return MakeBoolean(IsDuronCacheErratum(root.ProcessorInformation(processor_)->Vendor()->Vendor(),
                                         root.ProcessorInformation(processor_)->Signature()->Family()->Value()->Value(),
                                         root.ProcessorInformation(processor_)->Signature()->Model()->Value()->Value(),
                                         root.ProcessorInformation(processor_)->Signature()->Stepping()->Value()->Value()));
}

}  // namespace zt::cpuid
