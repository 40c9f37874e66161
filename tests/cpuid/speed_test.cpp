#include <gtest/gtest.h>

#include "cpuid/rating.h"
#include "cpuid/speed.h"
#include "support/fake_machine.h"

namespace zt::cpuid {
namespace {

using testing::FakeCpu;
using testing::ScopedFake;

TEST(Speed, NormalisesToTheNearestEnding) {
  const std::pair<uint32_t, uint32_t> cases[] = {
      {0, 0},       {99, 100},    {1998, 2000}, {2133, 2133}, {1466, 1466}, {1008, 1000},
      {1010, 1017}, {2250, 2250}, {1733, 1733}, {1025, 1020}, {1034, 1033}, {1055, 1060},
      {1091, 1090}, {1095, 1100}, {1, 0},       {9, 17},      {8, 0}};
  for (const auto& [in, out] : cases) EXPECT_EQ(NormaliseSpeed(in), out) << in;
  EXPECT_EQ(NormaliseSpeed(4294967295u), 4294967290u);  // no wrap-around
}

TEST(Speed, ClockFromCounters) {
  EXPECT_DOUBLE_EQ(ClockFromCounters(400000000, 200000, 1000000), 2000.0);
  EXPECT_EQ(ClockFromCounters(400000000, 200000, 0), 0.0);
  EXPECT_EQ(ClockFromCounters(400000000, 0, 1000000), 0.0);
  EXPECT_EQ(ClockFromCounters(400000000, -5, 1000000), 0.0);
}

TEST(Speed, MeasuresThroughTheMachineAtRaisedPriority) {
  FakeCpu cpu;
  cpu.Vendor("GenuineIntel", 1).Signature(0x00000F29);
  ScopedFake fake({cpu});
  fake->tsc_hz = 1997500000;
  fake->frequency = 1000000;
  const TProcessorSpeedInformation speed(0);
  EXPECT_EQ(speed.RawSpeed()->Value(), 1997u);
  EXPECT_EQ(speed.NormalisedSpeed()->Value(), 2000u);
  EXPECT_EQ(speed.NormalisedSpeed()->AsFrequency(), "2.0 Ghz");
  EXPECT_EQ(speed.Rating(), "");
  EXPECT_EQ(fake->raise_calls, 1);
  EXPECT_EQ(fake->restore_calls, 1);
  EXPECT_EQ(fake->sleeps, (std::vector<uint32_t>{200}));
}

TEST(Speed, NoHighResolutionCounterReadsZero) {
  FakeCpu cpu;
  cpu.Vendor("GenuineIntel", 1).Signature(0x00000F29);
  ScopedFake fake({cpu});
  fake->tsc_hz = 5000000;
  const TProcessorSpeedInformation speed(0);
  EXPECT_EQ(speed.RawSpeed()->Value(), 0u);
  EXPECT_EQ(speed.NormalisedSpeed()->AsFrequency(), "0 Mhz");
}

TEST(Rating, ExactSpeedInTheTableOfTheCacheSize) {
  EXPECT_EQ(AmdRating(2000, 256 * 1024), "2400+");
  EXPECT_EQ(AmdRating(2000, 512 * 1024), "2600+");
  EXPECT_EQ(AmdRating(2000, 64 * 1024), "");
  EXPECT_EQ(AmdRating(2001, 256 * 1024), "");
  EXPECT_EQ(AmdRating(950, 256 * 1024 + 1023), "1100+");  // kilobytes, rounded down
  EXPECT_EQ(AmdRating(1333, 256 * 1024), "1500+");
  EXPECT_EQ(AmdRating(2100, 512 * 1024), "3000+");
  EXPECT_EQ(AmdRating(2133, 512 * 1024), "2800+");
  EXPECT_EQ(AmdRating(2250, 512 * 1024), "");
}

TEST(Rating, AmdPartAsksItsLevel2Cache) {
  FakeCpu athlon;
  athlon.Vendor("AuthenticAMD", 1).Signature(0x00000681).Extended(0x80000008);
  athlon.Leaf(0x80000006, 0, 0, (256u << 16) | (8u << 12) | 64u, 0);
  ScopedFake fake({athlon});
  fake->tsc_hz = 2000000000;
  fake->frequency = 1000000;
  EXPECT_EQ(TProcessorSpeedInformation(0).Rating(), "2400+");
}

}  // namespace
}  // namespace zt::cpuid
