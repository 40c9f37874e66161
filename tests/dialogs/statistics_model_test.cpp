// The statistics window's figures, from copies of the monitor's statistics.
#include "dialogs/statistics_model.h"

#include <gtest/gtest.h>

#include "sampling/monitor_fakes.h"
#include "util/platform.h"

namespace zt {
namespace {

using V = StatisticsValue;

TResStatistics StartedAt(uint64_t tick) {
  TResStatistics s;
  s.TimeStarted = DateTimeFromParts(2013, 12, 16, 9, 5, 7, 0);
  s.TickStarted = tick;
  return s;
}

TEST(StatisticsFigures, AnHourAMinuteAndASecondAtHalfASecondPerSample) {
  TResStatistics s = StartedAt(5000);
  s.Samples = 7322;
  const StatisticsTexts t = StatisticsFigureTexts(s, 5000 + 3661000, FigureFormat{});
  EXPECT_EQ(t[V::TimeRuning], "1 hours 1 mins 1 secs");
  EXPECT_EQ(t[V::ActualRate], "0.500 s");
  EXPECT_EQ(t[V::Samples], "7322");
  EXPECT_EQ(t[V::TimeStarted], "16 Dec 2013, 09:05:07");
}

TEST(StatisticsFigures, RunningTimeLeavesOutZeroHoursAndMinutesButNeverSeconds) {
  EXPECT_EQ(RunningTimeText(0), "0 secs");
  EXPECT_EQ(RunningTimeText(127), "2 mins 7 secs");
  EXPECT_EQ(RunningTimeText(3600), "1 hours 0 secs");
  EXPECT_EQ(RunningTimeText(90061), "25 hours 1 mins 1 secs");
}

TEST(StatisticsFigures, ElapsedTimeRoundsHalvesToEven) {
  // Started 1.5 s before 2^32 ms, read 2 s after: 3.5 s -> 4.
  TResStatistics s = StartedAt(0xFFFFFFFFull - 1499);
  s.Samples = 8;
  StatisticsTexts t = StatisticsFigureTexts(s, 0x100000000ull + 2000, FigureFormat{});
  EXPECT_EQ(t[V::TimeRuning], "4 secs");
  EXPECT_EQ(t[V::ActualRate], "0.500 s");
  // 2.5 s -> 2.
  t = StatisticsFigureTexts(s, 0x100000000ull + 1000, FigureFormat{});
  EXPECT_EQ(t[V::TimeRuning], "2 secs");
  EXPECT_EQ(t[V::ActualRate], "0.250 s");
}

// A monitor left running for two months: the running time and the rate go
// on past the 49.7 days of a 32-bit millisecond count.
TEST(StatisticsFigures, RunningTimeAndRateGoOnPastFortyNineDays) {
  TResStatistics s = StartedAt(3000);
  s.Samples = 5184000;  // one a second
  const uint64_t sixty_days_ms = 60ull * 24 * 3600 * 1000;
  const StatisticsTexts t = StatisticsFigureTexts(s, 3000 + sixty_days_ms + 7000, FigureFormat{});
  EXPECT_EQ(t[V::TimeRuning], "1440 hours 7 secs");
  EXPECT_EQ(t[V::ActualRate], "1.000 s");
}

TEST(StatisticsFigures, LoadAndMemoryWithTheUsersSeparatorAndMonthNames) {
  TResStatistics s = StartedAt(0);
  s.CpuMin = 3.14159;
  s.CpuAverage = 50;
  s.CpuMax = 99.999;
  s.MemoryMin = 45.3;
  s.MemoryAverage = 45.35;
  s.MemoryMax = 100;
  s.MemoryTotal = 8192;
  s.Samples = 3;
  FigureFormat de;
  de.decimal_separator = ",";
  de.short_months[11] = "Dez";
  const StatisticsTexts t = StatisticsFigureTexts(s, 1500, de);
  EXPECT_EQ(t[V::CpuUsageMin], "3,14 %");
  EXPECT_EQ(t[V::CpuUsageAverage], "50,00 %");
  EXPECT_EQ(t[V::CpuUsageMax], "100,00 %");
  EXPECT_EQ(t[V::MemoryUsageMin], "45,3 %  (3,711 MB)");
  EXPECT_EQ(t[V::MemoryUsageMax], "100,0 %  (8,192 MB)");
  EXPECT_EQ(t[V::ActualRate], "0,667 s");
  EXPECT_EQ(t[V::TimeStarted], "16 Dez 2013, 09:05:07");

  FigureFormat plain;
  EXPECT_EQ(StatisticsFigureTexts(s, 1500, plain)[V::MemoryUsageMin], "45.3 %  (3,711 MB)");
  s.MemoryTotal = 0;
  const StatisticsTexts no_total = StatisticsFigureTexts(s, 1500, plain);
  for (V v : {V::MemoryUsageMin, V::MemoryUsageAverage, V::MemoryUsageMax})
    EXPECT_NE(no_total[v].find("  (0 MB)"), std::string::npos) << no_total[v];
}

TEST(StatisticsFigures, StartTimeIsTheLocalTimeOfTheResetToTheSecond) {
  FigureFormat f;
  EXPECT_EQ(StartTimeText(DateTimeFromParts(2024, 2, 29, 23, 59, 59, 999), f), "29 Feb 2024, 23:59:59");
  EXPECT_EQ(StartTimeText(DateTimeFromParts(2000, 1, 1, 0, 0, 0, 0), f), "01 Jan 2000, 00:00:00");
  // A value a hair below midnight is midnight, as its millisecond says.
  EXPECT_EQ(StartTimeText(DateTimeFromParts(2001, 3, 1, 0, 0, 0, 0) - 1e-10, f), "01 Mar 2001, 00:00:00");
}

TEST(StatisticsFigures, RightAfterAResetTheBoundsAreTheFiguresOfThatMoment) {
  test::FakeLoad load({{30, 30}});
  test::FakeClock clock;
  test::FakeMemory memory;
  memory.phys_total = memory.page_total = 4096ull << 20;
  memory.phys_avail = memory.page_avail = 1024ull << 20;
  const test::UseSources use(load, &clock, memory, true);
  TResMonitor monitor(nullptr);
  monitor.Initialize();
  clock.tick += 2000;
  const StatisticsTexts t = StatisticsFigureTexts(monitor.CopyStatistics(), clock.tick, FigureFormat{});
  EXPECT_EQ(t[V::Samples], "0");
  EXPECT_EQ(t[V::ActualRate], "--");
  EXPECT_EQ(t[V::TimeRuning], "2 secs");
  EXPECT_EQ(t[V::MemoryUsageMin], "75.0 %  (3,072 MB)");
  EXPECT_EQ(t[V::MemoryUsageMax], t[V::MemoryUsageMin]);
  EXPECT_EQ(t[V::CpuUsageAverage], t[V::CpuUsageMin]);
  EXPECT_EQ(t[V::CpuUsageMax], t[V::CpuUsageMin]);
}

TEST(StatisticsFigures, AMonitorThatNeverStartedShowsZerosAndNoStart) {
  TResMonitor monitor(nullptr);
  const StatisticsTexts t = StatisticsFigureTexts(monitor.CopyStatistics(), 123456789, FigureFormat{});
  const StatisticsTexts expected = {{"0.00 %", "0.00 %", "0.00 %", "0.0 %  (0 MB)", "0.0 %  (0 MB)",
                                     "0.0 %  (0 MB)", "0", "--", "--", "--"}};
  EXPECT_EQ(t.text, expected.text);
  for (const std::string& text : NoMonitorTexts().text) EXPECT_EQ(text, "??");
}

// The reset arrow at 150 % and 200 % is drawn, not stretched: the same
// shape (an open ring with its head at the top), smooth at the edges.
TEST(StatisticsModel, TheResetPictureIsDrawnAtEachSize) {
  const std::vector<uint8_t> design = DrawResetPicture(16);
  ASSERT_EQ(design.size(), 256u);
  double design_cover = 0;
  for (uint8_t c : design) design_cover += c;
  for (int size : {24, 32}) {
    const std::vector<uint8_t> p = DrawResetPicture(size);
    ASSERT_EQ(p.size(), static_cast<size_t>(size * size));
    double cover = 0;
    int partial = 0;
    for (uint8_t c : p) {
      cover += c;
      partial += c > 0 && c < 255;
    }
    const double ratio = cover / design_cover / (size / 16.0) / (size / 16.0);
    EXPECT_NEAR(ratio, 1.0, 0.2) << size;
    EXPECT_GT(partial, size) << "smooth edges at " << size;
    auto at = [&](double x, double y) { return p[static_cast<size_t>(y * size / 16) * size + static_cast<size_t>(x * size / 16)]; };
    EXPECT_EQ(at(1.5, 8.5), 255) << "the ring's left side";
    EXPECT_EQ(at(7.5, 14.5), 255) << "its foot";
    EXPECT_EQ(at(12.5, 5.5), 0) << "open in its upper right quarter";
    EXPECT_EQ(at(9.0, 3.0), 255) << "the head";
    EXPECT_EQ(at(7.5, 8.5), 0) << "hollow";
  }
}

}  // namespace
}  // namespace zt
