#include <gtest/gtest.h>

#include <algorithm>

#include "cpuid/serial.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::FakeCpu;
using testing::ScopedFake;

TEST(Serial, DashedAndPlainTextsInRegisterOrder) {
  FakeCpu p3;
  p3.Vendor("GenuineIntel", 3).Signature(0x00000686, 0, 0, 1u << 18);
  p3.Leaf(3, 0x0000abcd, 0x11111111, 0x89ABCDEF, 0x01234567);
  ScopedFake fake({p3});
  const TProcessorSerial serial(0);
  EXPECT_TRUE(serial.Available()->Value());
  const std::string dashed = serial.AsDashedText();
  EXPECT_EQ(dashed, "0000-ABCD-0123-4567-89AB-CDEF");  // EAX, EDX, ECX
  EXPECT_EQ(dashed.size(), 29u);
  EXPECT_EQ(std::count(dashed.begin(), dashed.end(), '-'), 5);
  EXPECT_EQ(serial.AsHexText(), "0000ABCD0123456789ABCDEF");
}

TEST(Serial, TransmetaUsesEbxOnly) {
  FakeCpu crusoe;
  crusoe.Vendor("GenuineTMx86", 3).Signature(0x00000543, 0, 0, 1u << 18);
  crusoe.Leaf(3, 0x01020304, 0xDEADBEEF, 0x05060708, 0x090A0B0C);
  ScopedFake fake({crusoe});
  const TProcessorSerial serial(0);
  EXPECT_EQ(serial.AsDashedText(), "DEAD-BEEF");
  EXPECT_EQ(serial.AsHexText(), "DEADBEEF");
}

TEST(Serial, WithoutLeafThreeEverythingIsZero) {
  FakeCpu p4;
  p4.Vendor("GenuineIntel", 2).Signature(0x00000F29, 0, 0, 0xBFEBFBFF & ~(1u << 18));
  p4.Leaf(3, 1, 2, 3, 4);  // above the highest standard leaf: never read
  ScopedFake fake({p4});
  const TProcessorSerial serial(0);
  EXPECT_FALSE(serial.Available()->Value());
  EXPECT_EQ(serial.AsDashedText(), "0000-0000-0000-0000-0000-0000");
  EXPECT_EQ(serial.AsHexText(), std::string(24, '0'));
  EXPECT_EQ(DashedGroup(0x00FF00FF), "00FF-00FF");
}

}  // namespace
}  // namespace zt::cpuid
