// Two known processor defects: the Pentium division defect and the Duron
// part whose cache size is reported wrongly.
#pragma once

#include <cstdint>
#include <memory>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

// Whether the floating-point unit gets 4195835 / 3145727 wrong.
bool HasFDivDefect();
// AMD family 6 model 3 stepping 0.
bool IsDuronCacheErratum(TCpuVendor vendor, uint32_t family, uint32_t model, uint32_t stepping);

class TProcessorErrata final : public IProcessorErrata {
 public:
  explicit TProcessorErrata(uint8_t processor) : processor_(processor) {}
  std::shared_ptr<ICpuBoolean> FDivError() const override;
  std::shared_ptr<ICpuBoolean> DuronCache() const override;

 private:
  uint8_t processor_;
};

}  // namespace zt::cpuid
