#include "sampling/memory.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(MemorySample, EightGigabytesWithSixAvailable) {
  const MemorySample s = MemorySampleFromFigures(8ull << 30, 6ull << 30);
  EXPECT_DOUBLE_EQ(s.MemoryTotal, 8192);
  EXPECT_DOUBLE_EQ(s.MemoryUsed, 2048);
  EXPECT_DOUBLE_EQ(s.MemoryUsage, 25);
}

TEST(MemorySample, FailedQueryFigures) {
  const MemorySample s = MemorySampleFromFigures(kMemoryQueryFailed, kMemoryQueryFailed);
  EXPECT_DOUBLE_EQ(s.MemoryUsed, 0);
  EXPECT_DOUBLE_EQ(s.MemoryUsage, 0);
  EXPECT_DOUBLE_EQ(s.MemoryTotal, -1.0 / 1048576);
  EXPECT_LT(s.MemoryTotal, 0);
}

TEST(MemorySample, ZeroTotalGivesZeroUsageNotNaN) {
  const MemorySample s = MemorySampleFromFigures(0, 0);
  EXPECT_DOUBLE_EQ(s.MemoryUsage, 0);
  EXPECT_DOUBLE_EQ(s.MemoryUsed, 0);
  EXPECT_DOUBLE_EQ(s.MemoryTotal, 0);
}

TEST(MemorySample, LargeFiguresKeepTheirPrecision) {
  // 1 TB with 1 byte available: used is exact in 64-bit integers.
  const MemorySample s = MemorySampleFromFigures(1ull << 40, 1);
  EXPECT_DOUBLE_EQ(s.MemoryTotal, 1048576);
  EXPECT_NEAR(s.MemoryUsed, 1048576, 1e-6);
  EXPECT_NEAR(s.MemoryUsage, 100, 1e-9);
}

const char kMemInfo[] =
    "MemTotal:        8388608 kB\n"
    "MemFree:          123456 kB\n"
    "MemAvailable:    6291456 kB\n"
    "Buffers:          100 kB\n"
    "SwapTotal:       2097152 kB\n"
    "CommitLimit:     6291456 kB\n"
    "Committed_AS:    2097152 kB\n"
    "HugePages_Total:       0\n";

TEST(ParseMemInfo, PhysicalAndCommitFigures) {
  uint64_t total = 0, available = 0;
  ASSERT_TRUE(ParseMemInfo(kMemInfo, true, total, available));
  EXPECT_EQ(total, 8ull << 30);
  EXPECT_EQ(available, 6ull << 30);
  ASSERT_TRUE(ParseMemInfo(kMemInfo, false, total, available));
  EXPECT_EQ(total, 6ull << 30);
  EXPECT_EQ(available, 4ull << 30);  // CommitLimit - Committed_AS
}

TEST(ParseMemInfo, OvercommitLeavesNothing) {
  const std::string text = "CommitLimit: 1000 kB\nCommitted_AS: 5000 kB\n";
  uint64_t total = 0, available = 0;
  ASSERT_TRUE(ParseMemInfo(text, false, total, available));
  EXPECT_EQ(total, 1000u * 1024);
  EXPECT_EQ(available, 0u);
  EXPECT_DOUBLE_EQ(MemorySampleFromFigures(total, available).MemoryUsage, 100);
}

TEST(ParseMemInfo, MissingOrMalformedLinesFail) {
  uint64_t total = 0, available = 0;
  for (const char* text : {"", "MemTotal: 100 kB\n", "MemTotal: kB\nMemAvailable: 5 kB\n",
                           "MemTotal: 99999999999999999999999 kB\nMemAvailable: 5 kB\n",
                           "MemTotal: 18014398509481984 kB\nMemAvailable: 5 kB\n",
                           "garbage without colons\n\x01\x02"}) {
    EXPECT_FALSE(ParseMemInfo(text, true, total, available)) << text;
    EXPECT_EQ(total, kMemoryQueryFailed);
    EXPECT_EQ(available, kMemoryQueryFailed);
  }
}

TEST(GetMemoryFigures, RealSystemGivesPlausibleFigures) {
  for (bool physical : {true, false}) {
    uint64_t total = 0, available = 0;
    GetMemoryFigures(physical, total, available);
    ASSERT_NE(total, kMemoryQueryFailed) << physical;
    EXPECT_GT(total, 0u);
    EXPECT_LE(available, total);
  }
}

}  // namespace
}  // namespace zt
