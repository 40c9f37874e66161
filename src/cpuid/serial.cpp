#include "cpuid/serial.h"

#include "cpuid/cpu_root.h"
#include "cpuid/cpu_values.h"
#include "cpuid/cpuid_access.h"

namespace zt::cpuid {

std::string DashedGroup(uint32_t value) {
  const std::string digits = Hex8(value);
  return digits.substr(0, 4) + "-" + digits.substr(4);
}

TProcessorSerial::TProcessorSerial(uint8_t processor)
    : processor_(processor), first_(MakeCpuid(processor, 3, 1)), second_(MakeCpuid(processor, 3, 1)) {}

bool TProcessorSerial::IsTransmeta() const {
  return CpuRoot().ProcessorInformation(processor_)->Vendor()->Vendor() == kVendorTransmeta;
}

std::shared_ptr<ICpuBoolean> TProcessorSerial::Available() const {
  // Feature bit 18 ("PSN") of the standard set.
  return CpuRoot().ProcessorInformation(processor_)->Features()->Standard()->Feature(18)->Available();
}

std::string TProcessorSerial::AsDashedText() const {
  if (IsTransmeta()) return DashedGroup(first_->Ebx()->Value());
  return DashedGroup(first_->Eax()->Value()) + "-" + DashedGroup(second_->Edx()->Value()) + "-" +
         DashedGroup(second_->Ecx()->Value());
}

std::string TProcessorSerial::AsHexText() const {
  if (IsTransmeta()) return Hex8(first_->Ebx()->Value());
  return Hex8(first_->Eax()->Value()) + Hex8(second_->Edx()->Value()) + Hex8(second_->Ecx()->Value());
}

}  // namespace zt::cpuid
