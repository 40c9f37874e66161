// Cache objects over a processor: the method chosen per vendor, leaf 2 run as
// often as it asks, descriptors from the extended leaves on other vendors,
// and the extended method on real registers decoded by hand.
#include <gtest/gtest.h>

#include <string>

#include "cpuid/cache.h"
#include "cpuid/cpu_root.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::ScopedFake;

struct Shown {
  bool available;
  uint32_t size;
  uint32_t line;
  std::string associativity;
  uint32_t code;
  bool operator==(const Shown& o) const {
    return available == o.available && size == o.size && line == o.line &&
           associativity == o.associativity && code == o.code;
  }
};

std::ostream& operator<<(std::ostream& os, const Shown& s) {
  return os << "{" << s.available << ", " << s.size << ", " << s.line << ", " << s.associativity
            << ", " << s.code << "}";
}

Shown Show(const std::shared_ptr<ICpuCache>& cache) {
  const auto assoc = cache->Associativity();
  return {cache->Available()->Value(), cache->Size()->Value(), cache->LineSize()->Value(),
          assoc->Name(), assoc->Value()->Value()};
}

const Shown kNone{false, 0, 0, "None", 0};

std::shared_ptr<IProcessorCache> Caches() { return CpuRoot().ProcessorInformation(0)->Cache(); }

TEST(ProcessorCache, MethodFollowsTheVendorsCacheDetect) {
  const struct {
    const char* vendor;
    bool extended;
  } cases[] = {{"GenuineIntel", false}, {"AuthenticAMD", true}, {"CyrixInstead", false},
               {"CentaurHauls", true},  {"NexGenDriven", false}, {"UMC UMC UMC ", false},
               {"RiseRiseRise", false}, {"GenuineTMx86", true},  {"SomethingNew", false}};
  for (const auto& c : cases) {
    ScopedFake m;
    m->SetBasics(c.vendor, 2, 0x00000652);
    EXPECT_EQ(TProcessorCache(0).UseExtendedCpuid(), c.extended) << c.vendor;
  }
}

TEST(ProcessorCache, Pentium4DescriptorsThroughTheFacade) {
  ScopedFake m;
  m->SetBasics("GenuineIntel", 2, 0x00000F27, 0x00010809, 0x80000004);
  m->Set(2, {0x665B5101, 0, 0, 0x007B7040});
  const auto caches = Caches();
  EXPECT_EQ(Show(caches->Level1()->Code()), kNone);
  EXPECT_EQ(Show(caches->Level1()->Data()), (Shown{true, 8192, 64, "4-Way", 4}));
  EXPECT_EQ(Show(caches->Level1()->Unified()), kNone);
  EXPECT_EQ(Show(caches->Level2()), (Shown{true, 524288, 64, "8-Way", 6}));
  EXPECT_EQ(Show(caches->Level3()), kNone);  // 0x40: no level 3
  EXPECT_EQ(Show(caches->Trace()), (Shown{true, 12288, 0, "8-Way", 6}));
}

TEST(ProcessorCache, LeafTwoRunsAsOftenAsItsFirstAnswerSays) {
  ScopedFake m;
  m->SetBasics("GenuineIntel", 2, 0x00000652);
  // Two answers in a row; only the second one's descriptors count.
  m->SetSequence(2, {{0x00000002, 0, 0, 0x00000041}, {0x00000002, 0, 0, 0x00000044}});
  EXPECT_EQ(Show(Caches()->Level2()), (Shown{true, 1048576, 32, "4-Way", 4}));

  // A count byte of 0 runs nothing: no descriptors at all.
  m->Set(2, {0x00000000, 0x00000043, 0, 0});
  EXPECT_EQ(Show(Caches()->Level2()), kNone);

  // Nothing is cached: each Level2 runs the detection again.
  m->Set(2, {0x00000001, 0, 0, 0x00000043});
  const auto caches = Caches();
  const size_t before = m->Executions(2);
  EXPECT_EQ(caches->Level2()->Size()->Value(), 524288u);
  EXPECT_EQ(m->Executions(2), before + 2);  // the count run and the real run
}

