#include "sampling/res_monitor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <thread>

#include "monitor_fakes.h"
#include "config/config.h"
#include "support/wait_until.h"

namespace zt {
namespace {

using test::FakeClock;
using test::FakeLoad;
using test::FakeMemory;
using test::RecordingDisplay;

class ResMonitorTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetConfigToDefaults(); }
  void TearDown() override { ResetConfigToDefaults(); }

  test::UseSources Sources(FakeLoad& load, bool win2000 = true) {
    return test::UseSources(load, &clock, memory, win2000);
  }

  FakeClock clock;
  FakeMemory memory;
  RecordingDisplay display;
};

// --- statistics -----------------------------------------------------------

TEST_F(ResMonitorTest, ResetCountsAsABoundButNotTowardsTheAverage) {
  FakeLoad load(test::Rows{{0}});
  const auto sources = Sources(load);
  TResMonitor m(&display);
  m.CpuUsage = 30;
  m.ResetStatistics();
  m.CpuUsage = 20;
  m.UpdateStatistics();
  m.CpuUsage = 60;
  m.UpdateStatistics();
  TResStatistics s = m.CopyStatistics();
  EXPECT_EQ(s.Samples, 2u);
  EXPECT_DOUBLE_EQ(s.CpuMin, 20);
  EXPECT_DOUBLE_EQ(s.CpuAverage, 40);
  EXPECT_DOUBLE_EQ(s.CpuMax, 60);

  m.CpuUsage = 10;
  m.ResetStatistics();
  m.CpuUsage = 20;
  m.UpdateStatistics();
  m.CpuUsage = 60;
  m.UpdateStatistics();
  s = m.CopyStatistics();
  EXPECT_DOUBLE_EQ(s.CpuMin, 10);
  EXPECT_DOUBLE_EQ(s.CpuAverage, 40);
  EXPECT_DOUBLE_EQ(s.CpuMax, 60);
}

TEST_F(ResMonitorTest, ResetTakesTimeTickAndMemoryFigures) {
  FakeLoad load(test::Rows{{0}});
  const auto sources = Sources(load);
  TResMonitor m(&display);
  m.MemoryUsage = 25;
  m.MemoryTotal = 8192;
  m.CpuUsage = 5;
  m.UpdateStatistics();
  clock.tick = (1ull << 32) + 777;  // past the 32-bit count: the reset keeps all of it
  clock.now = 46000.25;
  m.ResetStatistics();
  const TResStatistics s = m.CopyStatistics();
  EXPECT_EQ(s.Samples, 0u);
  EXPECT_EQ(s.TickStarted, (1ull << 32) + 777);
  EXPECT_DOUBLE_EQ(s.TimeStarted, 46000.25);
  EXPECT_DOUBLE_EQ(s.MemoryMin, 25);
  EXPECT_DOUBLE_EQ(s.MemoryAverage, 25);
  EXPECT_DOUBLE_EQ(s.MemoryMax, 25);
  EXPECT_DOUBLE_EQ(s.MemoryTotal, 8192);
  EXPECT_DOUBLE_EQ(s.CpuMin, 5);
}

TEST_F(ResMonitorTest, MemoryStatisticsFollowTheSameRulesAndTrackTheTotal) {
  FakeLoad load(test::Rows{{0}});
  const auto sources = Sources(load);
  TResMonitor m(&display);
  m.MemoryUsage = 50;
  m.ResetStatistics();
  for (double v : {40.0, 70.0, 10.0}) {
    m.MemoryUsage = v;
    m.MemoryTotal = v * 100;
    m.UpdateStatistics();
  }
  const TResStatistics s = m.CopyStatistics();
  EXPECT_DOUBLE_EQ(s.MemoryMin, 10);
  EXPECT_DOUBLE_EQ(s.MemoryMax, 70);
  EXPECT_DOUBLE_EQ(s.MemoryAverage, 40);
  EXPECT_DOUBLE_EQ(s.MemoryTotal, 1000);
}

TEST_F(ResMonitorTest, AverageStaysExactOverManySamples) {
  FakeLoad load(test::Rows{{0}});
  const auto sources = Sources(load);
  TResMonitor m(&display);
  m.ResetStatistics();
  // 100 000 alternating samples of 0 and 100: the running mean must not drift.
  for (int i = 0; i < 100000; ++i) {
    m.CpuUsage = (i % 2) ? 100 : 0;
    m.UpdateStatistics();
  }
  EXPECT_NEAR(m.CopyStatistics().CpuAverage, 50.0, 1e-9);
}

