#include <gtest/gtest.h>

#include <set>

#include "cpuid/features.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::FakeCpu;
using testing::ScopedFake;

std::set<int> DefinedBits(TCpuFeatureKind kind, uint8_t family) {
  std::set<int> bits;
  const auto slots = BuildFeatureSlots(kind, family);
  for (int b = 0; b < 32; ++b) {
    if (slots[b] != kNoFeature) {
      EXPECT_EQ(kFeatureTable[slots[b]].bit, b);
      bits.insert(b);
    }
  }
  return bits;
}

std::string NameAt(TCpuFeatureKind kind, uint8_t family, int bit) {
  const uint8_t index = BuildFeatureSlots(kind, family)[bit];
  return index == kNoFeature ? "RES" : kFeatureTable[index].short_name;
}

TEST(FeatureDefinition, GenericAndVendorPasses) {
  // The second standard set has the same three bits for every vendor.
  for (uint8_t family = 0; family <= 3; ++family) {
    EXPECT_EQ(DefinedBits(kFeaturesStandardEx, family), (std::set<int>{7, 8, 10}));
  }
  EXPECT_EQ(NameAt(kFeaturesStandardEx, 0, 7), "TM2");
  EXPECT_EQ(NameAt(kFeaturesStandardEx, 0, 8), "EST");
  EXPECT_EQ(NameAt(kFeaturesStandardEx, 0, 10), "CID");
  // Power management: nothing generic, bits 0-5 for AMD-style vendors.
  EXPECT_TRUE(DefinedBits(kFeaturesPower, 1).empty());
  EXPECT_TRUE(DefinedBits(kFeaturesPower, 0).empty());
  EXPECT_EQ(DefinedBits(kFeaturesPower, 2), (std::set<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(NameAt(kFeaturesPower, 2, 4), "TM");
  // Standard set: every bit but 10 and 20; AMD's MP row is extended-only.
  EXPECT_EQ(DefinedBits(kFeaturesStandard, 1).size(), 30u);
  EXPECT_EQ(NameAt(kFeaturesStandard, 2, 19), "CLFSH");
  EXPECT_EQ(NameAt(kFeaturesStandard, 2, 22), "ACPI");
  EXPECT_EQ(NameAt(kFeaturesStandard, 3, 24), "FXSR");
  // Extended set: vendor rows override the generic ones.
  EXPECT_EQ(NameAt(kFeaturesExtended, 1, 19), "CLFSH");
  EXPECT_EQ(NameAt(kFeaturesExtended, 2, 19), "MP");
  EXPECT_EQ(NameAt(kFeaturesExtended, 2, 22), "MMX+");
  EXPECT_EQ(NameAt(kFeaturesExtended, 1, 22), "RES");
  EXPECT_EQ(NameAt(kFeaturesExtended, 3, 24), "MMX+");
  EXPECT_EQ(NameAt(kFeaturesExtended, 2, 24), "FXSR");
  EXPECT_EQ(NameAt(kFeaturesExtended, 3, 22), "RES");
  EXPECT_EQ(NameAt(kFeaturesExtended, 3, 20), "NX");
  EXPECT_EQ(NameAt(kFeaturesExtended, 2, 31), "3DNOW");
  EXPECT_EQ(NameAt(kFeaturesExtended, 3, 31), "RES");
  EXPECT_EQ(NameAt(kFeaturesExtended, 1, 29), "RES");
  // Kinds outside 1-4 define nothing, whatever the vendor.
  for (TCpuFeatureKind kind : {0, 5, 7, 8, 31, 32, 200, 255}) {
    for (uint8_t family = 0; family <= 3; ++family) {
      EXPECT_TRUE(DefinedBits(static_cast<TCpuFeatureKind>(kind), family).empty()) << int(kind);
    }
  }
}

TEST(FeatureDefinition, KindOfName) {
  EXPECT_EQ(FeatureKindOfName("LM"), kFeaturesExtended);
  EXPECT_EQ(FeatureKindOfName("fpu"), kFeaturesStandard);
  EXPECT_EQ(FeatureKindOfName("est"), kFeaturesStandardEx);
  EXPECT_EQ(FeatureKindOfName("TM"), kFeaturesPower);  // the first TM row is AMD's
  EXPECT_EQ(FeatureKindOfName("MMX+"), kFeaturesExtended);
  EXPECT_EQ(FeatureKindOfName("nothing"), 0);
  EXPECT_EQ(FeatureKindOfName(""), 0);
}

FakeCpu Amd(uint32_t signature, uint32_t max_extended = 0x80000008) {
  FakeCpu cpu;
  cpu.Vendor("AuthenticAMD", 1).Signature(signature, 0, 0x00000001, 0x0383FBFF).Extended(max_extended);
  cpu.Leaf(0x80000001, signature, 0, 0, 0xE0400000 | (1u << 19));  // LM, 3DNOW+, 3DNOW, MMX+, MP
  cpu.Leaf(0x80000007, 0, 0, 0, 0x0000003F);
  return cpu;
}

FakeCpu Intel() {
  FakeCpu cpu;
  cpu.Vendor("GenuineIntel", 2).Signature(0x00000F29, 0, 0x00000180, 0xBFEBFBFF).Extended(0x80000004);
  return cpu;
}

TEST(FeatureSet, AvailabilityCountsAndBits) {
  ScopedFake fake({Amd(0x00000681)});
  const TCpuFeatureSet standard(0, kFeaturesStandard);
  EXPECT_TRUE(standard.Available()->Value());
  EXPECT_EQ(standard.FeatureCount()->Value(), 30u);
  EXPECT_TRUE(standard.Feature(0)->Available()->Value());
  EXPECT_FALSE(standard.Feature(18)->Available()->Value());
  const TCpuFeatureSet extended(0, kFeaturesExtended);
  const auto mp = extended.Feature(19);
  EXPECT_EQ(mp->ShortName(), "MP");
  EXPECT_EQ(mp->Description(), "Multi processor enabled");
  EXPECT_EQ(mp->BitIndex(), 19);
  EXPECT_TRUE(mp->Available()->Value());
  EXPECT_FALSE(extended.Feature(0)->Available()->Value());  // FPU bit clear here
  // The second standard set reads ECX.
  const TCpuFeatureSet ex(0, kFeaturesStandardEx);
  EXPECT_EQ(ex.FeatureCount()->Value(), 3u);
  EXPECT_FALSE(ex.Feature(7)->Available()->Value());
  EXPECT_EQ(ex.Feature(0)->ShortName(), "RES");
  EXPECT_EQ(TCpuFeatureSet(0, kFeaturesPower).FeatureCount()->Value(), 6u);
  // Placeholder for empty slots and bits above 31.
  for (uint8_t bit : {uint8_t{32}, uint8_t{255}}) {
    const auto f = standard.Feature(bit);
    EXPECT_EQ(f->BitIndex(), kNoFeature);
    EXPECT_EQ(f->ShortName(), "RES");
    EXPECT_EQ(f->Description(), "Reserved or unused");
    EXPECT_FALSE(f->Available()->Value());
  }
  EXPECT_FALSE(TCpuFeatureSet(0, 0).Available()->Value());
  EXPECT_EQ(TCpuFeatureSet(0, 9).FeatureCount()->Value(), 0u);
}

TEST(FeatureSet, UnavailableSetCountsZeroAndNoBitIsSet) {
  // Extended range ends at 0x80000001: the power set is missing.
  ScopedFake fake({Amd(0x00000681, 0x80000001)});
  const TCpuFeatureSet power(0, kFeaturesPower);
  EXPECT_FALSE(power.Available()->Value());
  EXPECT_EQ(power.FeatureCount()->Value(), 0u);
  EXPECT_EQ(power.Feature(0)->ShortName(), "TS");  // still defined
  EXPECT_FALSE(power.Feature(0)->Available()->Value());
  EXPECT_TRUE(TCpuFeatureSet(0, kFeaturesExtended).Available()->Value());
}

TEST(FeatureSet, NamesAndVendorAliases) {
  {
    ScopedFake fake({Amd(0x00000681)});
    const TCpuFeatureSet extended(0, kFeaturesExtended);
    EXPECT_EQ(extended.FeatureByName("mmx+")->BitIndex(), 22);
    EXPECT_EQ(extended.FeatureByName("3dnow")->BitIndex(), 31);
    EXPECT_EQ(extended.FeatureByName("SSE")->ShortName(), "RES");
    // The alias ignores the set: in the standard set bit 22 is ACPI.
    EXPECT_EQ(TCpuFeatureSet(0, kFeaturesStandard).FeatureByName("MMX+")->ShortName(), "ACPI");
    // SEP on an AMD family 6 part is looked for at bit 10, which is empty.
    EXPECT_EQ(TCpuFeatureSet(0, kFeaturesStandard).FeatureByName("sep")->ShortName(), "RES");
    EXPECT_EQ(TCpuFeatureSet(0, kFeaturesStandard).FeatureByName("PGE")->BitIndex(), 13);

    const TProcessorFeatures all(0);
    EXPECT_EQ(all.FeatureByName("LM")->BitIndex(), 29);
    EXPECT_TRUE(all.FeatureByName("lm")->Available()->Value());
    EXPECT_EQ(all.FeatureByName("TM")->BitIndex(), 4);  // AMD's power-management TM
    EXPECT_EQ(all.FeatureByName("bogus")->ShortName(), "RES");
    EXPECT_EQ(all.PowerManagement()->FeatureCount()->Value(), 6u);
  }
  {
    ScopedFake fake({Amd(0x00000500)});  // K5 model 0
    EXPECT_EQ(TCpuFeatureSet(0, kFeaturesStandard).FeatureByName("PGE")->ShortName(), "APIC");
  }
  {
    ScopedFake fake({Intel()});
    const TCpuFeatureSet extended(0, kFeaturesExtended);
    EXPECT_EQ(extended.FeatureByName("mmx+")->ShortName(), "RES");
    EXPECT_EQ(TCpuFeatureSet(0, kFeaturesStandard).FeatureByName("sep")->BitIndex(), 11);
    EXPECT_EQ(TProcessorFeatures(0).FeatureByName("TM")->ShortName(), "RES");
    EXPECT_EQ(TProcessorFeatures(0).FeatureByName("htt")->BitIndex(), 28);
    EXPECT_TRUE(TProcessorFeatures(0).FeatureByName("est")->Available()->Value());
    // Extended leaf 0x80000001 exists, but no vendor row makes MP.
    EXPECT_EQ(extended.Feature(19)->ShortName(), "CLFSH");
    EXPECT_EQ(TProcessorFeatures(0).PowerManagement()->FeatureCount()->Value(), 0u);
  }
  {
    FakeCpu cyrix;
    cyrix.Vendor("CyrixInstead", 1).Signature(0x00000601).Extended(0x80000001);
    ScopedFake fake({cyrix});
    EXPECT_EQ(TCpuFeatureSet(0, kFeaturesExtended).FeatureByName("MMX+")->BitIndex(), 24);
  }
  {
    FakeCpu crusoe;  // AMD-style rows, but not the AMD alias
    crusoe.Vendor("GenuineTMx86", 1).Signature(0x00000543).Extended(0x80000001);
    ScopedFake fake({crusoe});
    EXPECT_EQ(TCpuFeatureSet(0, kFeaturesExtended).FeatureByName("MMX+")->BitIndex(), 22);
    EXPECT_EQ(TCpuFeatureSet(0, kFeaturesStandard).FeatureByName("MMX+")->ShortName(), "RES");
  }
}

}  // namespace
}  // namespace zt::cpuid
