#include "cpuid/processor_count.h"

#include <algorithm>

#include "cpuid/cpu_machine.h"
#include "cpuid/cpu_root.h"
#include "cpuid/cpu_values.h"
#include "cpuid/cpuid_access.h"

namespace zt::cpuid {

std::shared_ptr<ICpuNumber> TProcessorCount::AvailableProcessors() const {
  return MakeNumber(Machine().ProcessorCount());
}

std::shared_ptr<ICpuNumber> TProcessorCount::VirtualProcessors() const {
  // Processor indexes are 8-bit; a machine with 256 or more processors is
  // counted up to index 255, as the navigation tree lists them, rather than
  // wrapping round to nothing.
  const uint32_t n = std::min<uint32_t>(AvailableProcessors()->Value(), 256);
  uint32_t total = 0;
  for (uint32_t p = 0; p < n; ++p) {
    const auto processor = static_cast<uint8_t>(p);
    const bool htt =
        CpuRoot().ProcessorInformation(processor)->Features()->Standard()->Feature(28)->Available()->Value();
    if (htt) {
      total += (MakeCpuid(processor, 1, 1)->Ebx()->Value() >> 16) & 0xFF;
    } else {
      total += 1;
    }
  }
  return MakeNumber(total);
}

}  // namespace zt::cpuid