// At the end of its range the sample count stops: wrapping to 0 would divide
// by zero and make the averages not a number for good.
TEST(StatisticsFold, CountStopsAtItsLargestValueAndTheAveragesStayNumbers) {
  TResStatistics s;
  s.Samples = s.CpuSamples = UINT32_MAX - 1;
  s.CpuMin = s.CpuAverage = s.CpuMax = 40;
  s.MemoryMin = s.MemoryAverage = s.MemoryMax = 30;
  for (int i = 0; i < 3; ++i) FoldSample(s, true, 40, 30, 8192);
  EXPECT_EQ(s.Samples, UINT32_MAX);
  EXPECT_DOUBLE_EQ(s.CpuAverage, 40);
  EXPECT_DOUBLE_EQ(s.MemoryAverage, 30);
  FoldSample(s, true, 100, 90, 8192);
  EXPECT_NEAR(s.CpuAverage, 40, 1e-6);
  EXPECT_GT(s.CpuAverage, 40);
  EXPECT_DOUBLE_EQ(s.CpuMax, 100);
  EXPECT_DOUBLE_EQ(s.MemoryMax, 90);
  EXPECT_EQ(s.Samples, UINT32_MAX);
  EXPECT_EQ(s.CpuSamples, UINT32_MAX);
}

// --- Initialize and sampling ---------------------------------------------

TEST_F(ResMonitorTest, InitializeDropsTheAggregateInstanceFromWindows2000On) {
  FakeLoad load(test::Rows{{10, 30, 20}});  // two processors and the aggregate
  const auto sources = Sources(load, true);
  TResMonitor m(&display);
  m.Initialize();
  EXPECT_EQ(m.CpuCount, 2);
  ASSERT_EQ(m.CpuUsages.size(), 2u);
  EXPECT_DOUBLE_EQ(m.CpuUsages[0], 10);
  EXPECT_DOUBLE_EQ(m.CpuUsages[1], 30);
  EXPECT_DOUBLE_EQ(m.CpuUsage, 20);
  // Memory is sampled even with DisplayMemory off, and the statistics start
  // from the figures just taken.
  EXPECT_EQ(memory.calls, 1);
  const TResStatistics s = m.CopyStatistics();
  EXPECT_EQ(s.Samples, 0u);
  EXPECT_DOUBLE_EQ(s.CpuMin, 20);
  EXPECT_DOUBLE_EQ(s.MemoryMin, 25);
  EXPECT_DOUBLE_EQ(s.MemoryTotal, 8192);
}

TEST_F(ResMonitorTest, InitializeKeepsAtLeastOneProcessor) {
  FakeLoad single(test::Rows{{42}});
  const auto use_a = Sources(single, true);
  TResMonitor a(&display);
  a.Initialize();  // 1 instance - 1 = 0, raised to 1
  EXPECT_EQ(a.CpuCount, 1);
  EXPECT_DOUBLE_EQ(a.CpuUsage, 42);

  FakeLoad nine(test::Rows{{50}});  // before Windows 2000 nothing is subtracted
  const auto use_b = Sources(nine, false);
  TResMonitor b(&display);
  b.Initialize();
  EXPECT_EQ(b.CpuCount, 1);
}

TEST_F(ResMonitorTest, SampleMemoryFollowsUsePhysicalMemory) {
  FakeLoad load(test::Rows{{0}});
  const auto sources = Sources(load);
  TResMonitor m(&display);
  UsePhysicalMemory = true;
  m.SampleMemory();
  EXPECT_TRUE(memory.last_physical);
  EXPECT_DOUBLE_EQ(m.MemoryTotal, 8192);
  EXPECT_DOUBLE_EQ(m.MemoryUsed, 2048);
  EXPECT_DOUBLE_EQ(m.MemoryUsage, 25);
  UsePhysicalMemory = false;
  m.SampleMemory();
  EXPECT_FALSE(memory.last_physical);
  EXPECT_DOUBLE_EQ(m.MemoryTotal, 16384);
  EXPECT_DOUBLE_EQ(m.MemoryUsed, 12288);
  EXPECT_DOUBLE_EQ(m.MemoryUsage, 75);
}

