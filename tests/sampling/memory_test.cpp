#include "sampling/memory.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

// Megabytes and percent from the system's byte counts.
TEST(MemorySample, FiguresFromTheSystemsByteCounts) {
  const struct {
    uint64_t total, available;
    double mb_total, mb_used, usage;
  } cases[] = {
      {8ull << 30, 6ull << 30, 8192, 2048, 25},
      {0, 0, 0, 0, 0},                          // no NaN from an empty total
      {1ull << 40, 1, 1048576, 1048576, 100},  // 1 byte free of 1 TB: exact in 64-bit integers
      {kMemoryQueryFailed, kMemoryQueryFailed, -1.0 / 1048576, 0, 0},  // the failure figures
  };
  for (const auto& c : cases) {
    const MemorySample s = MemorySampleFromFigures(c.total, c.available);
    EXPECT_DOUBLE_EQ(s.MemoryTotal, c.mb_total) << c.total;
    EXPECT_NEAR(s.MemoryUsed, c.mb_used, 1e-6) << c.total;
    EXPECT_NEAR(s.MemoryUsage, c.usage, 1e-9) << c.total;
  }
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
