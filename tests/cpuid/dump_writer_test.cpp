#include "cpuid/dump_writer.h"

#include <gtest/gtest.h>

#include "cpuid/replay.h"

namespace zt::cpuid {
namespace {

const char kSource[] =
    "CPU 0:\n"
    "   0x00000000 0x00: eax=0x0000000b ebx=0x756e6547 ecx=0x6c65746e edx=0x49656e69\n"
    "   0x00000001 0x00: eax=0x000306a9 ebx=0x00100800 ecx=0x0d9ae3bf edx=0xbfebfbff\n"
    "   0x00000002 0x00: eax=0x76035a02 ebx=0x00f0b0ff ecx=0x00000000 edx=0x00ca0000\n"
    "   0x00000002 0x01: eax=0x00000000 ebx=0x000000aa ecx=0x00000000 edx=0x00000000\n"
    "   0x00000004 0x00: eax=0x1c004121 ebx=0x01c0003f ecx=0x0000003f edx=0x00000000\n"
    "   0x00000004 0x01: eax=0x1c004122 ebx=0x01c0003f ecx=0x0000003f edx=0x00000000\n"
    "   0x00000007 0x00: eax=0x00000001 ebx=0x00000281 ecx=0x00000000 edx=0x00000000\n"
    "   0x00000007 0x01: eax=0x00000000 ebx=0x00000005 ecx=0x00000000 edx=0x00000000\n"
    "   0x0000000b 0x00: eax=0x00000001 ebx=0x00000001 ecx=0x00000100 edx=0x00000000\n"
    "   0x0000000b 0x01: eax=0x00000004 ebx=0x00000002 ecx=0x00000201 edx=0x00000000\n"
    "   0x0000000b 0x02: eax=0x00000000 ebx=0x00000000 ecx=0x00000002 edx=0x00000000\n"
    "   0x80000000 0x00: eax=0x80000004 ebx=0x00000000 ecx=0x00000000 edx=0x00000000\n"
    "   0x80000002 0x00: eax=0x20202020 ebx=0x20202020 ecx=0x65746e49 edx=0x2952286c\n"
    "CPU 1:\n"
    "   0x00000000 0x00: eax=0x00000001 ebx=0x756e6547 ecx=0x6c65746e edx=0x49656e69\n"
    "   0x00000001 0x00: eax=0x000306a9 ebx=0x01100800 ecx=0x0d9ae3bf edx=0xbfebfbff\n";

const CpuidRecord* Find(const CpuBlock& b, uint32_t leaf, uint32_t sub) {
  for (const auto& r : b.records) {
    if (r.leaf == leaf && r.subleaf == sub) return &r;
  }
  return nullptr;
}

TEST(DumpWriter, CapturesEveryProcessorAndReadsBackTheSame) {
  auto machine = CreateReplayMachine(ParseDump(kSource));
  CpuidDump captured = CaptureDump(*machine);
  ASSERT_EQ(captured.cpus.size(), 2u);
  // Pinned to each processor in turn, then put back.
  EXPECT_EQ(machine->AffinityCalls(), (std::vector<uint64_t>{1, 2, 3}));
  EXPECT_EQ(machine->CurrentMask(), 3u);

  std::string text = FormatAidaDump(captured);
  EXPECT_NE(text.find("------[ CPUID Registers / Logical CPU #1 ]------\n"), std::string::npos);
  EXPECT_NE(text.find("CPUID 00000004: 1C004122-01C0003F-0000003F-00000000 [SL 01]\n"),
            std::string::npos);
  // Leaf 2 asked for two calls: both recorded, untagged, in order.
  EXPECT_NE(text.find("CPUID 00000002: 76035A02-00F0B0FF-00000000-00CA0000\n"
                      "CPUID 00000002: 00000000-000000AA-00000000-00000000\n"),
            std::string::npos);

  CpuidDump back = ParseDump(text);
  ASSERT_EQ(back.cpus.size(), 2u);
  const CpuBlock& cpu0 = back.cpus[0];
  for (auto [leaf, sub] : {std::pair<uint32_t, uint32_t>{7, 1}, {0xB, 2}, {0x80000002, 0},
                           {0x80000003, 0}}) {
    ASSERT_NE(Find(cpu0, leaf, sub), nullptr) << leaf << "/" << sub;
  }
  EXPECT_EQ(Find(cpu0, 7, 1)->regs.ebx, 5u);
  EXPECT_EQ(Find(cpu0, 0xB, 2)->regs.ecx, 2u);
  EXPECT_EQ(Find(cpu0, 0xB, 3), nullptr);  // stops at the first invalid level
  EXPECT_EQ(Find(cpu0, 4, 2), nullptr);    // stops at cache type 0
  EXPECT_EQ(Find(cpu0, 0x80000002, 0)->regs.ecx, 0x65746E49u);
  EXPECT_EQ(Find(cpu0, 0x80000003, 0)->regs.eax, 0u);  // missing in the source: zeros
  ASSERT_NE(Find(cpu0, 3, 0), nullptr);  // every leaf up to the maximum 0xB
  EXPECT_EQ(Find(cpu0, 3, 0)->regs, CpuidRegisters{});
  EXPECT_EQ(Find(cpu0, 0xC, 0), nullptr);
  EXPECT_EQ(back.cpus[1].records.size(), 2u);  // leaves 0 and 1 only

  // Read back, the saved dump answers leaf 2 runs like the source.
  auto replay = CreateReplayMachine(back);
  replay->Cpuid(2);
  EXPECT_EQ(replay->Cpuid(2).ebx, 0xAAu);
}

TEST(DumpWriter, BoundsWhatAHostileProcessorClaims) {
  // A maximum standard leaf of 0xFFFFFFFF and an extended range that answers
  // with an unrelated value.
  auto machine = CreateReplayMachine(ParseDump(
      "CPUID 00000000: FFFFFFFF-00000000-00000000-00000000\n"
      "CPUID 00000007: FFFFFFFF-00000000-00000000-00000000\n"
      "CPUID 80000000: 00000004-00000000-00000000-00000000\n"
      "CPUID 80860000: 80870000-00000000-00000000-00000000\n"));
  CpuidDump captured = CaptureDump(*machine);
  ASSERT_EQ(captured.cpus.size(), 1u);
  EXPECT_TRUE(machine->AffinityCalls().empty());  // one processor: no pinning
  size_t standard = 0, leaf7 = 0, extended = 0;
  for (const auto& r : captured.cpus[0].records) {
    if (r.leaf < 0x80000000u) ++standard;
    if (r.leaf == 7) ++leaf7;
    if (r.leaf >= 0x80000000u) ++extended;
  }
  EXPECT_EQ(leaf7, 64u);
  EXPECT_LT(standard, 0x100u + 64 * 8);
  EXPECT_EQ(extended, 0u);
  EXPECT_NO_THROW(ParseDump(FormatAidaDump(captured)));
}

}  // namespace
}  // namespace zt::cpuid
