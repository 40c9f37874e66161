#include <gtest/gtest.h>

#include "cpuid/signature.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::FakeCpu;
using testing::ScopedFake;

struct Fields {
  uint32_t type, family, model, stepping;
  bool family_ext, model_ext;
};

Fields Decode(uint32_t s) {
  return {SignatureFieldValue(s, kFieldProcessorType), SignatureFieldValue(s, kFieldFamily),
          SignatureFieldValue(s, kFieldModel),         SignatureFieldValue(s, kFieldStepping),
          SignatureFieldIsExtended(s, kFieldFamily),   SignatureFieldIsExtended(s, kFieldModel)};
}

TEST(Signature, ExtendedFieldsAreAddedNotShifted) {
  Fields f = Decode(0x00000F29);
  EXPECT_EQ(f.family, 15u);
  EXPECT_EQ(f.model, 2u);
  EXPECT_EQ(f.stepping, 9u);
  EXPECT_TRUE(f.family_ext);
  EXPECT_FALSE(f.model_ext);

  f = Decode(0x000006F6);
  EXPECT_EQ(f.family, 6u);
  EXPECT_EQ(f.model, 15u);
  EXPECT_TRUE(f.model_ext);
  EXPECT_FALSE(f.family_ext);

  EXPECT_EQ(Decode(0x000106F1).model, 16u);  // 15 + 1, not 0x1F
  EXPECT_EQ(Decode(0x000306F2).model, 18u);
  // The extended model only counts when the model nibble is 15.
  EXPECT_EQ(Decode(0x000306A9).model, 10u);
  EXPECT_FALSE(Decode(0x000306A9).model_ext);
  // Extended family: 15 + bits 20-27.
  EXPECT_EQ(Decode(0x00600F12).family, 21u);
  EXPECT_EQ(Decode(0x0FF00F00).family, 15u + 255u);
  // The extended family is ignored below family 15.
  EXPECT_EQ(Decode(0x00F00600).family, 6u);
  EXPECT_EQ(Decode(0x00003000).type, 3u);
  EXPECT_EQ(Decode(0x00001633).type, 1u);
  EXPECT_EQ(SignatureFieldValue(0x12345678, kFieldBrand), 0x12345678u);
  EXPECT_EQ(SignatureFieldValue(0x12345678, 5), 0u);
  EXPECT_FALSE(SignatureFieldIsExtended(0xFFFFFFFF, kFieldStepping));
}

TEST(Signature, ObjectReadsLeafOne) {
  FakeCpu cpu;
  cpu.Vendor("GenuineIntel", 1).Signature(0x00000683, 0x00010E02);
  ScopedFake fake({cpu});
  const TProcessorSignature sig(0);
  EXPECT_EQ(sig.AsString(), "x86 Family 6 Model 8 Stepping 3");
  EXPECT_EQ(sig.Signature()->Value(), 0x683u);
  EXPECT_EQ(sig.Brand()->Value()->Value(), 2u);
  EXPECT_FALSE(sig.Brand()->IsExtended()->Value());
  EXPECT_EQ(sig.ProcessorType()->Value()->Value(), 0u);
}

TEST(Signature, NoStandardLeafOneGivesZeros) {
  FakeCpu cpu;
  cpu.Vendor("GenuineIntel", 0).Signature(0x00000683, 0x00010E02);
  ScopedFake fake({cpu});
  const TProcessorSignature sig(0);
  EXPECT_EQ(sig.AsString(), "x86 Family 0 Model 0 Stepping 0");
  EXPECT_EQ(sig.Brand()->Value()->Value(), 0u);
}

uint32_t BrandOf(const char* vendor, uint32_t signature, uint32_t ebx1, uint32_t ebx_ext) {
  FakeCpu cpu;
  cpu.Vendor(vendor, 1).Signature(signature, ebx1).Extended(0x80000008);
  cpu.Leaf(0x80000001, signature, ebx_ext, 0, 0);
  ScopedFake fake({cpu});
  return TProcessorSignature(0).Brand()->Value()->Value();
}

TEST(Signature, BrandRuleForLateAmdParts) {
  // Family 15 with model above 4, EBX of leaf 1 empty: the whole extended EBX.
  EXPECT_EQ(BrandOf("AuthenticAMD", 0x00000F51, 0, 0x12345678), 0x12345678u);
  EXPECT_EQ(BrandOf("AuthenticAMD", 0x00040FB2, 0, 0x00000456), 0x456u);
  // EBX of leaf 1 set: its low byte, as for everyone else.
  EXPECT_EQ(BrandOf("AuthenticAMD", 0x00000F51, 0x00000A05, 0x12345678), 5u);
  // Model 4 is not late; neither is a non-AMD vendor, nor family 6.
  EXPECT_EQ(BrandOf("AuthenticAMD", 0x00000F48, 0, 0x12345678), 0u);
  EXPECT_EQ(BrandOf("GenuineIntel", 0x00000F51, 0, 0x12345678), 0u);
  EXPECT_EQ(BrandOf("AuthenticAMD", 0x000006A0, 0, 0x12345678), 0u);
  // Model nibble 3 with extended model 2: model 3, not late.
  EXPECT_EQ(BrandOf("AuthenticAMD", 0x00020F32, 0, 0x12345678), 0u);
}

}  // namespace
}  // namespace zt::cpuid
