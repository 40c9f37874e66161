// Who made the processor: the vendor text of leaf 0 matched against the
// vendor table.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

struct TCpuVendorInfo {
  const char* signature;     // the 12 characters CPUID returns
  const char* name;          // with one trailing blank: start of the generic name
  const char* company_name;
  uint8_t feature_family;    // 0 generic, 1 Intel, 2 AMD-style, 3 Cyrix
  uint8_t cache_detect;      // 0 standard, 1 extended, 2 combined
};

// Records for vendor numbers 1 to 9, in that order (index = vendor - 1).
inline constexpr std::array<TCpuVendorInfo, 9> kCpuVendorTable = {{
    // Signature       Name          Company name                    Feat Cache
    {"BadCpuVendor", "Unknown ",   "Unknown Vendor",               0, 0},  // 1
    {"GenuineIntel", "Intel ",     "Intel Corporation",            1, 0},  // 2
    {"AuthenticAMD", "AMD ",       "Advanced Micro Devices",       2, 1},  // 3
    {"CyrixInstead", "Cyrix ",     "Via Technologies Inc",         3, 2},  // 4
    {"CentaurHauls", "Via ",       "Via Technologies Inc",         0, 1},  // 5
    {"NexGenDriven", "NexGen ",    "NexGen Inc",                   0, 0},  // 6
    {"UMC UMC UMC ", "UMC ",       "United Microelectronics Corp", 0, 0},  // 7
    {"RiseRiseRise", "Rise ",      "Rise Technology",              0, 0},  // 8
    {"GenuineTMx86", "Transmeta ", "Transmeta",                    2, 1},  // 9
}};
static_assert(kCpuVendorTable.size() == 9, "one record per vendor number 1-9");

// The record of a vendor number; numbers outside 1-9 give the unknown record.
const TCpuVendorInfo& CpuVendorInfo(TCpuVendor vendor);

// The vendor number of a 12-character vendor text (exact match), else 1.
TCpuVendor VendorFromText(const std::string& text);

class TProcessorVendor final : public IProcessorVendor {
 public:
  explicit TProcessorVendor(uint8_t processor);
  std::string Signature() const override;
  std::string CompanyName() const override;
  uint8_t FeatureFamily() const override;
  uint8_t CacheDetect() const override;
  TCpuVendor Vendor() const override { return vendor_; }

 private:
  uint8_t processor_;
  TCpuVendor vendor_;
};

}  // namespace zt::cpuid
