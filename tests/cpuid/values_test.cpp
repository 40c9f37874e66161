#include <gtest/gtest.h>

#include "cpuid/cpu_values.h"

namespace zt::cpuid {
namespace {

TEST(CpuValues, SizeUnitBoundaries) {
  EXPECT_EQ(TCpuNumber(0).AsSize(), "0 bytes");
  EXPECT_EQ(TCpuNumber(1023).AsSize(), "1023 bytes");
  EXPECT_EQ(TCpuNumber(1024).AsSize(), "1.0 Kb");
  EXPECT_EQ(TCpuNumber(1048575).AsSize(), "1,024.0 Kb");
  EXPECT_EQ(TCpuNumber(1048576).AsSize(), "1.0 Mb");
  EXPECT_EQ(TCpuNumber(0x3FFFFFFF).AsSize(), "1,024.0 Mb");
  EXPECT_EQ(TCpuNumber(0x40000000).AsSize(), "1.0 Gb");
  EXPECT_EQ(TCpuNumber(0xFFFFFFFF).AsSize(), "4.0 Gb");
  // Typical cache sizes.
  EXPECT_EQ(TCpuNumber(32768).AsSize(), "32.0 Kb");
  EXPECT_EQ(TCpuNumber(6 * 1048576).AsSize(), "6.0 Mb");
}

TEST(CpuValues, OneDecimalRoundsOnTheExactQuotient) {
  // 1.25 exactly: half away from zero, the same on every C library.
  EXPECT_EQ(TCpuNumber(1280).AsSize(), "1.3 Kb");
  EXPECT_EQ(TCpuNumber(1279).AsSize(), "1.2 Kb");
  EXPECT_EQ(FormatOneDecimal(1234567, 1), "1,234,567.0");
  EXPECT_EQ(FormatOneDecimal(999999, 1000), "1,000.0");
  EXPECT_EQ(FormatOneDecimal(5, 0), "0.0");
}

TEST(CpuValues, Frequency) {
  EXPECT_EQ(TCpuNumber(0).AsFrequency(), "0 Mhz");
  EXPECT_EQ(TCpuNumber(999).AsFrequency(), "999 Mhz");
  EXPECT_EQ(TCpuNumber(1000).AsFrequency(), "1.0 Ghz");
  EXPECT_EQ(TCpuNumber(2133).AsFrequency(), "2.1 Ghz");
  EXPECT_EQ(TCpuNumber(2050).AsFrequency(), "2.1 Ghz");
  EXPECT_EQ(TCpuNumber(2049).AsFrequency(), "2.0 Ghz");
  EXPECT_EQ(TCpuNumber(1234567).AsFrequency(), "1,234.6 Ghz");
}

TEST(CpuValues, VersionHexCharsAndDecimal) {
  EXPECT_EQ(TCpuNumber(4301).AsVersion(), "4.3.01");
  EXPECT_EQ(TCpuNumber(1005).AsVersion(), "1.0.05");
  EXPECT_EQ(TCpuNumber(99).AsVersion(), "0.0.99");
  EXPECT_EQ(TCpuNumber(255).AsHex(), "$000000FF");
  EXPECT_EQ(TCpuNumber(0xDEADBEEF).AsHex(), "$DEADBEEF");
  EXPECT_EQ(TCpuNumber(0x64636261).AsChars(), "abcd");
  EXPECT_EQ(TCpuNumber(0x00000041).AsChars(), std::string("A\0\0\0", 4));
  EXPECT_EQ(TCpuNumber(0xFFFFFFFF).AsString(), "4294967295");
}

TEST(CpuValues, BitsAndWords) {
  EXPECT_EQ(TCpuNumber(0xFFFFFFFF).BitCount(), 32);
  EXPECT_EQ(TCpuNumber(0).BitCount(), 0);
  EXPECT_EQ(TCpuNumber(0x80000001).BitCount(), 2);
  const TCpuNumber n(0x00000002);
  EXPECT_TRUE(n.Bit(1)->Value());
  EXPECT_TRUE(n.Bit(33)->Value());  // only the low five bits of the index count
  EXPECT_FALSE(n.Bit(0)->Value());
  EXPECT_TRUE(TCpuNumber(0x80000000).Bit(31)->Value());
  EXPECT_TRUE(TCpuNumber(0x80000000).Bit(255)->Value());

  const TCpuNumber w(0x12345678);
  EXPECT_EQ(w.HighWord()->Value(), 0x1234);
  EXPECT_EQ(w.LowWord()->Value(), 0x5678);
  EXPECT_EQ(w.HighWord()->HighByte(), 0x12);
  EXPECT_EQ(w.LowWord()->LowByte(), 0x78);
}

}  // namespace
}  // namespace zt::cpuid
