#include <gtest/gtest.h>

#include "cpuid/vendor.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::FakeCpu;
using testing::ScopedFake;

TCpuVendor DetectOn(const char* text12) {
  FakeCpu cpu;
  cpu.Vendor(text12, 1);
  ScopedFake fake({cpu});
  return TProcessorVendor(0).Vendor();
}

TEST(Vendor, DetectsEveryTableTextExactly) {
  EXPECT_EQ(DetectOn("GenuineIntel"), kVendorIntel);
  EXPECT_EQ(DetectOn("AuthenticAMD"), kVendorAmd);
  EXPECT_EQ(DetectOn("CyrixInstead"), kVendorCyrix);
  EXPECT_EQ(DetectOn("CentaurHauls"), kVendorVia);
  EXPECT_EQ(DetectOn("NexGenDriven"), kVendorNexGen);
  EXPECT_EQ(DetectOn("UMC UMC UMC "), kVendorUmc);
  EXPECT_EQ(DetectOn("RiseRiseRise"), kVendorRise);
  EXPECT_EQ(DetectOn("GenuineTMx86"), kVendorTransmeta);
  // The register order matters: EBX, EDX, ECX.
  EXPECT_EQ(VendorFromText("GenuineIntel"), kVendorIntel);
  EXPECT_EQ(VendorFromText("GenuntelineI"), kVendorUnknown);
}

TEST(Vendor, UnknownTextsFallBackToOne) {
  EXPECT_EQ(DetectOn("genuineintel"), kVendorUnknown);
  EXPECT_EQ(DetectOn("AMDisbetter!"), kVendorUnknown);
  EXPECT_EQ(DetectOn("BadCpuVendor"), kVendorUnknown);  // the unknown record's own text
  FakeCpu silent;  // leaf 0 answers zeros
  ScopedFake fake({silent});
  const TProcessorVendor vendor(0);
  EXPECT_EQ(vendor.Vendor(), kVendorUnknown);
  EXPECT_EQ(vendor.Signature(), "BadCpuVendor");
  EXPECT_EQ(vendor.CompanyName(), "Unknown Vendor");
}

TEST(Vendor, RecordFieldsReachTheObject) {
  FakeCpu cyrix;
  cyrix.Vendor("CyrixInstead", 1);
  ScopedFake fake({cyrix});
  const TProcessorVendor vendor(0);
  EXPECT_EQ(vendor.Signature(), "CyrixInstead");
  EXPECT_EQ(vendor.CompanyName(), "Via Technologies Inc");
  EXPECT_EQ(vendor.FeatureFamily(), 3);
  EXPECT_EQ(vendor.CacheDetect(), 2);
  // Out-of-range vendor numbers read the unknown record.
  EXPECT_STREQ(CpuVendorInfo(0).name, "Unknown ");
  EXPECT_STREQ(CpuVendorInfo(10).name, "Unknown ");
  EXPECT_STREQ(CpuVendorInfo(kVendorTransmeta).name, "Transmeta ");
  for (const TCpuVendorInfo& info : kCpuVendorTable) EXPECT_EQ(std::string(info.signature).size(), 12u);
}

}  // namespace
}  // namespace zt::cpuid
