// Processor name detection: the brand-text rule and its trimming, the choice
// between brand text and vendor tables, and the table path fed from a
// processor (registers taken from real processors and decoded by hand).
#include <gtest/gtest.h>

#include <string>

#include "cpuid/cpu_root.h"
#include "cpuid/name.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::ScopedFake;
using namespace std::string_literals;

std::string NameOf(uint8_t processor = 0) {
  return CpuRoot().ProcessorInformation(processor)->Name()->Name();
}
bool FromTable(uint8_t processor = 0) {
  return CpuRoot().ProcessorInformation(processor)->Name()->FromTable()->Value();
}

TEST(BrandTextTrim, PaddingAndControlCharactersGoInnerTextStays) {
  EXPECT_EQ(TrimBrandText("              Intel(R) Pentium(R) 4 CPU 2.40GHz\0\0"s),
            "Intel(R) Pentium(R) 4 CPU 2.40GHz");
  EXPECT_EQ(TrimBrandText("\0\t\r\n AMD \x1f\x20"s), "AMD");
  EXPECT_EQ(TrimBrandText("VIA Samuel\0\0M\0\0\0"s), "VIA Samuel\0\0M"s);
  EXPECT_EQ(TrimBrandText("  a  b  "), "a  b");
  EXPECT_EQ(TrimBrandText(std::string(48, '\0')), "");
  EXPECT_EQ(TrimBrandText(""), "");
  // Bytes of 0x80 and above are text, not padding (a signed char would make
  // them look like control codes).
  EXPECT_EQ(TrimBrandText("\xA0Name\xFF\x7F"), "\xA0Name\xFF\x7F");
  EXPECT_EQ(TrimBrandText("\x21"), "\x21");
}

TEST(BrandTextChoice, TheLastBrandLeafMustBeInRange) {
  EXPECT_TRUE(NameNeedsTable(false, 0, 0));
  EXPECT_TRUE(NameNeedsTable(false, 0x80000003, 0xFFFFFFFF));
  EXPECT_FALSE(NameNeedsTable(false, 0x80000004, 0));
  EXPECT_FALSE(NameNeedsTable(false, 0xFFFFFFFF, 0));  // unsigned comparison
  EXPECT_TRUE(NameNeedsTable(false, 0x7FFFFFFF, 0));
  EXPECT_TRUE(NameNeedsTable(true, 0x80000008, 0x80860005));
  EXPECT_FALSE(NameNeedsTable(true, 0, 0x80860006));
}

TEST(ProcessorName, BrandTextIsTrimmedAndReadAfreshOnEveryCall) {
  ScopedFake m;
  // Pentium 4 2.40 GHz: brand index 9, brand text padded with 14 blanks.
  m->SetBasics("GenuineIntel", 2, 0x00000F27, 0x00010809, 0x80000004);
  m->Set(0x80000002, {0x20202020, 0x20202020, 0x20202020, 0x6E492020});
  m->Set(0x80000003, {0x286C6574, 0x50202952, 0x69746E65, 0x52286D75});
  m->Set(0x80000004, {0x20342029, 0x20555043, 0x30342E32, 0x007A4847});
  EXPECT_FALSE(FromTable());
  const auto name = CpuRoot().ProcessorInformation(0)->Name();
  EXPECT_EQ(name->Name(), "Intel(R) Pentium(R) 4 CPU 2.40GHz");
  EXPECT_EQ(TProcessorNameDetect(0).Name().size(), 48u);

  // Nothing is cached: the same name object runs CPUID again.
  const size_t before = m->Executions(0x80000002);
  m->SetText(0x80000002, 3, "  Renamed  ");
  EXPECT_EQ(name->Name(), "Renamed");
  EXPECT_EQ(m->Executions(0x80000002), before + 1);
}

TEST(ProcessorName, TextBytesKeepTheirNulsInside) {
  ScopedFake m;
  // Via "Samuel": the brand text has NULs inside; only the ends are trimmed.
  m->SetBasics("CentaurHauls", 1, 0x00000660, 0xC1704000, 0x80000005);
  m->Set(0x80000002, {0x20414956, 0x756D6153, 0x00006C65, 0x0000004D});
  EXPECT_EQ(NameOf(), "VIA Samuel\0\0M"s);
}