TEST(ProcessorCache, LeafFourFillsOnlyWhatTheDescriptorsLeaveOut) {
  ScopedFake m;
  m->SetBasics("GenuineIntel", 4, 0x000906A3);
  m->Set(2, {0x00FF2C01, 0, 0, 0});  // 0xFF: see leaf 4
  // Leaf 4: a 48 KB 12-way level 1 data cache, a 1.25 MB 10-way level 2.
  m->SetSequence(4, {{0x21, 0x02C0003F, 0x3F, 0}, {0x43, 0x0240003F, 0x7FF, 0}, {}});
  EXPECT_EQ(Show(Caches()->Level1()->Data()), (Shown{true, 32768, 64, "8-Way", 6}));
  EXPECT_EQ(Show(Caches()->Level2()), (Shown{true, 1310720, 64, "10-Way", 10}));
}

TEST(ProcessorCache, RegisterWithBit31ContributesNothing) {
  ScopedFake m;
  m->SetBasics("GenuineIntel", 2, 0x00000652);
  m->Set(2, {0x00000001, 0x80000043, 0x0000002C, 0x80703000});
  const auto caches = Caches();
  EXPECT_EQ(Show(caches->Level2()), kNone);
  EXPECT_EQ(Show(caches->Level1()->Code()), kNone);
  EXPECT_EQ(Show(caches->Trace()), kNone);
  EXPECT_EQ(Show(caches->Level1()->Data()), (Shown{true, 32768, 64, "8-Way", 6}));
}

TEST(CacheDescriptorsObject, SlotsNumberedOneToSixteen) {
  ScopedFake m;
  m->SetBasics("GenuineIntel", 2, 0x00000652);
  m->Set(2, {0x04030201, 0x08070605, 0x0C0B0A09, 0x100F0E0D});
  const TCpuCacheDescriptors set(0, kCacheLevel2);
  for (int slot = 1; slot <= 16; ++slot) EXPECT_EQ(set.Descriptor(slot), uint32_t(slot));
  for (int slot : {0, -1, 17, 1000}) EXPECT_EQ(set.Descriptor(slot), 0u) << slot;
  EXPECT_TRUE(set.HasDescriptor(16)->Value());
  EXPECT_FALSE(set.HasDescriptor(17)->Value());
  EXPECT_FALSE(set.HasDescriptor(0)->Value());
}

TEST(ProcessorCache, OtherDescriptorVendorsReadTheExtendedLeavesAsDescriptors) {
  ScopedFake m;
  m->SetBasics("CyrixInstead", 1, 0x00000600, 0, 0x80000006);
  // Level 1 and trace bytes come from 0x80000005, level 2 and 3 from
  // 0x80000006; leaf 2 is not asked at all.
  m->Set(0x80000005, {0x00302C01, 0x00000043, 0, 0x00000071});
  m->Set(0x80000006, {0x00000042, 0x00000022, 0, 0});
  m->Set(2, {0x00000001, 0, 0, 0x00000045});
  const auto caches = Caches();
  EXPECT_EQ(Show(caches->Level1()->Code()), (Shown{true, 32768, 64, "8-Way", 6}));
  EXPECT_EQ(Show(caches->Level1()->Data()), (Shown{true, 32768, 64, "8-Way", 6}));
  EXPECT_EQ(Show(caches->Trace()), (Shown{true, 16384, 0, "8-Way", 6}));
  EXPECT_EQ(Show(caches->Level2()), (Shown{true, 262144, 32, "4-Way", 4}));
  EXPECT_EQ(Show(caches->Level3()), (Shown{true, 524288, 64, "4-Way", 4}));
  EXPECT_EQ(m->Executions(2), 0u);

  // Without the extended range every leaf reads zeros: no caches.
  m->Set(0x80000000, {0, 0, 0, 0});
  EXPECT_EQ(Show(Caches()->Level2()), kNone);
  EXPECT_EQ(Show(Caches()->Level1()->Data()), kNone);
}

