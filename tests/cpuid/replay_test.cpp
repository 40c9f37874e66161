#include "cpuid/replay.h"

#include <gtest/gtest.h>

#include "cpuid/cpu_root.h"
#include "cpuid/cpuid_access.h"
#include "cpuid/report.h"

namespace zt::cpuid {
namespace {

// Two processors that differ in leaf 1 and in their brand text.
const char kTwoCpus[] =
    "------[ Logical CPU #0 ]------\n"
    "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
    "CPUID 00000001: 00000F29-00010800-00000000-BFEBFBFF\n"
    "CPUID 00000002: 00000003-00000001-00000000-00000000\n"
    "CPUID 00000002: 00000000-00000002-00000000-00000000\n"
    "CPUID 00000002: 00000000-00000003-00000000-00000000\n"
    "CPUID 00000007: 00000001-00000011-00000000-00000000 [SL 00]\n"
    "CPUID 00000007: 00000000-00000022-00000000-00000000 [SL 01]\n"
    "CPUID 80000000: 80000004-00000000-00000000-00000000\n"
    "------[ Logical CPU #1 ]------\n"
    "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
    "CPUID 00000001: 00000F2A-01010800-00000000-BFEBFBFF\n";

class ReplayTest : public ::testing::Test {
 protected:
  void Use(const std::string& text) {
    machine_ = CreateReplayMachine(ParseDump(text));
    scope_ = std::make_unique<ScopedMachine>(machine_);
    ResetCpuRoot();
  }
  void TearDown() override {
    scope_.reset();
    ResetCpuRoot();
  }
  std::shared_ptr<TReplayMachine> machine_;
  std::unique_ptr<ScopedMachine> scope_;
};

TEST_F(ReplayTest, AnswersFromTheBlockOfTheCurrentProcessor) {
  Use(kTwoCpus);
  EXPECT_EQ(&Machine(), machine_.get());
  EXPECT_EQ(Machine().ProcessorCount(), 2u);
  EXPECT_EQ(Machine().Cpuid(1).eax, 0xF29u);
  EXPECT_EQ(Machine().Cpuid(7, 1).ebx, 0x22u);
  // A leaf or subleaf the dump lacks reads as zeros.
  EXPECT_EQ(Machine().Cpuid(7, 2), CpuidRegisters{});
  EXPECT_EQ(Machine().Cpuid(0x80000001), CpuidRegisters{});
  EXPECT_EQ(Machine().Cpuid(0x80000000, 0).eax, 0x80000004u);
  // The lowest processor the mask allows answers.
  EXPECT_EQ(Machine().SetThreadAffinity(2), 3u);
  EXPECT_EQ(Machine().Cpuid(1).eax, 0xF2Au);
  EXPECT_EQ(Machine().Cpuid(0x80000000).eax, 0u);
  EXPECT_EQ(Machine().SetThreadAffinity(0), 0u);
  EXPECT_EQ(Machine().SetThreadAffinity(4), 0u);  // no third processor
  EXPECT_EQ(machine_->CurrentMask(), 2u);
  EXPECT_EQ(Machine().SetThreadAffinity(3), 2u);
  EXPECT_EQ(machine_->CurrentProcessor(), 0u);
  EXPECT_EQ(machine_->AffinityCalls(), (std::vector<uint64_t>{2, 0, 4, 3}));
}

TEST_F(ReplayTest, Leaf2RepeatsGiveTheCallThatTheCountReaches) {
  Use(kTwoCpus);
  // A run of leaf-2 calls ends with any other leaf.
  EXPECT_EQ(ExecuteCpuid(2, 1).ebx, 1u);
  ExecuteCpuid(0, 1);
  EXPECT_EQ(ExecuteCpuid(2, 2).ebx, 2u);
  ExecuteCpuid(0, 1);
  EXPECT_EQ(ExecuteCpuid(2, 3).ebx, 3u);
  ExecuteCpuid(0, 1);
  EXPECT_EQ(ExecuteCpuid(2, 9).ebx, 3u);  // past the recorded calls: the last
  EXPECT_EQ(ExecuteCpuid(2, 0), CpuidRegisters{});
  // Without another leaf between them, calls continue the run.
  ExecuteCpuid(0, 1);
  EXPECT_EQ(ExecuteCpuid(2, 1).ebx, 1u);
  EXPECT_EQ(ExecuteCpuid(2, 1).ebx, 2u);
  // Through the library object, after its availability test ran leaf 0.
  TCpuid cpuid(0, 2, 2);
  EXPECT_EQ(cpuid.Ebx()->Value(), 2u);
  EXPECT_EQ(cpuid.Eax()->Value(), 0u);
}

TEST_F(ReplayTest, CountersReadZeroSoSpeedIsZero) {
  Use(kTwoCpus);
  EXPECT_EQ(Machine().QueryPerformanceFrequency(), 0);
  auto speed = CpuRoot().ProcessorInformation(0)->Speed();
  EXPECT_EQ(speed->RawSpeed()->Value(), 0u);
  EXPECT_EQ(speed->NormalisedSpeed()->AsFrequency(), "0 Mhz");
}

TEST_F(ReplayTest, OneProcessorMachineMakesNoAffinityCall) {
  Use("CPU:\n"
      "   0x00000000 0x00: eax=0x00000001 ebx=0x68747541 ecx=0x444d4163 edx=0x69746e65\n"
      "   0x00000001 0x00: eax=0x00000681 ebx=0x00000000 ecx=0x00000000 edx=0x0383fbff\n");
  EXPECT_FALSE(CpuRoot().UseAffinity());
  std::string report = BuildReport();
  EXPECT_NE(report.find("#0/Vendor\tSignature\tAuthenticAMD\n"), std::string::npos);
  EXPECT_TRUE(machine_->AffinityCalls().empty());
  EXPECT_GT(machine_->CpuidCalls().size(), 50u);
}

TEST_F(ReplayTest, EachCpuidObjectPinsAndRestoresOnTwoProcessors) {
  Use(kTwoCpus);
  ASSERT_TRUE(CpuRoot().UseAffinity());
  machine_->ClearLog();
  {
    TCpuid cpuid(1, 1, 1);
    EXPECT_EQ(cpuid.Eax()->Value(), 0xF2Au);
    EXPECT_EQ(cpuid.Ebx()->Value(), 0x01010800u);
  }
  // Pinned around the construction and again around the availability test,
  // each pin undone: the process ends where it began.
  EXPECT_EQ(machine_->AffinityCalls(), (std::vector<uint64_t>{2, 2, 2, 3}));
  EXPECT_EQ(machine_->CurrentMask(), 3u);
  for (const auto& call : machine_->CpuidCalls()) EXPECT_EQ(call.processor, 1u) << call.leaf;
  // A pin is followed by Sleep(0) so that the thread moves at once.
  EXPECT_EQ(machine_->SleepCalls(), 2u);

  machine_->ClearLog();
  { TCpuid cpuid(0, 1, 1); }
  EXPECT_EQ(machine_->AffinityCalls(), (std::vector<uint64_t>{1, 1, 1, 3}));

  // An index past the processors runs on processor 0; from 32 on, no pin.
  machine_->ClearLog();
  EXPECT_EQ(TCpuid(7, 1, 1).Eax()->Value(), 0xF29u);
  EXPECT_EQ(machine_->AffinityCalls(), (std::vector<uint64_t>{1, 1, 1, 3}));
  machine_->ClearLog();
  TCpuid(40, 1, 1);
  EXPECT_TRUE(machine_->AffinityCalls().empty());
}

TEST_F(ReplayTest, WithoutTheAffinityCallNothingIsPinned) {
  Use(kTwoCpus);
  machine_->SetAffinityCallAvailable(false);
  ASSERT_TRUE(CpuRoot().UseAffinity());
  // Processor 1 is asked for, but the process stays where it is.
  EXPECT_EQ(TCpuid(1, 1, 1).Eax()->Value(), 0xF29u);
  EXPECT_TRUE(machine_->AffinityCalls().empty());
  EXPECT_EQ(machine_->CurrentMask(), 3u);
}

TEST(ScopedMachineTest, PutsThePreviousMachineBack) {
  ICpuMachine* native = &Machine();
  {
    ScopedMachine outer(CreateReplayMachine(ParseDump(kTwoCpus)));
    ICpuMachine* first = &Machine();
    EXPECT_NE(first, native);
    {
      ScopedMachine inner(CreateReplayMachine(ParseDump(kTwoCpus)));
      EXPECT_NE(&Machine(), first);
    }
    EXPECT_EQ(&Machine(), first);
  }
  EXPECT_EQ(&Machine(), native);
}

}  // namespace
}  // namespace zt::cpuid
