// Date-time values and the clocks of the platform layer.
#include "util/platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>

namespace zt {
namespace {

TEST(DateTime, DaysSinceTheEndOf1899WithTheTimeAsFraction) {
  EXPECT_EQ(DateTimeFromParts(1899, 12, 30, 0, 0, 0, 0), 0.0);
  EXPECT_EQ(DateTimeFromParts(1900, 1, 1, 0, 0, 0, 0), 2.0);
  EXPECT_EQ(DateTimeFromParts(1900, 3, 1, 0, 0, 0, 0), 61.0);  // 1900 was no leap year
  EXPECT_EQ(DateTimeFromParts(2000, 1, 1, 0, 0, 0, 0), 36526.0);
  EXPECT_EQ(DateTimeFromParts(2013, 12, 16, 12, 0, 0, 0), 41624.5);
  EXPECT_DOUBLE_EQ(DateTimeFromParts(2024, 2, 29, 18, 0, 0, 0), 45351.75);
  EXPECT_NEAR(DateTimeFromParts(2024, 1, 1, 23, 59, 59, 999), 45292 + 86399.999 / 86400, 1e-9);
}

TEST(DateTime, NowIsTheLocalDateAndTime) {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  const double expected = DateTimeFromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                            local.tm_hour, local.tm_min, local.tm_sec, 0);
  EXPECT_NEAR(NowAsDateTime(), expected, 3.0 / 86400);
}

TEST(TickCount, BothCountsCountMillisecondsOfTheSameClock) {
  const uint32_t a = GetTickCountMs();
  const uint64_t a64 = GetTickCount64Ms();
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  const uint32_t b = GetTickCountMs();
  const uint64_t b64 = GetTickCount64Ms();
  EXPECT_GE(b - a, 50u);
  EXPECT_LT(b - a, 2000u);
  EXPECT_GE(b64 - a64, 50u);
  EXPECT_LT(b64 - a64, 2000u);
  // The 32-bit count is the low half of the 64-bit one.
  EXPECT_LT(static_cast<uint32_t>(b - static_cast<uint32_t>(a64)), 2000u);
}

#ifndef _WIN32
// On Windows the system answers; nothing of ours to test there.
TEST(Platform, LinuxPresentsTheAggregateLastLikeWindows2000) { EXPECT_TRUE(IsWindows2000OrLater()); }
#endif

}  // namespace
}  // namespace zt