TEST_F(ResMonitorTest, FailedMemoryQueryGivesTheFailureFigures) {
  FakeLoad load(test::Rows{{0}});
  const auto sources = Sources(load);
  TResMonitor m(&display);
  memory.phys_total = memory.phys_avail = kMemoryQueryFailed;
  m.SampleMemory();
  EXPECT_DOUBLE_EQ(m.MemoryUsed, 0);
  EXPECT_DOUBLE_EQ(m.MemoryUsage, 0);
  EXPECT_DOUBLE_EQ(m.MemoryTotal, -1.0 / 1048576);
}

// --- delay ----------------------------------------------------------------

TEST(MonitorDelay, ClampsToTenAndTwoThousand) {
  EXPECT_EQ(MonitorDelay(500, 1000, 1100), 400);
  EXPECT_EQ(MonitorDelay(0, 1000, 1000), 10);       // Rate 0 from the file
  EXPECT_EQ(MonitorDelay(500, 1000, 1495), 10);     // slower than Rate - 10
  EXPECT_EQ(MonitorDelay(500, 1000, 1490), 10);     // exactly Rate - 10 left: 10
  EXPECT_EQ(MonitorDelay(500, 1000, 1489), 11);
  EXPECT_EQ(MonitorDelay(500, 1000, 9000), 10);     // far slower than Rate
  EXPECT_EQ(MonitorDelay(3000, 1000, 1000), 2000);  // hand-edited Rate
  EXPECT_EQ(MonitorDelay(65535, 0, 1), 2000);
  EXPECT_EQ(MonitorDelay(2000, 5, 5), 2000);
  // The tick count wrapped during the pass.
  EXPECT_EQ(MonitorDelay(500, 0xFFFFFFF0u, 0x10u), 468);
}

// --- display step ---------------------------------------------------------

class DisplayStepTest : public ResMonitorTest {
 protected:
  DisplayFigures Figures(double total, std::vector<double>* each = nullptr) {
    DisplayFigures f;
    f.CpuCount = each ? static_cast<int32_t>(each->size()) : 1;
    f.CpuUsage = total;
    f.CpuUsages = each;
    f.MemoryTotal = 8192;
    f.MemoryUsage = 18.75;
    f.MemoryUsed = 1536.4;
    f.Samples = 7;
    return f;
  }
};

TEST_F(DisplayStepTest, TotalGoesToLineOneWhenOneLineIsShown) {
  std::vector<double> each{10, 30};
  DisplayEachCPU = false;
  RunDisplayStep(display, Figures(20.5, &each));
  EXPECT_EQ(display.gauge, 20);  // 20.5 rounds to even
  ASSERT_EQ(display.lines[1].size(), 1u);
  EXPECT_DOUBLE_EQ(display.lines[1][0].x, 7);
  EXPECT_DOUBLE_EQ(display.lines[1][0].y, 20.5);
  EXPECT_TRUE(display.lines[2].empty());

  // One processor with DisplayEachCPU on: still only the total on line 1.
  RecordingDisplay single;
  DisplayEachCPU = true;
  RunDisplayStep(single, Figures(33));
  EXPECT_EQ(single.lines[1].size(), 1u);
  EXPECT_DOUBLE_EQ(single.lines[1][0].y, 33);
  for (int k = 2; k < kGraphLineCount; ++k) EXPECT_TRUE(single.lines[k].empty());
}

TEST_F(DisplayStepTest, EachProcessorGetsALineUpToFour) {
  DisplayEachCPU = true;
  std::vector<double> two{10, 30};
  RunDisplayStep(display, Figures(20, &two));
  EXPECT_EQ(display.gauge, 20);
  EXPECT_DOUBLE_EQ(display.lines[1].at(0).y, 10);
  EXPECT_DOUBLE_EQ(display.lines[2].at(0).y, 30);
  EXPECT_TRUE(display.lines[3].empty());
  EXPECT_TRUE(display.lines[4].empty());

  RecordingDisplay wide;
  std::vector<double> six{1, 2, 3, 4, 95, 95};
  RunDisplayStep(wide, Figures(33.3, &six));
  for (int k = 1; k <= 4; ++k) {
    ASSERT_EQ(wide.lines[k].size(), 1u) << k;
    EXPECT_DOUBLE_EQ(wide.lines[k][0].y, k);
  }
  // The gauge and the tray still show the mean of all six.
  EXPECT_EQ(wide.gauge, 33);
  ASSERT_EQ(wide.tray.size(), 1u);
  EXPECT_EQ(wide.tray[0].first, 33);
}

