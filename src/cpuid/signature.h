// The processor signature of leaf 1 split into type, family, model, stepping
// and brand.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

// Value of one field of a raw signature (or, for the brand, the brand value
// itself), with the extended family and model added in where they apply.
uint32_t SignatureFieldValue(uint32_t raw, TSignatureField field);
bool SignatureFieldIsExtended(uint32_t raw, TSignatureField field);

class TCpuSignatureInformation final : public ICpuSignatureInformation {
 public:
  TCpuSignatureInformation(uint32_t raw, TSignatureField field) : raw_(raw), field_(field) {}
  std::shared_ptr<ICpuNumber> Value() const override;
  std::shared_ptr<ICpuBoolean> IsExtended() const override;

 private:
  uint32_t raw_;
  TSignatureField field_;
};

class TProcessorSignature final : public IProcessorSignature {
 public:
  explicit TProcessorSignature(uint8_t processor);
  std::shared_ptr<ICpuSignatureInformation> ProcessorType() const override;
  std::shared_ptr<ICpuSignatureInformation> Family() const override;
  std::shared_ptr<ICpuSignatureInformation> Model() const override;
  std::shared_ptr<ICpuSignatureInformation> Stepping() const override;
  std::shared_ptr<ICpuSignatureInformation> Brand() const override;
  std::string AsString() const override;
  std::shared_ptr<ICpuNumber> Signature() const override;

 private:
  std::shared_ptr<ICpuSignatureInformation> Field(TSignatureField field) const;

  uint8_t processor_;
  std::shared_ptr<ICpuid> leaf1_;
};

}  // namespace zt::cpuid
