#include <gtest/gtest.h>

#include "cpuid/errata.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::FakeCpu;
using testing::ScopedFake;

bool DuronOn(const char* vendor, uint32_t signature, uint32_t max_standard = 1) {
  FakeCpu cpu;
  cpu.Vendor(vendor, max_standard).Signature(signature);
  ScopedFake fake({cpu});
  return TProcessorErrata(0).DuronCache()->Value();
}

TEST(Errata, DuronCacheOnlyForAmdFamily6Model3Stepping0) {
  EXPECT_TRUE(DuronOn("AuthenticAMD", 0x00000630));
  EXPECT_FALSE(DuronOn("AuthenticAMD", 0x00000631));
  EXPECT_FALSE(DuronOn("AuthenticAMD", 0x00000640));
  EXPECT_FALSE(DuronOn("GenuineIntel", 0x00000630));
  // Leaf 1 unavailable: the signature reads 0.
  EXPECT_FALSE(DuronOn("AuthenticAMD", 0x00000630, 0));
  EXPECT_TRUE(IsDuronCacheErratum(kVendorAmd, 6, 3, 0));
  EXPECT_FALSE(IsDuronCacheErratum(kVendorTransmeta, 6, 3, 0));
}

}  // namespace
}  // namespace zt::cpuid