TEST_F(DisplayStepTest, LinesAreTrimmedToGraphLengthBeforeAdding) {
  DisplayMemory = true;
  GraphLength = 80;
  for (int i = 0; i < 100; ++i) RunDisplayStep(display, Figures(i));
  EXPECT_EQ(display.lines[1].size(), 80u);
  EXPECT_EQ(display.lines[0].size(), 80u);
  EXPECT_DOUBLE_EQ(display.lines[1].back().y, 99);
  EXPECT_DOUBLE_EQ(display.lines[1].front().y, 20);
  GraphLength = 30;  // lowered live: the next sample trims to 30
  RunDisplayStep(display, Figures(100));
  EXPECT_EQ(display.lines[1].size(), 30u);
  EXPECT_EQ(display.lines[0].size(), 30u);
  EXPECT_DOUBLE_EQ(display.lines[1].back().y, 100);
  // A length of 0 from the file must not spin on an empty line.
  GraphLength = 0;
  RunDisplayStep(display, Figures(1));
  EXPECT_EQ(display.lines[1].size(), 1u);
}

TEST_F(DisplayStepTest, MemoryLineAndLabelOnlyWithDisplayMemory) {
  DisplayMemory = false;
  RunDisplayStep(display, Figures(10));
  EXPECT_TRUE(display.lines[0].empty());
  EXPECT_EQ(display.label_calls, 0);
  ASSERT_EQ(display.tray.size(), 1u);
  EXPECT_EQ(display.tray[0], std::make_pair(10, -1));

  DisplayMemory = true;
  RunDisplayStep(display, Figures(10));
  ASSERT_EQ(display.lines[0].size(), 1u);
  EXPECT_DOUBLE_EQ(display.lines[0][0].y, 18.75);
  EXPECT_EQ(display.label_calls, 1);
  EXPECT_EQ(display.tray[1], std::make_pair(10, 19));
}

TEST_F(DisplayStepTest, MemoryLabelTexts) {
  MemoryAsPercentage = false;
  ShowFreeMemory = false;
  EXPECT_EQ(MemoryLabelText(8192, 18.75, 1536.4), "1,536 MB");
  ShowFreeMemory = true;
  EXPECT_EQ(MemoryLabelText(8192, 18.75, 1536.4), "6,656 MB");
  MemoryAsPercentage = true;
  ShowFreeMemory = false;
  EXPECT_EQ(MemoryLabelText(8192, 52, 0), "52.00 %");
  EXPECT_EQ(MemoryLabelText(8192, 18.754, 0), "18.75 %");
  ShowFreeMemory = true;
  EXPECT_EQ(MemoryLabelText(8192, 52, 0), "48.00 %");
  EXPECT_EQ(MemoryLabelText(8192, 100.0000001, 0), "0.00 %");  // never "-0.00 %"
  EXPECT_EQ(MemoryLabelText(8192, 100.5, 0), "-0.50 %");
  // The failure figures show as 0 MB and 0.00 %.
  ShowFreeMemory = false;
  EXPECT_EQ(MemoryLabelText(-1.0 / 1048576, 0, 0), "0.00 %");
  MemoryAsPercentage = false;
  EXPECT_EQ(MemoryLabelText(-1.0 / 1048576, 0, 0), "0 MB");
}

TEST_F(DisplayStepTest, TrayIconUpdatedUnlessHiddenWhileTheWindowShows) {
  DisplayMemory = true;
  HideTrayWhenVisible = true;
  AppTrayMode = false;
  RunDisplayStep(display, Figures(40));
  EXPECT_TRUE(display.tray.empty());
  AppTrayMode = true;
  RunDisplayStep(display, Figures(40));
  ASSERT_EQ(display.tray.size(), 1u);
  HideTrayWhenVisible = false;
  AppTrayMode = false;
  RunDisplayStep(display, Figures(40.5));
  ASSERT_EQ(display.tray.size(), 2u);
  EXPECT_EQ(display.tray[1], std::make_pair(40, 19));  // 40.5 -> 40, 18.75 -> 19
}

