// The current load of one processor, from the program's load measurement.
#pragma once

#include <cstdint>
#include <memory>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

// A load fraction as whole per cent, truncated toward zero; values outside
// what a 32-bit count can hold (negative, NaN, huge) are clamped.
uint32_t LoadFractionToPercent(double fraction);

class TProcessorUsage final : public IProcessorUsage {
 public:
  explicit TProcessorUsage(uint8_t processor) : processor_(processor) {}
  std::shared_ptr<ICpuNumber> Usage() const override;

 private:
  uint8_t processor_;
};

}  // namespace zt::cpuid
