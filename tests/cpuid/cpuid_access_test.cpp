#include <gtest/gtest.h>

#include "cpuid/cpu_root.h"
#include "cpuid/cpuid_access.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::FakeCpu;
using testing::ScopedFake;

FakeCpu Tagged(uint32_t tag) {
  FakeCpu cpu;
  cpu.Vendor("GenuineIntel", 4).Signature(0x00000F29, tag).Leaf(4, tag, 0, 0, 0).Extended(0x80000008);
  cpu.Leaf(0x80000009, 0xBAD, 0xBAD, 0xBAD, 0xBAD);
  return cpu;
}

TEST(CpuidAccess, ClassifiesLeaves) {
  EXPECT_EQ(ClassifyLeaf(0), kRangeStandard);
  EXPECT_EQ(ClassifyLeaf(0x7FFFFFFF), kRangeStandard);
  EXPECT_EQ(ClassifyLeaf(0x80000000), kRangeExtended);
  EXPECT_EQ(ClassifyLeaf(0x80000008), kRangeExtended);
  EXPECT_EQ(ClassifyLeaf(0x80000009), kRangeStandard);
  EXPECT_EQ(ClassifyLeaf(0x80860000), kRangeTransmeta);
  EXPECT_EQ(ClassifyLeaf(0x80860007), kRangeTransmeta);
  EXPECT_EQ(ClassifyLeaf(0x80860008), kRangeStandard);
  EXPECT_EQ(RangeBaseLeaf(7), kBaseLeafStandard);
}

TEST(CpuidAccess, AvailabilityFollowsTheRangeMaximum) {
  ScopedFake fake({Tagged(7)});
  EXPECT_EQ(TCpuid(0, 4, 1).Registers().eax, 7u);
  // Leaf 5 is above the highest standard leaf.
  EXPECT_EQ(TCpuid(0, 5, 1).Registers(), CpuidRegisters{});
  // 0x80000009 belongs to the standard range, so it reads as unavailable
  // although the processor answers it.
  TCpuid beyond(0, 0x80000009, 1);
  EXPECT_FALSE(beyond.Available()->Value());
  EXPECT_EQ(beyond.Registers(), CpuidRegisters{});
  // No Transmeta leaves: the base leaf answers 0, below itself.
  TCpuidInformation transmeta(0, kRangeTransmeta);
  EXPECT_FALSE(transmeta.Available()->Value());
  EXPECT_EQ(transmeta.MaximumLeaf()->AsHex(), "$00000000");
  TProcessorCpuid ranges(0);
  EXPECT_TRUE(ranges.Extended()->Available()->Value());
  EXPECT_EQ(ranges.Extended()->MaximumLeaf()->Value(), 0x80000008u);
  EXPECT_EQ(ranges.Standard()->MaximumLeaf()->Value(), 4u);
}

TEST(CpuidAccess, ProcessorWithoutExtendedLeaves) {
  FakeCpu old;
  // Such processors answer 0x80000000 with something below it.
  old.Vendor("GenuineIntel", 2).Signature(0x00000633).Leaf(0x80000000, 2, 0, 0, 0);
  old.Leaf(0x80000001, 1, 2, 3, 4);
  ScopedFake fake({old});
  TProcessorCpuid ranges(0);
  EXPECT_FALSE(ranges.Extended()->Available()->Value());
  EXPECT_EQ(ranges.Extended()->MaximumLeaf()->Value(), 0u);
  EXPECT_EQ(TCpuid(0, 0x80000001, 1).Registers(), CpuidRegisters{});
}

TEST(CpuidAccess, RepeatCountRunsCpuidThatManyTimes) {
  ScopedFake fake({Tagged(1)});
  fake->cpuid_calls = 0;
  EXPECT_EQ(ExecuteCpuid(4, 0), CpuidRegisters{});
  EXPECT_EQ(ExecuteCpuid(4, -3), CpuidRegisters{});
  EXPECT_EQ(fake->cpuid_calls, 0);
  EXPECT_EQ(ExecuteCpuid(4, 3).eax, 1u);
  EXPECT_EQ(fake->cpuid_calls, 3);

  fake->cpuid_calls = 0;
  TCpuid none(0, 4, 0);
  EXPECT_EQ(none.Registers(), CpuidRegisters{});
  EXPECT_EQ(none.RepeatCount(), 0);
  EXPECT_EQ(fake->cpuid_calls, 1);  // the availability test only
  // Available is asked anew, not remembered.
  none.Available();
  EXPECT_EQ(fake->cpuid_calls, 2);
}