// --- the run loop ---------------------------------------------------------

// Serves display steps until the monitor has slept `sleeps` times.
void ServeUntilSleeps(FakeClock& clock, size_t sleeps) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (clock.Sleeps().size() < sleeps && std::chrono::steady_clock::now() < deadline) {
    ServeSynchronizeQueue();
    std::this_thread::yield();
  }
}

TEST_F(ResMonitorTest, RunLoopSleepsWhatIsLeftOfRate) {
  FakeLoad load(test::Rows{{10, 30, 20}});
  load.on_refresh = [this] { clock.tick += 100; };  // each reading "takes" 100 ms
  Rate = 500;
  DisplayMemory = false;
  const auto sources = Sources(load);
  TResMonitor m(&display);
  m.Start();
  ServeUntilSleeps(clock, 3);
  Rate = 0;
  ServeUntilSleeps(clock, 6);
  Rate = 3000;
  ServeUntilSleeps(clock, 9);
  m.Terminate();
  m.WaitFor();
  const auto sleeps = clock.Sleeps();
  ASSERT_GE(sleeps.size(), 9u);
  EXPECT_EQ(sleeps[0], 400u);
  EXPECT_EQ(sleeps[1], 400u);
  // The Rate change is seen on the next pass.
  EXPECT_EQ(sleeps.back(), 2000u);
  bool saw_ten = false;
  for (uint32_t s : sleeps) saw_ten = saw_ten || s == 10;
  EXPECT_TRUE(saw_ten);
  // The memory was sampled once (in Initialize) and never again.
  EXPECT_EQ(memory.calls, 1);
  // Every pass reached the display; x counts the samples.
  const TResStatistics s = m.CopyStatistics();
  ASSERT_FALSE(display.lines[1].empty());
  EXPECT_DOUBLE_EQ(display.lines[1].back().x, s.Samples);
  EXPECT_EQ(display.gauge_calls, static_cast<int>(s.Samples));
  EXPECT_FALSE(m.FatalException());
}

// Bad readings in the middle of a run must not stop the monitor: those
// samples are drawn as 0 % and the next good reading goes on.  They say
// nothing about the load, so the statistics leave them out: an outage of the
// performance data must not leave a minimum of 0 % for the rest of the
// session.  They still count as samples (the graph's x, the actual rate).
TEST_F(ResMonitorTest, FailedReadingsAreDrawnAsZeroButLeftOutOfTheLoadStatistics) {
  FakeLoad load(test::Rows{{10, 30, 20}, {50, 70, 60}, {40, 40, 40}});
  load.fail_from = 3;  // Initialize reads once; the first pass succeeds, the next two fail
  load.fail_until = 5;
  DisplayEachCPU = true;
  const auto sources = Sources(load);
  TResMonitor m(&display);
  m.Start();
  ServeUntilSleeps(clock, 6);
  m.Terminate();
  m.WaitFor();
  EXPECT_FALSE(m.FatalException());
  ASSERT_GE(display.lines[1].size(), 6u) << "sampling stopped";
  const double expected[] = {50, 0, 0, 40, 40, 40};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_DOUBLE_EQ(display.lines[1][i].y, expected[i]) << "pass " << i + 1;
    EXPECT_DOUBLE_EQ(display.lines[1][i].x, static_cast<double>(i + 1));
  }
  EXPECT_DOUBLE_EQ(display.lines[2][1].y, 0);
  EXPECT_DOUBLE_EQ(display.lines[2][3].y, 40);
  EXPECT_EQ(display.tray[1].first, 0);
  const TResStatistics s = m.CopyStatistics();
  ASSERT_GE(s.Samples, 6u);
  EXPECT_EQ(display.lines[1].size(), s.Samples);
  // The good passes: one of 60 (the mean of 50 and 70), the rest 40; the
  // lowest bound is the 20 of the reading that Initialize reset to.
  const double good = s.Samples - 2;
  EXPECT_EQ(s.CpuSamples, s.Samples - 2);
  EXPECT_DOUBLE_EQ(s.CpuMin, 20);
  EXPECT_DOUBLE_EQ(s.CpuMax, 60);
  EXPECT_NEAR(s.CpuAverage, (60 + 40 * (good - 1)) / good, 1e-9);
  // The memory was read on every pass and counts every one.
  EXPECT_DOUBLE_EQ(s.MemoryMin, 25);
  EXPECT_DOUBLE_EQ(s.MemoryAverage, 25);

  // A reset during an outage takes the last good load as its bound.
  m.SampleCPU();
  load.fail_from = load.readings + 1;
  load.fail_until = INT_MAX;
  m.SampleCPU();
  ASSERT_DOUBLE_EQ(m.CpuUsage, 0);
  m.ResetStatistics();
  const TResStatistics r = m.CopyStatistics();
  EXPECT_DOUBLE_EQ(r.CpuMin, 40);
  EXPECT_DOUBLE_EQ(r.CpuAverage, 40);
  EXPECT_DOUBLE_EQ(r.CpuMax, 40);
  m.UpdateStatistics();
  EXPECT_DOUBLE_EQ(m.CopyStatistics().CpuMin, 40);
  EXPECT_EQ(m.CopyStatistics().Samples, 1u);
}

