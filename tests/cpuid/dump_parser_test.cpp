#include "cpuid/dump_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace zt::cpuid {
namespace {

// Runs the parser and returns the error text, or "" when it succeeded.
std::string ErrorOf(const std::string& text) {
  try {
    ParseDump(text);
  } catch (const EDumpError& e) {
    return e.what();
  }
  return "";
}

TEST(DumpParserAida, ReadsBlocksHeadersTagsAndNotes) {
  const std::string text =
      "------[ Versions ]------\r\n"
      "\r\n"
      "Program Version : EVEREST v4.60\r\n"
      "CPUID Manufacturer : TransmetaCPU\r\n"
      "CPUID CPU Name     : Some name\r\n"
      "------[ Logical CPU #0 ]------\r\n"
      "CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69 [GenuineIntel]\r\n"
      "CPUID 00000004: 1C004121-01C0003F-0000003F-00000000 [SL 00]\r\n"
      "CPUID 00000004: 1c004122-01c0003f-0000003f-00000000 [SL 01] [L1I: 32 KB]\r\n"
      "------[ CPUID Registers / Logical CPU #1 ]------\r\n"
      "CPUID 00000000: 0000000B-756E6547-6C65746E-49656E69\r\n"
      "CPUID Registers (CPU #2):\n"
      "CPUID 80000000: 80000008-00000000-00000000-00000000\n"
      "CPU#000 AffMask: 0x0000000000000008\n"
      "CPUID 00000001: 00000001-00000002-00000003-00000004\n";
  CpuidDump dump = ParseDump(text);
  EXPECT_EQ(dump.layout, DumpLayout::kAida);
  ASSERT_EQ(dump.cpus.size(), 4u);
  EXPECT_EQ(dump.cpus[0].header, "------[ Logical CPU #0 ]------");
  ASSERT_EQ(dump.cpus[0].records.size(), 3u);
  const CpuidRecord& r = dump.cpus[0].records[2];
  EXPECT_EQ(r.leaf, 4u);
  EXPECT_EQ(r.subleaf, 1u);
  EXPECT_TRUE(r.tagged);
  EXPECT_EQ(r.regs.eax, 0x1C004122u);
  EXPECT_EQ(r.line, 9u);
  EXPECT_EQ(dump.cpus[1].records[0].regs.eax, 0xBu);
  EXPECT_EQ(dump.cpus[2].records[0].leaf, 0x80000000u);
  EXPECT_EQ(dump.cpus[3].records[0].regs.edx, 4u);
}

TEST(DumpParserAida, UntaggedRepeatsAreSuccessiveSubleavesAndLeaf2Calls) {
  const std::string text =
      "CPUID 00000002: 00000002-00000000-00000000-00000000\n"
      "CPUID 00000004: 00000001-00000000-00000000-00000000\n"
      "CPUID 00000004: 00000002-00000000-00000000-00000000\n"
      "CPUID 00000002: 00000003-00000000-00000000-00000000\n"
      "CPUID 00000004: 00000003-00000000-00000000-00000000\n";
  CpuidDump dump = ParseDump(text);
  ASSERT_EQ(dump.cpus.size(), 1u);  // lines before any header form one block
  const auto& recs = dump.cpus[0].records;
  ASSERT_EQ(recs.size(), 5u);
  EXPECT_EQ(recs[1].subleaf, 0u);
  EXPECT_EQ(recs[2].subleaf, 1u);
  EXPECT_EQ(recs[4].subleaf, 2u);
  EXPECT_FALSE(recs[4].tagged);
  // Leaf 2 repeats are kept in order and never collide.
  EXPECT_EQ(recs[3].leaf, 2u);
}

TEST(DumpParserTool, ReadsCpuHeadersAndComments) {
  const std::string text =
      "# leaves 0x3 missing in the source\n"
      "CPU 0:\n"
      "   0x00000000 0x00: eax=0x0000000d ebx=0x756e6547 ecx=0x6c65746e edx=0x49656e69\n"
      "   0x00000007 0x01: eax=0x00000020 ebx=0x00000000 ecx=0x00000000 edx=0x00000000\n"
      "CPU 1:\n"
      "\t0x80000000 0x00: eax=0x80000008 ebx=0x0 ecx=0x0 edx=0x0\n";
  CpuidDump dump = ParseDump(text);
  EXPECT_EQ(dump.layout, DumpLayout::kCpuidTool);
  ASSERT_EQ(dump.cpus.size(), 2u);
  EXPECT_EQ(dump.cpus[0].records[1].leaf, 7u);
  EXPECT_EQ(dump.cpus[0].records[1].subleaf, 1u);
  EXPECT_EQ(dump.cpus[0].records[1].regs.eax, 0x20u);
  EXPECT_EQ(dump.cpus[1].records[0].regs.eax, 0x80000008u);
  EXPECT_EQ(ParseDump("CPU:\n   0x00000000 0x00: eax=0x1 ebx=0x2 ecx=0x3 edx=0x4\n").cpus.size(), 1u);
}

TEST(DumpParserErrors, NameTheLineAndTheReason) {
  const std::string head = "------[ Logical CPU #0 ]------\n";
  // A truncated last line.
  EXPECT_EQ(ErrorOf(head + "CPUID 00000000: 0000000D-756E6547-6C6\n"),
            "line 2: ECX must be 8 hex digits, found '6C6'");
  EXPECT_EQ(ErrorOf(head + "CPUID 00000000: 0000000D-756E6547\n"),
            "line 2: expected '-' after EBX but found ''");
  EXPECT_EQ(ErrorOf(head + "CPUID 0000000: 0000000D-756E6547-6C65746E-49656E69\n"),
            "line 2: the leaf must be 8 hex digits, found '0000000'");
  EXPECT_EQ(ErrorOf(head + "CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69 junk\n"),
            "line 2: unexpected text after the registers: 'junk'");
  EXPECT_EQ(ErrorOf(head + "CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69 [SL zz]\n"),
            "line 2: expected the subleaf (hex digits) but found 'zz]'");
  EXPECT_EQ(ErrorOf(head + "CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69 [SL 000000001]\n"),
            "line 2: the subleaf has more than 8 hex digits");
  EXPECT_EQ(ErrorOf(head + "CPUID 00000007: 00000000-00000000-00000000-00000000 [SL 00]\n"
                           "CPUID 00000007: 00000001-00000000-00000000-00000000 [SL 00]\n"),
            "line 3: leaf 00000007 subleaf 00000000 given twice in one CPU block (first on line 2)");
  EXPECT_EQ(ErrorOf(head + "------[ Logical CPU #1 ]------\n"
                           "CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69\n"),
            "line 1: CPU block '------[ Logical CPU #0 ]------' has no CPUID lines");
  EXPECT_EQ(ErrorOf(head + "CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69\n" +
                    "------[ Logical CPU #1 ]------\n"),
            "line 3: CPU block '------[ Logical CPU #1 ]------' has no CPUID lines");
  EXPECT_EQ(ErrorOf(head + "CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69\n"
                           "   0x00000000 0x00: eax=0x1 ebx=0x2 ecx=0x3 edx=0x4\n"),
            "line 3: a `cpuid -r` line in an AIDA64 dump: '0x00000000 0x00: eax=0x1 ebx=0x2 ecx=0x3...'");
  EXPECT_EQ(ErrorOf(std::string("CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69\nab\0c\n", 58)),
            "line 2: unexpected NUL byte (not a text file?)");
}

TEST(DumpParserErrors, ToolLayoutIsStrict) {
  const std::string head = "CPU 0:\n";
  EXPECT_EQ(ErrorOf(head + "   0x00000000 0x00: eax=0x0000000d ebx=0x756e6547 ecx=0x6c65746e\n"),
            "line 2: the line ends before edx=0x (cut short?)");
  EXPECT_EQ(ErrorOf(head + "   0x00000000 0x00: eax=0x0000000d ebx=0x756e6547 ecx=0x6c65746e,edx=0x0\n"),
            "line 2: expected a blank before edx=0x");
  EXPECT_EQ(ErrorOf(head + "   0x00000000 0x00: eax=0x0000000d ebx=0x756e6547 ecx=0x6c65746e edx=0x1g\n"),
            "line 2: unexpected text after the registers: 'g'");
  EXPECT_EQ(ErrorOf(head + "   0x00000000 0x00: eax=0x123456789 ebx=0x0 ecx=0x0 edx=0x0\n"),
            "line 2: eax=0x has more than 8 hex digits");
  EXPECT_EQ(ErrorOf(head + "hello\n"),
            "line 2: expected 'CPU n:' or a register line '0xLEAF 0xSUB: eax=0x... ebx=0x... "
            "ecx=0x... edx=0x...' but found 'hello'");
}

TEST(DumpParserErrors, EmptyOversizedAndUnboundedInput) {
  EXPECT_NE(ErrorOf("").find("no CPUID register lines found"), std::string::npos);
  EXPECT_NE(ErrorOf("just some prose\nand more\n").find("no CPUID register lines"),
            std::string::npos);
  EXPECT_EQ(ErrorOf("CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69\n" +
                    std::string(kMaxDumpLineLength + 1, 'x') + "\n"),
            "line 2: line longer than 4096 characters");
  EXPECT_EQ(ErrorOf(std::string(kMaxDumpBytes + 1, '\n')), "the dump is larger than 16 MB");

  std::string many;
  for (size_t i = 0; i <= kMaxDumpCpus; ++i) {
    many += "CPU " + std::to_string(i) + ":\n   0x0 0x0: eax=0x0 ebx=0x0 ecx=0x0 edx=0x0\n";
  }
  EXPECT_EQ(ErrorOf(many), "line 513: more than 256 CPU blocks");

  std::string long_block = "CPU:\n";
  for (size_t i = 0; i <= kMaxRecordsPerCpu; ++i) {
    long_block += "   0x1 0x" + std::to_string(i) + ": eax=0x0 ebx=0x0 ecx=0x0 edx=0x0\n";
  }
  EXPECT_EQ(ErrorOf(long_block), "line 8194: more than 8192 CPUID lines in one CPU block");
}

TEST(DumpParserErrors, FileThatCannotBeOpened) {
  try {
    ParseDumpFile("/nonexistent/dir/dump.txt");
    FAIL() << "no error";
  } catch (const EDumpError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot open '/nonexistent/dir/dump.txt'");
  }
}

// Garbled dumps: random byte flips, cuts, insertions and line swaps of valid
// dumps in both layouts must give a dump or an EDumpError, nothing else.
// (Run under ASan/UBSan to catch reads out of bounds.)
TEST(DumpParserRobustness, GarbledInputNeverCrashes) {
  const std::string seeds[] = {
      "------[ CPUID Registers / Logical CPU #0 ]------\n"
      "CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69 [GenuineIntel]\n"
      "CPUID 00000002: 76035A01-00F0B0FF-00000000-00CA0000\n"
      "CPUID 00000004: 1C004121-01C0003F-0000003F-00000000 [SL 00]\n"
      "CPUID 80000000: 80000008-00000000-00000000-00000000\n"
      "CPU#001 AffMask: 0x0000000000000002\n"
      "CPUID 00000000: 0000000D-756E6547-6C65746E-49656E69\n",
      "CPU 0:\n"
      "   0x00000000 0x00: eax=0x0000000d ebx=0x756e6547 ecx=0x6c65746e edx=0x49656e69\n"
      "   0x00000004 0x01: eax=0x1c004122 ebx=0x01c0003f ecx=0x0000003f edx=0x00000000\n"
      "CPU 1:\n"
      "   0x80000000 0x00: eax=0x80000008 ebx=0x00000000 ecx=0x00000000 edx=0x00000000\n"};
  std::mt19937 rng(12345);
  const char alphabet[] = "0123456789abcdefABCDEF:-[] xX=\n\r\t#CPUIDSL\0\xff";
  size_t parsed = 0, rejected = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string text = seeds[round % 2];
    int edits = 1 + static_cast<int>(rng() % 6);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      size_t at = rng() % text.size();
      switch (rng() % 5) {
        case 0: text[at] = alphabet[rng() % (sizeof alphabet - 1)]; break;
        case 1: text.erase(at, 1 + rng() % 12); break;
        case 2: text.insert(at, 1, alphabet[rng() % (sizeof alphabet - 1)]); break;
        case 3: text.resize(at); break;  // truncated
        case 4: text.insert(at, text.substr(rng() % text.size(), 1 + rng() % 40)); break;
      }
    }
    try {
      CpuidDump dump = ParseDump(text);
      ++parsed;
      for (const CpuBlock& b : dump.cpus) EXPECT_FALSE(b.records.empty());
    } catch (const EDumpError& e) {
      ++rejected;
      EXPECT_GT(std::string(e.what()).size(), 0u);
    }
  }
  EXPECT_GT(parsed, 0u);
  EXPECT_GT(rejected, 0u);
}

}  // namespace
}  // namespace zt::cpuid