TEST(ProcessorCache, AthlonExtendedLeaves) {
  // AMD Athlon (family 6 model 2).
  ScopedFake m;
  m->SetBasics("AuthenticAMD", 1, 0x00000622, 0, 0x80000006);
  m->Set(0x80000005, {0x0408FF08, 0xFF18FF10, 0x40020140, 0x40020140});
  m->Set(0x80000006, {0, 0x41004100, 0x02002140, 0});
  const auto caches = Caches();
  EXPECT_EQ(Show(caches->Level1()->Code()), (Shown{true, 65536, 64, "2-Way", 2}));
  EXPECT_EQ(Show(caches->Level1()->Data()), (Shown{true, 65536, 64, "2-Way", 2}));
  EXPECT_EQ(Show(caches->Level1()->Unified()), kNone);
  EXPECT_EQ(Show(caches->Level2()), (Shown{true, 524288, 64, "16-Way", 8}));
  EXPECT_EQ(Show(caches->Level3()), kNone);
  EXPECT_EQ(Show(caches->Trace()), kNone);

  // Athlon 64 (family 15): same layout, but the level 2 code is read from
  // the register and matches no table code.
  m->Set(1, {0x00000F4A, 0x00000800, 0, 0});
  m->Set(0x80000006, {0, 0x42004200, 0x02008140, 0});
  EXPECT_EQ(Show(Caches()->Level2()), (Shown{true, 524288, 64, "None", 0}));

  // K6-2: the extended range stops at 0x80000005, so level 2 is absent.
  m->Set(1, {0x0000058C, 0, 0, 0});
  m->Set(0x80000000, {0x80000005, 0, 0, 0});
  m->Set(0x80000005, {0, 0x02800140, 0x20020220, 0x20020220});
  EXPECT_EQ(Show(Caches()->Level1()->Data()), (Shown{true, 32768, 32, "2-Way", 2}));
  EXPECT_EQ(Show(Caches()->Level2()), kNone);
}

TEST(ProcessorCache, ExtendedMethodNeverReportsLevel3EvenWithAnswers) {
  ScopedFake m;
  // A standard range reaching everything and a full answer everywhere.
  m->SetBasics("AuthenticAMD", 0xFFFFFFFF, 0x00A20F10, 0, 0x80000008);
  const CpuidRegisters full{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  m->Set(0x80000099, full);
  m->Set(0x80000006, {0, 0, 0x02006140, 0x0100C140});
  const auto caches = Caches();
  EXPECT_EQ(Show(caches->Level3()), kNone);
  EXPECT_EQ(Show(caches->Trace()), kNone);
  EXPECT_EQ(Show(caches->Level1()->Unified()), kNone);
  EXPECT_EQ(Show(caches->Level2()), (Shown{true, 524288, 64, "None", 0}));
}

TEST(ProcessorCache, ViaAndTransmetaExtendedLeaves) {
  {
    // Via C3 "Ezra": level 2 size from the top byte of ECX.
    ScopedFake m;
    m->SetBasics("CentaurHauls", 1, 0x00000689, 0, 0x80000006);
    m->Set(0x80000005, {0, 0x08800880, 0x40040120, 0x40040120});
    m->Set(0x80000006, {0, 0, 0x40040120, 0});
    EXPECT_EQ(Show(Caches()->Level2()), (Shown{true, 65536, 32, "4-Way", 4}));
    EXPECT_EQ(Show(Caches()->Level1()->Code()), (Shown{true, 65536, 32, "4-Way", 4}));
    // "Nehemiah": top byte 0, so no level 2 although bits 16-23 are 0x40.
    m->Set(0x80000006, {0, 0, 0x00408120, 0});
    EXPECT_EQ(Show(Caches()->Level2()), kNone);
  }
  {
    // Transmeta Efficeon: code 8 reads as "16-Way"; level 2 from the top 16
    // bits, its code byte 0x00 gives "None".
    ScopedFake m;
    m->SetBasics("GenuineTMx86", 3, 0x00000F24, 0x00011000, 0x80000008);
    m->Set(0x80000005, {0, 0x04FF04FF, 0x40080120, 0x80040140});
    m->Set(0x80000006, {0, 0, 0x04004180, 0});
    const auto caches = Caches();
    EXPECT_EQ(Show(caches->Level1()->Code()), (Shown{true, 131072, 64, "4-Way", 4}));
    EXPECT_EQ(Show(caches->Level1()->Data()), (Shown{true, 65536, 32, "16-Way", 8}));
    EXPECT_EQ(Show(caches->Level2()), (Shown{true, 1048576, 128, "None", 0}));
  }
}

TEST(CacheAssociativityObject, IndexesOutsideTheTableReadAsNone) {
  EXPECT_EQ(TCpuCacheAssociativity(6).Name(), "Full");
  EXPECT_EQ(TCpuCacheAssociativity(6).Value()->Value(), 15u);
  EXPECT_EQ(TCpuCacheAssociativity(7).Name(), "None");
  EXPECT_EQ(TCpuCacheAssociativity(255).Value()->Value(), 0u);
}

}  // namespace
}  // namespace zt::cpuid