// Both processors 80 % busy from before the start.  Start-up's reading and
// the monitor's first ones follow each other within microseconds under one
// coarse stamp; a load reading that fails at the start leaves no bound.
TEST_F(ResMonitorTest, TheFirstSamplesAreMeasuredAndNoUnmeasuredZeroBecomesTheMinimum) {
  int64_t now = 0;  // 100-ns units
  struct Busy : IIdleTimeSource {
    int64_t& now;
    explicit Busy(int64_t& n) : now(n) {}
    void ReadIdleTimes(std::vector<int64_t>& idle, int64_t& stamp) override {
      idle.assign(3, now / 5);
      stamp = now - now % 156250;
      now += 100;  // the next reading comes 10 us later unless time is moved on
    }
  };
  IdleTimeProcessorLoad load(
      std::make_unique<Busy>(now), [&] { return now; }, [&](int64_t d) { now += d; });
  const auto sources = test::UseSources(load, &clock, memory, true);
  TResMonitor m(&display);
  load.RefreshProcessorCounters();  // start-up
  m.Initialize();
  for (int pass = 0; pass < 3; ++pass) {
    m.SampleCPU();
    m.UpdateStatistics();
    now += 500 * 10000;
  }
  const TResStatistics s = m.CopyStatistics();
  EXPECT_NEAR(s.CpuMin, 80, 8);
  EXPECT_NEAR(s.CpuAverage, 80, 8);

  FakeLoad failing(test::Rows{{80, 80, 80}});
  failing.fail_from = 1;
  failing.fail_until = 2;
  const auto failing_sources = Sources(failing);
  TResMonitor f(&display);
  f.Initialize();
  f.SampleCPU();
  f.UpdateStatistics();
  EXPECT_DOUBLE_EQ(f.CopyStatistics().CpuMin, 80);
}

// 96 processors in two groups of 48: group 0 holds four at 10, 20, 30 and
// 40 % and the rest idle, group 1 is fully busy.
TEST_F(ResMonitorTest, TwoProcessorGroupsMakeOneTotalAndTheLinesShowGroupZero) {
  int64_t now = 0;
  struct Groups : IProcessorGroupReader {
    int64_t& now;
    explicit Groups(int64_t& n) : now(n) {}
    uint16_t GroupCount() override { return 2; }
    bool AppendIdleTimes(uint16_t group, std::vector<int64_t>& idle) override {
      for (int p = 0; p < 48; ++p) {
        const int busy = group == 1 ? 100 : p < 4 ? 10 * (p + 1) : 0;
        idle.push_back(now / 100 * (100 - busy));
      }
      return true;
    }
    int64_t Now() override { return now; }
  };
  IdleTimeProcessorLoad load(std::make_unique<ProcessorGroupsIdleSource>(std::make_unique<Groups>(now), true),
                             [&] { return now; });
  const auto sources = test::UseSources(load, &clock, memory, true);
  DisplayEachCPU = true;
  TResMonitor m(&display);
  load.RefreshProcessorCounters();
  now += 10000000;
  m.Initialize();
  now += 10000000;
  m.SampleCPU();
  m.UpdateDisplay();
  EXPECT_EQ(m.CpuCount, 96);
  EXPECT_DOUBLE_EQ(m.CpuUsage, (10 + 20 + 30 + 40 + 48 * 100) / 96.0);
  EXPECT_EQ(display.gauge, 51);
  for (int line = 1; line <= 4; ++line) {
    ASSERT_EQ(display.lines[line].size(), 1u);
    EXPECT_NEAR(display.lines[line][0].y, 10 * line, 1e-9);
  }
}