TEST(ProcessorName, WithoutBrandLeavesTheVendorTableDecides) {
  struct Case {
    const char* what;
    const char* vendor;
    uint32_t signature, leaf1_ebx, max_extended;
    const char* name;
  } cases[] = {
      // An extended range that stops at 0x80000003 is not enough, Intel or
      // AMD alike.
      {"intel ext 3", "GenuineIntel", 0x00000F29, 0, 0x80000003,
       "Intel x86 Family 15 Model 2 Stepping 9"},
      {"celeron brand 1", "GenuineIntel", 0x0000068A, 0x00000001, 0, "Intel Celeron"},
      {"amd k5", "AuthenticAMD", 0x00000501, 0, 0, "AMD K5"},
      {"amd ext 3", "AuthenticAMD", 0x0000058C, 0, 0x80000003, "AMD K6 2"},
      {"via family 6", "CentaurHauls", 0x00000673, 0, 0, "Via x86 Family 6 Model 7 Stepping 3"},
      {"winchip", "CentaurHauls", 0x00000540, 0, 0, "IDT WinChip"},
      {"cyrix", "CyrixInstead", 0x00000520, 0, 0, "Cyrix 6x86"},
      {"nexgen", "NexGenDriven", 0x00000500, 0, 0, "NexGen Nx586"},
      {"umc", "UMC UMC UMC ", 0x00000420, 0, 0, "UMC U5D"},
      {"rise", "RiseRiseRise", 0x00000520, 0, 0, "Rise iDragon II"},
      {"unknown", "HygonGenuine", 0x00000543, 0, 0, "Unknown x86 Family 5 Model 4 Stepping 3"},
      {"lower case", "genuineintel", 0x00000543, 0, 0, "Unknown x86 Family 5 Model 4 Stepping 3"},
      // Extended family and model take part in the generic text (the
      // extended model is added to the model nibble, not shifted).
      {"extended", "AuthenticAMD", 0x00A50FF0, 0, 0, "AMD x86 Family 25 Model 20 Stepping 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedFake m;
    m->SetBasics(c.vendor, 1, c.signature, c.leaf1_ebx, c.max_extended);
    m->SetText(0x80000002, 3, "Should not be used");
    EXPECT_TRUE(FromTable());
    EXPECT_EQ(NameOf(), c.name);
  }
}

TEST(ProcessorName, IntelTablePathReadsLevel2AndSerialNumberBit) {
  // Pentium II "Dixon" (family 6 model 6): no extended range, brand index 0,
  // leaf 2 = 03020101 0 0 0C040842: descriptor 0x42, 256 KB level 2.
  ScopedFake m;
  m->SetBasics("GenuineIntel", 2, 0x0000066A, 0, 0, 0x0183F9FF);
  m->Set(2, {0x03020101, 0, 0, 0x0C040842});
  EXPECT_EQ(NameOf(), "Intel Mobile Pentium II");

  // No level 2 (register with bit 31): the serial-number bit decides.
  m->Set(2, {0x03020101, 0, 0, 0x8C040842});
  EXPECT_EQ(NameOf(), "Intel Celeron");
  m->Set(1, {0x0000066A, 0, 0, 0x0183F9FF | (1u << 18)});
  EXPECT_EQ(NameOf(), "Intel Mobile Celeron");

  // Family 6 model 5 with 128 KB (0x41) is a Pentium II, with 0x40 a Celeron,
  // with 1 MB (0x44) a Pentium II Xeon.
  m->Set(1, {0x00000652, 0, 0, 0});
  m->Set(2, {0x00000001, 0, 0, 0x00000041});
  EXPECT_EQ(NameOf(), "Intel Pentium II");
  m->Set(2, {0x00000001, 0, 0, 0x00000040});
  EXPECT_EQ(NameOf(), "Intel Celeron");
  m->Set(2, {0x00000001, 0, 0, 0x00000044});
  EXPECT_EQ(NameOf(), "Intel Pentium II Xeon");

  // Pentium II Overdrive: processor type 1 in the signature.
  m->Set(1, {0x00001632, 0, 0, 0});
  EXPECT_EQ(NameOf(), "Intel Pentium II Overdrive");
}

TEST(ProcessorName, TransmetaUsesItsOwnRangeForBothChoiceAndText) {
  // Efficeon: the Transmeta information text sits in 0x80860003-0x80860006.
  ScopedFake m;
  m->SetBasics("GenuineTMx86", 3, 0x00000F24, 0x00011000, 0x80000008);
  m->Set(0x80860000, {0x80860007, 0x6E617254, 0x55504361, 0x74656D73});
  m->Set(0x80860003, {0x34303032, 0x33323730, 0x3A303220, 0x6F203134});
  m->Set(0x80860004, {0x63696666, 0x206C6169, 0x656C6572, 0x20657361});
  m->Set(0x80860005, {0x2E302E36, 0x00362334, 0, 0});
  m->SetText(0x80000002, 3, "Transmeta(tm) Efficeon(tm) Processor TM8000");
  EXPECT_FALSE(FromTable());
  EXPECT_EQ(TProcessorNameDetect(0).Name().size(), 64u);
  EXPECT_EQ(NameOf(), "20040723 20:41 official release 6.0.4#6");

  // A Transmeta range ending at 0x80860005 means the table path, even with
  // a full extended brand text.
  m->Set(0x80860000, {0x80860005, 0, 0, 0});
  EXPECT_TRUE(FromTable());
  EXPECT_EQ(NameOf(), "Transmeta x86 Family 15 Model 2 Stepping 4");
}

TEST(ProcessorName, LookupChosenByVendorNumber) {
  ScopedFake m;
  m->SetBasics("GenuineIntel", 1, 0x00000543);
  const struct {
    uint8_t vendor;
    const char* name;
  } cases[] = {{0, "Unknown "}, {1, "Unknown "},  {2, "Intel "},     {3, "AMD "},
               {4, "Cyrix "},   {5, "Via "},      {6, "NexGen "},    {7, "UMC "},
               {8, "Rise "},    {9, "Transmeta "}, {10, "Unknown "}, {255, "Unknown "}};
  for (const auto& c : cases) {
    // Family 5 model 4 stepping 3 is in no table except Intel's, Cyrix's and
    // the WinChip's, so the others show their vendor's fallback start.
    const std::string name = CreateProcessorLookup(c.vendor, 0)->Name();
    if (c.vendor == 2) {
      EXPECT_EQ(name, "Intel Pentium MMX");
    } else if (c.vendor == 4) {
      EXPECT_EQ(name, "Cyrix GXm");
    } else if (c.vendor == 5) {
      EXPECT_EQ(name, "IDT WinChip");
    } else {
      EXPECT_EQ(name, std::string(c.name) + "x86 Family 5 Model 4 Stepping 3") << int{c.vendor};
    }
  }
}

}  // namespace
}  // namespace zt::cpuid
