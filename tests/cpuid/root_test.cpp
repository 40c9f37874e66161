#include <gtest/gtest.h>

#include "cpuid/cpu_root.h"
#include "cpuid/features.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::FakeCpu;
using testing::ScopedFake;

FakeCpu Pentium4() {
  FakeCpu cpu;
  cpu.Vendor("GenuineIntel", 2).Signature(0x00000F29, 0x00020E02, 0, 0xBFEBFBFF).Extended(0x80000000);
  cpu.Leaf(2, 0x665B5001, 0, 0, 0x007B7040);
  return cpu;
}

TEST(Root, VersionAndDistinctFacades) {
  ScopedFake fake({Pentium4()});
  EXPECT_EQ(CpuRoot().Version()->AsVersion(), "4.3.01");
  const auto a = CpuRoot().ProcessorInformation(0);
  const auto b = CpuRoot().ProcessorInformation(0);
  EXPECT_NE(a.get(), b.get());
  EXPECT_NE(CpuRoot().ProcessorCount().get(), CpuRoot().ProcessorCount().get());
}

TEST(Root, SwappingTheMachineWithoutAResetStillGivesTheRightFlag) {
  ScopedFake outer({Pentium4()});
  EXPECT_FALSE(CpuRoot().UseAffinity());
  testing::FakeMachine two(std::vector<FakeCpu>{Pentium4(), Pentium4()});
  {
    ScopedOverride<ICpuMachine> swapped(two);
    EXPECT_TRUE(CpuRoot().UseAffinity());
  }
  EXPECT_FALSE(CpuRoot().UseAffinity());
}

TEST(Root, OneProcessorMachineNeverCallsAffinityThroughTheWholeFacade) {
  ScopedFake fake({Pentium4()});
  const auto info = CpuRoot().ProcessorInformation(0);
  EXPECT_EQ(info->Vendor()->Vendor(), kVendorIntel);
  EXPECT_EQ(info->Signature()->Family()->Value()->Value(), 15u);
  EXPECT_TRUE(info->Cpuid()->Standard()->Available()->Value());
  EXPECT_EQ(info->Features()->Standard()->FeatureCount()->Value(), 30u);
  EXPECT_FALSE(info->Serial()->Available()->Value());
  EXPECT_FALSE(info->Errata()->DuronCache()->Value());
  EXPECT_TRUE(info->Cache()->Level2()->Available()->Value());
  // No brand leaves: the name comes from the model tables.
  EXPECT_TRUE(info->Name()->FromTable()->Value());
  EXPECT_FALSE(info->Name()->Name().empty());
  EXPECT_EQ(info->Speed()->NormalisedSpeed()->Value(), 0u);
  EXPECT_EQ(CpuRoot().ProcessorCount()->VirtualProcessors()->Value(), 2u);  // HTT, 2 logical
  EXPECT_EQ(CreateCpuFeatureSet(0, kFeaturesPower)->Available()->Value(), false);
  EXPECT_TRUE(fake->set_affinity_masks.empty());
  EXPECT_EQ(fake->get_affinity_calls, 0);
}

TEST(Root, TwoProcessorFacadesReadTheirOwnProcessor) {
  FakeCpu amd;
  amd.Vendor("AuthenticAMD", 1).Signature(0x00000630).Extended(0x80000001);
  ScopedFake fake({Pentium4(), amd});
  EXPECT_EQ(CpuRoot().ProcessorInformation(1)->Vendor()->Vendor(), kVendorAmd);
  EXPECT_EQ(CpuRoot().ProcessorInformation(0)->Vendor()->Vendor(), kVendorIntel);
  EXPECT_TRUE(CpuRoot().ProcessorInformation(1)->Errata()->DuronCache()->Value());
  EXPECT_FALSE(fake->set_affinity_masks.empty());
  EXPECT_EQ(fake->Mask(), 3u);  // every pin was undone
}

}  // namespace
}  // namespace zt::cpuid
