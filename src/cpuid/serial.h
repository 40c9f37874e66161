// The processor serial number of leaf 3.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

// "%1.8x" split as four digits, "-", four digits.
std::string DashedGroup(uint32_t value);

class TProcessorSerial final : public IProcessorSerial {
 public:
  explicit TProcessorSerial(uint8_t processor);
  std::shared_ptr<ICpuBoolean> Available() const override;
  std::string AsDashedText() const override;
  std::string AsHexText() const override;

 private:
  bool IsTransmeta() const;

  uint8_t processor_;
  std::shared_ptr<ICpuid> first_;   // supplies EAX and EBX
  std::shared_ptr<ICpuid> second_;  // supplies EDX and ECX
};

}  // namespace zt::cpuid
