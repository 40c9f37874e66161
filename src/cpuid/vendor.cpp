#include "cpuid/vendor.h"

#include "cpuid/cpuid_access.h"
#include "cpuid/cpu_values.h"

namespace zt::cpuid {

const TCpuVendorInfo& CpuVendorInfo(TCpuVendor vendor) {
  if (vendor < 1 || vendor > kCpuVendorTable.size()) return kCpuVendorTable[0];
  return kCpuVendorTable[vendor - 1];
}

TCpuVendor VendorFromText(const std::string& text) {
  for (size_t k = 0; k < kCpuVendorTable.size(); ++k) {
    if (text == kCpuVendorTable[k].signature) return static_cast<TCpuVendor>(k + 1);
  }
  return kVendorUnknown;
}

TProcessorVendor::TProcessorVendor(uint8_t processor) : processor_(processor) {
  TCpuid leaf0(processor, 0, 1);
  const CpuidRegisters& r = leaf0.Registers();
  const std::string text =
      TCpuNumber(r.ebx).AsChars() + TCpuNumber(r.edx).AsChars() + TCpuNumber(r.ecx).AsChars();
  vendor_ = VendorFromText(text);
}

std::string TProcessorVendor::Signature() const { return CpuVendorInfo(vendor_).signature; }
std::string TProcessorVendor::CompanyName() const { return CpuVendorInfo(vendor_).company_name; }
uint8_t TProcessorVendor::FeatureFamily() const { return CpuVendorInfo(vendor_).feature_family; }
uint8_t TProcessorVendor::CacheDetect() const { return CpuVendorInfo(vendor_).cache_detect; }

}  // namespace zt::cpuid
