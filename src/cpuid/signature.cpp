#include "cpuid/signature.h"

#include <cstdio>

#include "cpuid/cpu_root.h"
#include "cpuid/cpu_values.h"
#include "cpuid/cpuid_access.h"

namespace zt::cpuid {

bool SignatureFieldIsExtended(uint32_t raw, TSignatureField field) {
  switch (field) {
    case kFieldFamily: return ((raw >> 8) & 0xF) == 15;
    case kFieldModel: return ((raw >> 4) & 0xF) == 15;
    default: return false;
  }
}

uint32_t SignatureFieldValue(uint32_t raw, TSignatureField field) {
  const bool extended = SignatureFieldIsExtended(raw, field);
  switch (field) {
    case kFieldProcessorType: return (raw >> 12) & 3;
    case kFieldFamily: return ((raw >> 8) & 0xF) + (extended ? (raw >> 20) & 0xFF : 0);
    // The extended model is added to the nibble, not placed above it.
    case kFieldModel: return ((raw >> 4) & 0xF) + (extended ? (raw >> 16) & 0xF : 0);
    case kFieldStepping: return raw & 0xF;
    case kFieldBrand: return raw;
    default: return 0;
  }
}

std::shared_ptr<ICpuNumber> TCpuSignatureInformation::Value() const {
  return MakeNumber(SignatureFieldValue(raw_, field_));
}

std::shared_ptr<ICpuBoolean> TCpuSignatureInformation::IsExtended() const {
  return MakeBoolean(SignatureFieldIsExtended(raw_, field_));
}

TProcessorSignature::TProcessorSignature(uint8_t processor)
    : processor_(processor), leaf1_(MakeCpuid(processor, 1, 1)) {}

std::shared_ptr<ICpuSignatureInformation> TProcessorSignature::Field(TSignatureField field) const {
  return std::make_shared<TCpuSignatureInformation>(leaf1_->Eax()->Value(), field);
}

std::shared_ptr<ICpuSignatureInformation> TProcessorSignature::ProcessorType() const {
  return Field(kFieldProcessorType);
}
std::shared_ptr<ICpuSignatureInformation> TProcessorSignature::Family() const {
  return Field(kFieldFamily);
}
std::shared_ptr<ICpuSignatureInformation> TProcessorSignature::Model() const {
  return Field(kFieldModel);
}
std::shared_ptr<ICpuSignatureInformation> TProcessorSignature::Stepping() const {
  return Field(kFieldStepping);
}

std::shared_ptr<ICpuSignatureInformation> TProcessorSignature::Brand() const {
  const uint32_t ebx1 = leaf1_->Ebx()->Value();
  const bool late_amd = CpuRoot().ProcessorInformation(processor_)->Vendor()->Vendor() == kVendorAmd &&
                        Family()->Value()->Value() == 15 && Model()->Value()->Value() > 4;
  uint32_t brand = ebx1 & 0xFF;
  if (late_amd && ebx1 == 0) brand = MakeCpuid(processor_, 0x80000001, 1)->Ebx()->Value();
  return std::make_shared<TCpuSignatureInformation>(brand, kFieldBrand);
}

std::string TProcessorSignature::AsString() const {
  char buf[96];
  std::snprintf(buf, sizeof buf, "x86 Family %u Model %u Stepping %u",
                static_cast<unsigned>(Family()->Value()->Value()),
                static_cast<unsigned>(Model()->Value()->Value()),
                static_cast<unsigned>(Stepping()->Value()->Value()));
  return buf;
}

std::shared_ptr<ICpuNumber> TProcessorSignature::Signature() const { return leaf1_->Eax(); }

}  // namespace zt::cpuid