TEST_F(ResMonitorTest, DeletingAMonitorBlockedInItsDisplayStepDoesNotDeadlock) {
  FakeLoad load(test::Rows{{10, 30, 20}});
  const auto use = Sources(load);
  auto* m = new TResMonitor(&display);
  m->Start();
  // Nobody serves the queue: the monitor is stuck in its display step.
  test::WaitUntil([] { return PendingSynchronizeCalls() != 0; }, std::chrono::seconds(20));
  ASSERT_EQ(PendingSynchronizeCalls(), 1);
  m->Terminate();
  delete m;  // serves the pending step, then the thread ends without sleeping
  EXPECT_EQ(display.gauge_calls, 1);
  EXPECT_TRUE(clock.Sleeps().empty());
}

TEST_F(ResMonitorTest, NeverStartedMonitorKeepsTheAllZeroRecord) {
  FakeLoad load(test::Rows{{10}});
  const auto sources = Sources(load);
  TResMonitor m(&display);
  const TResStatistics s = m.CopyStatistics();
  EXPECT_EQ(s.Samples, 0u);
  EXPECT_EQ(s.TickStarted, 0u);
  EXPECT_DOUBLE_EQ(s.CpuMax, 0);
  EXPECT_EQ(load.readings, 0);
}

// Resets and copies from the "UI" thread while the monitor samples every
// 10 ms on its own thread; run under ThreadSanitizer as well.
TEST_F(ResMonitorTest, ResetAndCopyWhileSamplingAreConsistent) {
  // Two processors and the aggregate; the total alternates between 20 and 60.
  std::vector<std::vector<double>> rows;
  for (int i = 0; i < 2000; ++i) rows.push_back(i % 2 ? std::vector<double>{20, 20, 20}
                                                      : std::vector<double>{60, 60, 60});
  FakeLoad load(rows);
  const test::UseSources use(load, nullptr, memory, true);  // the real clock: real 10 ms passes
  Rate = 10;
  DisplayMemory = true;
  DisplayEachCPU = true;
  TResMonitor m(&display);
  m.Start();
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  int copies = 0, resets = 0;
  uint32_t last_samples = 0;
  while (std::chrono::steady_clock::now() < end) {
    ServeSynchronizeQueue();
    if (copies % 7 == 3) {
      m.ResetStatistics();
      ++resets;
      last_samples = 0;
    }
    const TResStatistics s = m.CopyStatistics();
    ++copies;
    // Min <= mean <= max, every figure a real sample value, the memory
    // figures the constant ones, the sample count never going back between
    // resets.
    ASSERT_LE(s.CpuMin, s.CpuAverage + 1e-9);
    ASSERT_LE(s.CpuAverage, s.CpuMax + 1e-9);
    ASSERT_TRUE(s.CpuMin == 20 || s.CpuMin == 60 || s.CpuMin == 0) << s.CpuMin;
    ASSERT_TRUE(s.CpuMax == 20 || s.CpuMax == 60 || s.CpuMax == 0) << s.CpuMax;
    if (s.Samples > 0) {
      ASSERT_DOUBLE_EQ(s.MemoryMin, 25);
      ASSERT_DOUBLE_EQ(s.MemoryAverage, 25);
      ASSERT_DOUBLE_EQ(s.MemoryMax, 25);
      ASSERT_DOUBLE_EQ(s.MemoryTotal, 8192);
    }
    ASSERT_GE(s.Samples, last_samples);
    last_samples = s.Samples;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  m.Terminate();
  m.WaitFor();
  EXPECT_FALSE(m.FatalException());
  EXPECT_GT(resets, 10);
  EXPECT_GT(m.CopyStatistics().Samples + resets, 20u);
  EXPECT_GE(display.gauge_calls, 20);
}

}  // namespace
}  // namespace zt
