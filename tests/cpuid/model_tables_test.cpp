// Vendor model tables: the decision rules over brand index, signature,
// family, model and the Intel hints, checked at their boundaries.
#include <gtest/gtest.h>

#include "cpuid/model_tables.h"

namespace zt::cpuid {
namespace {

TEST(IntelBrandStage, SignatureSplitsAtF13AndExactly6B1) {
  struct Case {
    uint32_t brand;
    uint32_t signature;
    const char* name;
  } cases[] = {
      {8, 0x00000F12, "Intel Pentium 4"},
      {8, 0x00000F13, "Intel Geniune Processor"},
      {9, 0x00000F12, "Intel Pentium 4"},
      {9, 0x00000F29, "Intel Geniune Processor"},
      {11, 0x00000F12, "Intel Xeon MP"},
      {11, 0x00000F13, "Intel Xeon"},
      {14, 0x00000F12, "Intel Xeon"},
      {14, 0x00000F13, "Intel Mobile Pentium 4"},
      {3, 0x000006B1, "Intel Celeron"},
      {3, 0x000006B0, "Intel Pentium III Xeon"},
      {3, 0x000006B2, "Intel Pentium III Xeon"},
      {1, 0x00000F29, "Intel Celeron"},
      {7, 0, "Intel Mobile Celeron"},
      {12, 0xFFFFFFFF, "Intel Xeon MP"},
      {15, 0, "Intel Mobile Celeron"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IntelBrandName(c.brand, c.signature), c.name)
        << "brand " << c.brand << " signature " << std::hex << c.signature;
  }
}

TEST(IntelBrandStage, IndexesWithoutANameLeaveItToStageTwo) {
  for (uint32_t brand : {0u, 5u, 13u, 16u, 17u, 255u, 0x00010E02u, 0xFFFFFFFFu}) {
    EXPECT_EQ(IntelBrandName(brand, 0x00000F29), "") << brand;
  }
  // A nameless brand index goes on to family and model.
  IntelNameHints h;
  h.brand = 13;
  h.family = 5;
  h.model = 4;
  EXPECT_EQ(IntelModelName(h), "Intel Pentium MMX");
  // A brand name wins over family and model.
  h.brand = 2;
  EXPECT_EQ(IntelModelName(h), "Intel Pentium III");
}

TEST(IntelBrandStage, RowsCoverEveryBrandIndexOnce) {
  uint64_t next = 0;
  for (const IntelBrandRow& row : kIntelBrandTable) {
    EXPECT_EQ(row.first_brand, next);
    EXPECT_LE(row.first_brand, row.last_brand);
    if (row.rule != BrandRule::kNone) {
      EXPECT_NE(row.name, nullptr);
    }
    if (row.rule == BrandRule::kSignatureBelow || row.rule == BrandRule::kSignatureEquals) {
      EXPECT_NE(row.otherwise, nullptr);
    }
    next = uint64_t{row.last_brand} + 1;
  }
  EXPECT_EQ(next, uint64_t{1} << 32);
}

IntelNameHints Family6(uint32_t model, uint32_t level2, bool psn = false, uint32_t type = 0) {
  IntelNameHints h;
  h.family = 6;
  h.model = model;
  h.stepping = 2;
  h.level2_size = level2;
  h.serial_number = psn;
  h.processor_type = type;
  return h;
}

TEST(IntelModelStage, Family6SplitsByLevel2SizeTypeAndSerialNumber) {
  EXPECT_EQ(IntelModelName(Family6(5, 0)), "Intel Celeron");
  EXPECT_EQ(IntelModelName(Family6(5, 131071)), "Intel Celeron");
  EXPECT_EQ(IntelModelName(Family6(5, 131072)), "Intel Pentium II");
  EXPECT_EQ(IntelModelName(Family6(5, 1048575)), "Intel Pentium II");
  EXPECT_EQ(IntelModelName(Family6(5, 1048576)), "Intel Pentium II Xeon");

  EXPECT_EQ(IntelModelName(Family6(6, 131072)), "Intel Mobile Pentium II");
  EXPECT_EQ(IntelModelName(Family6(6, 131072, true)), "Intel Mobile Pentium II");
  EXPECT_EQ(IntelModelName(Family6(6, 131071, true)), "Intel Mobile Celeron");
  EXPECT_EQ(IntelModelName(Family6(6, 131071, false)), "Intel Celeron");

  EXPECT_EQ(IntelModelName(Family6(7, 1048575)), "Intel Pentium III");
  EXPECT_EQ(IntelModelName(Family6(7, 1048576)), "Intel Pentium III Xeon");

  EXPECT_EQ(IntelModelName(Family6(3, 0, false, 1)), "Intel Pentium II Overdrive");
  EXPECT_EQ(IntelModelName(Family6(3, 0, false, 0)), "Intel Pentium II");
  EXPECT_EQ(IntelModelName(Family6(3, 0, false, 2)), "Intel Pentium II");

  EXPECT_EQ(IntelModelName(Family6(0, 0)), "Intel Pentium Pro");
  EXPECT_EQ(IntelModelName(Family6(1, 0)), "Intel Pentium Pro");
}

TEST(IntelModelStage, EarlyFamiliesAndFallbacks) {
  auto name = [](uint32_t family, uint32_t model, uint32_t stepping = 1) {
    IntelNameHints h;
    h.family = family;
    h.model = model;
    h.stepping = stepping;
    h.level2_size = 262144;
    return IntelModelName(h);
  };
  EXPECT_EQ(name(4, 4), "Intel 80486SX");
  EXPECT_EQ(name(4, 7), "Intel 80486DX2");
  EXPECT_EQ(name(4, 8), "Intel 80486DX4");
  EXPECT_EQ(name(4, 5, 3), "Intel x86 Family 4 Model 5 Stepping 3");
  for (uint32_t m : {0u, 1u, 2u, 7u}) EXPECT_EQ(name(5, m), "Intel Pentium") << m;
  EXPECT_EQ(name(5, 3), "Intel Pentium Overdrive");
  EXPECT_EQ(name(5, 4), "Intel Pentium MMX");
  EXPECT_EQ(name(5, 8), "Intel x86 Family 5 Model 8 Stepping 1");
  for (uint32_t m : {2u, 4u, 8u, 15u, 16u, 63u, 64u, 200u}) {
    EXPECT_EQ(name(6, m), "Intel x86 Family 6 Model " + std::to_string(m) + " Stepping 1");
  }
  EXPECT_EQ(name(15, 2, 9), "Intel x86 Family 15 Model 2 Stepping 9");
  EXPECT_EQ(name(3, 4, 0), "Intel x86 Family 3 Model 4 Stepping 0");
  EXPECT_EQ(name(0, 0, 0), "Intel x86 Family 0 Model 0 Stepping 0");
}

TEST(OtherVendorTables, RepresentativeRowsAndFallbacks) {
  struct Case {
    uint8_t vendor;
    const char* vendor_name;
    uint32_t family, model, stepping;
    const char* name;
  } cases[] = {
      {3, "AMD ", 4, 3, 0, "AMD AM486DX2"},
      {3, "AMD ", 4, 15, 0, "AMD AM5x86"},
      {3, "AMD ", 5, 0, 1, "AMD K5"},
      {3, "AMD ", 5, 7, 0, "AMD K6"},
      {3, "AMD ", 5, 8, 12, "AMD K6 2"},
      {3, "AMD ", 5, 13, 0, "AMD K6 III"},
      {3, "AMD ", 5, 10, 0, "AMD x86 Family 5 Model 10 Stepping 0"},
      {3, "AMD ", 6, 2, 2, "AMD x86 Family 6 Model 2 Stepping 2"},
      {3, "AMD ", 15, 4, 10, "AMD x86 Family 15 Model 4 Stepping 10"},
      {4, "Cyrix ", 5, 2, 0, "Cyrix 6x86"},
      {4, "Cyrix ", 6, 0, 0, "Cyrix 6x86MX"},
      {4, "Cyrix ", 6, 8, 0, "Via Cyrix III"},
      {4, "Cyrix ", 6, 9, 0, "Cyrix x86 Family 6 Model 9 Stepping 0"},
      {5, "Via ", 5, 4, 0, "IDT WinChip"},
      {5, "Via ", 5, 9, 0, "IDT WinChip 3"},
      {5, "Via ", 6, 6, 0, "Via x86 Family 6 Model 6 Stepping 0"},
      {6, "NexGen ", 5, 0, 4, "NexGen Nx586"},
      {6, "NexGen ", 5, 1, 4, "NexGen x86 Family 5 Model 1 Stepping 4"},
      {7, "UMC ", 4, 2, 0, "UMC U5D"},
      {7, "UMC ", 4, 3, 0, "UMC x86 Family 4 Model 3 Stepping 0"},
      {8, "Rise ", 5, 2, 0, "Rise iDragon II"},
      {8, "Rise ", 5, 1, 0, "Rise x86 Family 5 Model 1 Stepping 0"},
      // No table at all: the generic text whatever family and model.
      {9, "Transmeta ", 5, 4, 3, "Transmeta x86 Family 5 Model 4 Stepping 3"},
      {1, "Unknown ", 5, 4, 0, "Unknown x86 Family 5 Model 4 Stepping 0"},
      {0, "Unknown ", 0, 0, 0, "Unknown x86 Family 0 Model 0 Stepping 0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VendorModelName(c.vendor, c.vendor_name, c.family, c.model, c.stepping), c.name)
        << int{c.vendor} << " " << c.family << "/" << c.model;
  }
}

TEST(GenericName, LargeFieldsAreWrittenInFull) {
  EXPECT_EQ(GenericProcessorName("Intel ", 270, 30, 15),
            "Intel x86 Family 270 Model 30 Stepping 15");
  EXPECT_EQ(GenericProcessorName("Unknown ", 4294967295u, 0, 0),
            "Unknown x86 Family 4294967295 Model 0 Stepping 0");
}

}  // namespace
}  // namespace zt::cpuid