TEST(CpuidAccess, AsStringConcatenatesTheRegisters) {
  FakeCpu cpu = Tagged(0);
  cpu.Leaf(3, testing::Chars("abcd"), testing::Chars("efgh"), testing::Chars("ijkl"), testing::Chars("mnop"));
  ScopedFake fake({cpu});
  EXPECT_EQ(TCpuid(0, 3, 1).AsString(), "abcdefghijklmnop");
  EXPECT_EQ(TCpuid(0, 3, 1).Leaf(), 3u);
}

TEST(CpuAffinity, OneProcessorNeverTouchesTheAffinity) {
  ScopedFake fake({Tagged(1)});
  EXPECT_FALSE(CpuRoot().UseAffinity());
  TCpuid(0, 1, 1);
  TCpuid(3, 4, 1);
  TProcessorCpuid(0).Extended()->MaximumLeaf();
  EXPECT_TRUE(fake->set_affinity_masks.empty());
  EXPECT_EQ(fake->get_affinity_calls, 0);
  EXPECT_TRUE(fake->sleeps.empty());
}

TEST(CpuAffinity, PinsAroundConstructionAndAvailabilityAndRestores) {
  ScopedFake fake({Tagged(10), Tagged(11)});
  EXPECT_TRUE(CpuRoot().UseAffinity());
  TCpuid second(1, 4, 1);
  EXPECT_EQ(second.Registers().eax, 11u);
  // Pin, pin again for the availability test, restore it, restore ours.
  EXPECT_EQ(fake->set_affinity_masks, (std::vector<uint64_t>{2, 2, 2, 3}));
  EXPECT_EQ(fake->sleeps, (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(fake->Mask(), 3u);

  fake->set_affinity_masks.clear();
  EXPECT_EQ(TCpuid(0, 4, 1).Registers().eax, 10u);
  EXPECT_EQ(fake->set_affinity_masks, (std::vector<uint64_t>{1, 1, 1, 3}));
}

TEST(CpuAffinity, IndexBeyondTheProcessorsPinsToTheFirst) {
  ScopedFake fake({Tagged(10), Tagged(11)});
  EXPECT_EQ(TCpuid(5, 4, 1).Registers().eax, 10u);
  EXPECT_EQ(fake->set_affinity_masks.front(), 1u);
  fake->set_affinity_masks.clear();
  // 32 and above is not pinned at all: it runs wherever the process is.
  fake->SetMask(2);
  EXPECT_EQ(TCpuid(32, 4, 1).Registers().eax, 11u);
  EXPECT_TRUE(fake->set_affinity_masks.empty());
}

TEST(CpuAffinity, WithoutTheSetCallNothingIsPinned) {
  ScopedFake fake({Tagged(10), Tagged(11)});
  fake->can_set_affinity = false;
  EXPECT_EQ(TCpuid(1, 4, 1).Registers().eax, 10u);
  EXPECT_TRUE(fake->set_affinity_masks.empty());
}

TEST(CpuAffinity, UnreadableMaskIsNotChanged) {
  ScopedFake fake({Tagged(10), Tagged(11)});
  fake->get_affinity_works = false;
  TCpuid(1, 4, 1);
  EXPECT_TRUE(fake->set_affinity_masks.empty());
  EXPECT_EQ(fake->Mask(), 3u);
}

TEST(CpuAffinity, RestoresProcessorsAbove31) {
  ScopedFake fake(std::vector<FakeCpu>(40, Tagged(9)));
  const uint64_t all = (uint64_t{1} << 40) - 1;
  {
    TCpuAffinity pin(3);
    EXPECT_TRUE(pin.Changed());
    EXPECT_EQ(pin.Mask(), 8u);
    EXPECT_EQ(fake->Mask(), 8u);
  }
  EXPECT_EQ(fake->Mask(), all);
}

}  // namespace
}  // namespace zt::cpuid
