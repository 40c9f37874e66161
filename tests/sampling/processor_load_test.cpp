// The processor-load source: load arithmetic over scripted idle-time
// readings, the choice between idle-time sources, the sampler's clamping and
// averaging, and the Windows 9x path over a fake registry.
#include "sampling/processor_load.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "perf_data_builder.h"
#include "sampling/perf_data.h"
#include "support/fake_registry.h"
#include "util/registry.h"

namespace zt {
namespace {

constexpr int64_t kSecond = 10000000;  // in 100-ns units

// The steady clock of the loads under test: each source sets it when it
// answers, to the reading's own stamp unless the script says otherwise, so
// that the stamps read as the time that really passed.
int64_t g_steady = 0;
int64_t SteadyFollowsTheSources() { return g_steady; }
// The pauses the loads under test asked for, instead of taking them.
std::vector<int64_t> g_pauses;
void RecordPause(int64_t duration) { g_pauses.push_back(duration); }

// Hands out scripted readings; an empty message means success.
class ScriptedSource : public IIdleTimeSource {
 public:
  struct Reading {
    std::vector<int64_t> idle;
    int64_t time = 0;
    std::string error;
    std::optional<int64_t> steady;
  };
  void Add(std::vector<int64_t> idle, int64_t time) {
    readings.push_back({std::move(idle), time, {}, {}});
  }
  // A reading taken when the steady clock stood at `steady`.
  void AddAt(int64_t steady, std::vector<int64_t> idle, int64_t time) {
    readings.push_back({std::move(idle), time, {}, steady});
  }
  void Fail(const std::string& message) { readings.push_back({{}, 0, message, {}}); }

  void ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) override {
    ++calls;
    if (readings.empty()) throw EProcessorLoad("no more readings");
    Reading r = readings.front();
    readings.pop_front();
    if (!r.error.empty()) throw EProcessorLoad(r.error);
    idle.assign(r.idle.begin(), r.idle.end());
    time_100ns = r.time;
    g_steady = r.steady.value_or(r.time);
  }
  std::deque<Reading> readings;
  int calls = 0;
};

struct Loaded {
  ScriptedSource* script;
  std::unique_ptr<IdleTimeProcessorLoad> load;
};
Loaded MakeLoad() {
  auto source = std::make_unique<ScriptedSource>();
  ScriptedSource* raw = source.get();
  g_pauses.clear();
  return {raw, std::make_unique<IdleTimeProcessorLoad>(std::move(source), SteadyFollowsTheSources,
                                                       RecordPause)};
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EProcessorLoad& e) {
    return e.what();
  }
  return "";
}

// --- load arithmetic --------------------------------------------------------

TEST(IdleTimeLoad, LoadIsOneMinusTheIdleShareOfTheElapsedTime) {
  auto [script, load] = MakeLoad();
  script->Add({100 * kSecond, 200 * kSecond, 150 * kSecond}, 1000 * kSecond);
  script->Add({100 * kSecond + kSecond / 4, 200 * kSecond + kSecond, 150 * kSecond + kSecond * 5 / 8},
              1001 * kSecond);
  load->RefreshProcessorCounters();
  load->RefreshProcessorCounters();
  EXPECT_EQ(load->GetProcessorCount(), 3);
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.75);
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(1), 0.0);
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(2), 0.375);
}

TEST(IdleTimeLoad, EachReadingIsComparedWithTheOneBefore) {
  auto [script, load] = MakeLoad();
  script->Add({0}, 0);
  script->Add({kSecond / 2}, kSecond);       // 50 % busy
  script->Add({kSecond / 2 + kSecond / 10}, 2 * kSecond);  // 90 % busy
  load->RefreshProcessorCounters();
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.5);
  load->RefreshProcessorCounters();
  EXPECT_NEAR(load->GetProcessorLoad(0), 0.9, 1e-12);
}

// Start-up's reading and the monitor's first follow each other within
// microseconds, under one coarse stamp: such a reading is not taken, the
// next one after the pause is; one that still comes too soon fails and
// leaves the base as it was.
TEST(IdleTimeLoad, AReadingTooSoonAfterTheBaseIsReplacedByTheNext) {
  constexpr int64_t kSoon = 100;  // 10 us
  auto [script, load] = MakeLoad();
  script->AddAt(0, {10, 20}, 5 * kSecond);
  script->AddAt(kSoon, {10 + kSecond, 99}, 5 * kSecond);
  script->AddAt(kSecond, {10 + kSecond / 4, 20 + kSecond}, 6 * kSecond);
  script->AddAt(kSecond + kSoon, {0, 0}, 6 * kSecond);
  script->AddAt(kSecond + 2 * kSoon, {0, 0}, 6 * kSecond);
  script->AddAt(2 * kSecond, {10 + kSecond / 2, 20 + kSecond}, 7 * kSecond);
  load->RefreshProcessorCounters();
  load->RefreshProcessorCounters();
  EXPECT_EQ(g_pauses, std::vector<int64_t>{IdleTimeProcessorLoad::kMinInterval - kSoon});
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.75);
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(1), 0.0);
  EXPECT_EQ(ErrorOf([&] { load->RefreshProcessorCounters(); }), kMsgIntervalTooShort);
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.75);
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.75);
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(1), 1.0);
}

TEST(IdleTimeLoad, FractionsOutsideZeroToOneAreNotClampedHere) {
  auto [script, load] = MakeLoad();
  script->Add({0, 10 * kSecond}, 0);
  script->Add({2 * kSecond, 9 * kSecond}, kSecond);
  load->RefreshProcessorCounters();
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), -1.0);  // more idle than time passed
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(1), 2.0);   // idle counter went back
}

TEST(IdleTimeLoad, IndexOutsideTheInstancesIsAnError) {
  auto [script, load] = MakeLoad();
  script->Add({1, 2, 3}, kSecond);
  EXPECT_EQ(load->GetProcessorCount(), 3);
  EXPECT_EQ(ErrorOf([&] { load->GetProcessorLoad(-1); }), kMsgIndexOutOfBounds);
  EXPECT_EQ(ErrorOf([&] { load->GetProcessorLoad(3); }), kMsgIndexOutOfBounds);
  EXPECT_EQ(ErrorOf([&] { load->GetProcessorLoad(std::numeric_limits<int32_t>::min()); }),
            kMsgIndexOutOfBounds);
}

TEST(IdleTimeLoad, FirstQuestionTakesTheFirstReading) {
  auto [script, load] = MakeLoad();
  script->Add({1, 2}, kSecond);
  EXPECT_EQ(load->GetProcessorCount(), 2);
  EXPECT_EQ(script->calls, 1);
  EXPECT_EQ(load->GetProcessorCount(), 2);
  EXPECT_EQ(script->calls, 1);

  auto [script2, load2] = MakeLoad();
  script2->Add({1, 2}, kSecond);
  // One reading alone has nothing to compare with.
  EXPECT_EQ(load2->GetProcessorLoad(1), 0.0);
  EXPECT_EQ(script2->calls, 1);
}

TEST(IdleTimeLoad, FailedFirstReadingLeavesTheCountUnknown) {
  auto [script, load] = MakeLoad();
  script->Fail(kMsgNoProcessorObject);
  script->Add({}, kSecond);  // a reading without instances is no reading
  script->Add({1, 2}, kSecond);
  EXPECT_EQ(ErrorOf([&] { load->RefreshProcessorCounters(); }), kMsgNoProcessorObject);
  EXPECT_EQ(ErrorOf([&] { load->GetProcessorCount(); }), kMsgNoProcessorObject);
  EXPECT_EQ(load->GetProcessorCount(), 2);
}

TEST(IdleTimeLoad, FailedReadingKeepsTheLastGoodOne) {
  auto [script, load] = MakeLoad();
  script->Add({0}, 0);
  script->Add({kSecond / 4}, kSecond);
  script->Fail(kMsgNoProcessorCounter);
  script->Add({kSecond / 4 + kSecond}, 3 * kSecond);
  load->RefreshProcessorCounters();
  load->RefreshProcessorCounters();
  EXPECT_EQ(ErrorOf([&] { load->RefreshProcessorCounters(); }), kMsgNoProcessorCounter);
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.75);
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.5);
}

TEST(IdleTimeLoad, CountIsFixedAtTheFirstReading) {
  auto [script, load] = MakeLoad();
  script->Add({0, 0}, 0);
  script->Add({kSecond / 2, 0, 7}, kSecond);  // an extra instance is ignored
  load->RefreshProcessorCounters();
  load->RefreshProcessorCounters();
  EXPECT_EQ(load->GetProcessorCount(), 2);
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.5);
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(1), 1.0);
  EXPECT_EQ(ErrorOf([&] { load->GetProcessorLoad(2); }), kMsgIndexOutOfBounds);
}

TEST(IdleTimeLoad, InstancesMissingFromALaterReadingReadAsIdle) {
  auto [script, load] = MakeLoad();
  script->Add({0, 0, 0}, 0);
  script->Add({kSecond / 2, kSecond / 2, kSecond / 2}, kSecond);
  script->Add({kSecond, kSecond}, 2 * kSecond);  // third instance gone
  script->Add({kSecond * 3 / 2, kSecond * 3 / 2, 50 * kSecond}, 3 * kSecond);  // back
  script->Add({2 * kSecond, kIdleTimeMissing, 50 * kSecond + kSecond / 4}, 4 * kSecond);
  script->Add({2 * kSecond + kSecond / 2, 0, 50 * kSecond + kSecond / 2}, 5 * kSecond);
  for (int i = 0; i < 2; ++i) load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(2), 0.5);
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.5);
  EXPECT_EQ(load->GetProcessorLoad(2), 0.0);
  // One reading back is not two: still no comparison for the third.
  load->RefreshProcessorCounters();
  EXPECT_EQ(load->GetProcessorLoad(2), 0.0);
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(2), 0.75);
  EXPECT_EQ(load->GetProcessorLoad(1), 0.0);
  load->RefreshProcessorCounters();
  EXPECT_EQ(load->GetProcessorLoad(1), 0.0);
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.5);
}

TEST(IdleTimeLoad, ExtremeCountersNeitherOverflowNorCrash) {
  auto [script, load] = MakeLoad();
  script->Add({std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min() + 1}, -kSecond);
  script->Add({std::numeric_limits<int64_t>::min() + 1, std::numeric_limits<int64_t>::max()},
              std::numeric_limits<int64_t>::max());
  load->RefreshProcessorCounters();
  load->RefreshProcessorCounters();
  EXPECT_TRUE(std::isfinite(load->GetProcessorLoad(0)));
  EXPECT_TRUE(std::isfinite(load->GetProcessorLoad(1)));
}

// The system time set back an hour, then on by a day, between readings a
// second apart: neither reading is shown as a figure, and each is the base
// of the next.
TEST(IdleTimeLoad, AReadingAcrossAClockChangeFailsAndTheNextIsComparedWithIt) {
  auto [script, load] = MakeLoad();
  constexpr int64_t kHour = 3600 * kSecond;
  const int64_t t0 = 1000 * kHour;
  script->AddAt(0, {0}, t0);
  script->AddAt(kSecond, {kSecond / 2}, t0 + kSecond);
  script->AddAt(2 * kSecond, {kSecond}, t0 + 2 * kSecond - kHour);
  script->AddAt(3 * kSecond, {kSecond + kSecond / 4}, t0 + 3 * kSecond - kHour);
  script->AddAt(4 * kSecond, {kSecond + kSecond / 2}, t0 + 4 * kSecond + 23 * kHour);
  script->AddAt(5 * kSecond, {2 * kSecond}, t0 + 5 * kSecond + 23 * kHour);
  // A coarse or slewed stamp is no clock change: 75.6 ms stamped after 60 ms,
  // then 2 s after 1 s.
  script->AddAt(5 * kSecond + 600000, {2 * kSecond}, t0 + 5 * kSecond + 756000 + 23 * kHour);
  script->AddAt(6 * kSecond + 600000, {2 * kSecond}, t0 + 7 * kSecond + 756000 + 23 * kHour);
  load->RefreshProcessorCounters();
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.5);
  EXPECT_EQ(ErrorOf([&] { load->RefreshProcessorCounters(); }), kMsgClockChanged);
  EXPECT_EQ(ErrorOf([&] { load->GetProcessorLoad(0); }), kMsgClockChanged);
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.75);
  EXPECT_EQ(ErrorOf([&] { load->RefreshProcessorCounters(); }), kMsgClockChanged);
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 0.5);
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 1.0);
  load->RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load->GetProcessorLoad(0), 1.0);
}

// The module over the real walker: a later performance-data block with fewer
// instances than the first.
class BufferSource : public IIdleTimeSource {
 public:
  std::deque<std::vector<uint8_t>> buffers;
  void ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) override {
    std::vector<uint8_t> b = buffers.front();
    buffers.pop_front();
    ReadProcessorIdleCounters(b.data(), b.size(), idle, time_100ns);
    g_steady = time_100ns;
  }
};

TEST(IdleTimeLoad, PerformanceDataWithFewerInstancesLater) {
  auto source = std::make_unique<BufferSource>();
  source->buffers.push_back(testing::ProcessorBuffer({0, 0, 0}, {2024, 5, 5, 17, 12, 0, 0, 0}));
  source->buffers.push_back(
      testing::ProcessorBuffer({kSecond / 4, kSecond / 2, kSecond}, {2024, 5, 5, 17, 12, 0, 1, 0}));
  source->buffers.push_back(
      testing::ProcessorBuffer({kSecond, kSecond}, {2024, 5, 5, 17, 12, 0, 2, 0}));
  IdleTimeProcessorLoad load(std::move(source), SteadyFollowsTheSources);
  load.RefreshProcessorCounters();
  load.RefreshProcessorCounters();
  EXPECT_EQ(load.GetProcessorCount(), 3);
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(0), 0.75);
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(2), 0.0);
  load.RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(0), 0.25);
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(1), 0.5);
  EXPECT_EQ(load.GetProcessorLoad(2), 0.0);
}

// Processors 0 and 1 and the aggregate, published with the aggregate first:
// the sampler's two processors are the two named ones.
TEST(IdleTimeLoad, TheAggregateIsTakenByItsNameNotByItsPlace) {
  auto buffer = [](std::vector<int64_t> idle, uint16_t second) {
    testing::PerfBufferBuilder builder;
    builder.time = {2024, 5, 5, 17, 12, 0, second, 0};
    testing::PerfObjectSpec o;
    o.names = {"_Total", "0", "1"};
    for (int64_t v : idle) o.values.push_back({v});
    builder.objects.push_back(o);
    return builder.Build();
  };
  auto source = std::make_unique<BufferSource>();
  source->buffers.push_back(buffer({0, 0, 0}, 0));
  source->buffers.push_back(buffer({kSecond / 2, kSecond / 4, kSecond * 3 / 4}, 1));
  IdleTimeProcessorLoad load(std::move(source), SteadyFollowsTheSources);
  load.RefreshProcessorCounters();
  double usage = -1;
  std::vector<double> usages(2, -1);
  SampleCpuLoad(load, 2, usage, usages);
  EXPECT_EQ(usages, (std::vector<double>{75, 25}));
  EXPECT_DOUBLE_EQ(usage, 50);
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(2), 0.5);
}

// --- choice of source ---------------------------------------------------------

struct Chain {
  ScriptedSource* primary;
  ScriptedSource* fallback;
  std::unique_ptr<FirstWorkingIdleSource> source;
};
Chain MakeChain() {
  auto a = std::make_unique<ScriptedSource>();
  auto b = std::make_unique<ScriptedSource>();
  Chain c{a.get(), b.get(), nullptr};
  std::vector<std::unique_ptr<IIdleTimeSource>> list;
  list.push_back(std::move(a));
  list.push_back(std::move(b));
  c.source = std::make_unique<FirstWorkingIdleSource>(std::move(list));
  return c;
}

TEST(FirstWorkingSource, KeepsThePrimaryWhenItWorks) {
  auto c = MakeChain();
  c.primary->Add({1}, 1);
  c.primary->Fail(kMsgNoProcessorCounter);
  std::vector<int64_t> idle;
  int64_t t = 0;
  c.source->ReadIdleTimes(idle, t);
  EXPECT_EQ(c.source->chosen(), 0);
  // Once chosen, its failures are reported; the fallback is not consulted.
  EXPECT_EQ(ErrorOf([&] { c.source->ReadIdleTimes(idle, t); }), kMsgNoProcessorCounter);
  EXPECT_EQ(c.fallback->calls, 0);
}

TEST(FirstWorkingSource, FallsBackOnceAndStaysThere) {
  auto c = MakeChain();
  c.primary->Add({}, 5);  // an empty block, as some systems return
  c.fallback->Add({7, 8}, 9);
  c.fallback->Add({9, 10}, 11);
  std::vector<int64_t> idle;
  int64_t t = 0;
  c.source->ReadIdleTimes(idle, t);
  EXPECT_EQ(c.source->chosen(), 1);
  EXPECT_EQ(idle, (std::vector<int64_t>{7, 8}));
  EXPECT_EQ(t, 9);
  c.source->ReadIdleTimes(idle, t);
  EXPECT_EQ(idle, (std::vector<int64_t>{9, 10}));
  EXPECT_EQ(c.primary->calls, 1);
}

TEST(FirstWorkingSource, ReportsThePrimarysErrorWhenNothingWorksAndTriesAgainLater) {
  auto c = MakeChain();
  c.primary->Fail(kMsgNoProcessorObject);
  c.fallback->Fail("fallback failed");
  c.primary->Fail(kMsgNoProcessorCounter);
  c.fallback->Add({3}, 4);
  std::vector<int64_t> idle{1, 2};
  int64_t t = 0;
  EXPECT_EQ(ErrorOf([&] { c.source->ReadIdleTimes(idle, t); }), kMsgNoProcessorObject);
  EXPECT_TRUE(idle.empty());
  EXPECT_EQ(c.source->chosen(), -1);
  c.source->ReadIdleTimes(idle, t);
  EXPECT_EQ(c.source->chosen(), 1);
}

// A source in use that keeps failing (or finding no processor) gives way to
// the next one that works, whose counters are not compared with the old
// source's.
TEST(FirstWorkingSource, ASourceThatKeepsFailingGivesWayToTheNext) {
  auto c = MakeChain();
  FirstWorkingIdleSource* chain = c.source.get();
  c.primary->Add({0}, 0);
  c.primary->Add({kSecond / 2}, kSecond);  // 50 % busy
  c.primary->Add({}, 2 * kSecond);         // an empty block
  c.primary->Fail(kMsgNoProcessorCounter);
  c.primary->Fail(kMsgNoProcessorCounter);
  c.fallback->Add({900 * kSecond}, 3 * kSecond);  // counters on another base
  c.fallback->Add({900 * kSecond + kSecond / 4}, 4 * kSecond);  // 75 % busy
  IdleTimeProcessorLoad load(std::move(c.source), SteadyFollowsTheSources);
  load.RefreshProcessorCounters();
  load.RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(0), 0.5);
  // The first failures are passed on as they are; the last good reading stays.
  EXPECT_EQ(ErrorOf([&] { load.RefreshProcessorCounters(); }), kMsgNoProcessorObject);
  EXPECT_EQ(ErrorOf([&] { load.RefreshProcessorCounters(); }), kMsgNoProcessorCounter);
  EXPECT_EQ(c.fallback->calls, 0);
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(0), 0.5);
  // The next one brings the fallback in; its first reading is a new start.
  load.RefreshProcessorCounters();
  EXPECT_EQ(chain->chosen(), 1);
  EXPECT_EQ(load.GetProcessorLoad(0), 0.0);
  load.RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(0), 0.75);
  EXPECT_EQ(c.primary->calls, 5);
}

// --- the sampler step ---------------------------------------------------------

// Answers fixed fractions and records which instances were asked for.
class FixedLoad : public IProcessorLoad {
 public:
  explicit FixedLoad(std::vector<double> f) : fractions(std::move(f)) {}
  void RefreshProcessorCounters() override { ++refreshes; }
  int32_t GetProcessorCount() override { return static_cast<int32_t>(fractions.size()); }
  double GetProcessorLoad(int32_t index) override {
    asked.push_back(index);
    if (index < 0 || index >= GetProcessorCount()) throw EProcessorLoad(kMsgIndexOutOfBounds);
    return fractions[static_cast<size_t>(index)];
  }
  void ReleaseProcessorCounters() override {}
  std::vector<double> fractions;
  std::vector<int32_t> asked;
  int refreshes = 0;
};

TEST(SampleCpuLoad, OneProcessorUsesTheFirstInstanceOnly) {
  FixedLoad load({0.423, 0.9});
  double usage = -1;
  std::vector<double> usages;
  SampleCpuLoad(load, 1, usage, usages);
  EXPECT_EQ(load.refreshes, 1);
  EXPECT_DOUBLE_EQ(usage, 42.3);
  EXPECT_EQ(load.asked, (std::vector<int32_t>{0}));
  EXPECT_TRUE(usages.empty());
}

TEST(SampleCpuLoad, ClampsNegativeNotANumberAndAboveHundred) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double fraction, percent;
  } cases[] = {{-1.0, 0}, {-1e-9, 0}, {nan, 0}, {2.0, 100}, {1.0000001, 100}, {1.0, 100},
               {0.0, 0}, {0.5, 50}};
  for (const auto& c : cases) {
    FixedLoad load({c.fraction});
    double usage = -1;
    std::vector<double> usages;
    SampleCpuLoad(load, 1, usage, usages);
    EXPECT_DOUBLE_EQ(usage, c.percent) << c.fraction;
  }
}

TEST(SampleCpuLoad, TotalIsTheMeanOfTheClampedProcessorsAndTheAggregateIsNotRead) {
  // Two processors and the aggregate last, as from Windows 2000 on.
  FixedLoad load({-0.5, 0.6, 0.99});
  double usage = -1;
  std::vector<double> usages(2, -1);
  SampleCpuLoad(load, 2, usage, usages);
  EXPECT_EQ(load.asked, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(usages, (std::vector<double>{0, 60}));
  EXPECT_DOUBLE_EQ(usage, 30);

  FixedLoad four({0.1, 3.0, std::numeric_limits<double>::quiet_NaN(), 0.5});
  std::vector<double> wrong_length;
  SampleCpuLoad(four, 4, usage, wrong_length);
  ASSERT_EQ(wrong_length.size(), 4u);
  EXPECT_DOUBLE_EQ(wrong_length[0], 10);
  EXPECT_DOUBLE_EQ(wrong_length[1], 100);
  EXPECT_DOUBLE_EQ(wrong_length[2], 0);
  EXPECT_DOUBLE_EQ(usage, 40);
}

TEST(SampleCpuLoad, ErrorsPassThroughAndLeaveTheFiguresAlone) {
  FixedLoad load({0.5});
  double usage = 12;
  std::vector<double> usages(2, 7);
  EXPECT_EQ(ErrorOf([&] { SampleCpuLoad(load, 2, usage, usages); }), kMsgIndexOutOfBounds);
  EXPECT_EQ(usage, 12);
}

// --- Windows 9x ---------------------------------------------------------------

class Win9xLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUsage("PerfStats\\StartStat", 0);
    SetUsage("PerfStats\\StatData", 37);
    SetUsage("PerfStats\\StopStat", 0);
  }
  void SetUsage(const std::string& key, uint32_t percent) {
    FakeRegistry::Value v;
    v.kind = FakeRegistry::Value::Binary;
    v.bytes = {static_cast<uint8_t>(percent), static_cast<uint8_t>(percent >> 8),
               static_cast<uint8_t>(percent >> 16), static_cast<uint8_t>(percent >> 24)};
    registry.At(RegRoot::DynData, key).values["kernel\\cpuusage"] = v;
  }
  FakeRegistry::Key& Key(const std::string& path) { return registry.At(RegRoot::DynData, path); }
  FakeRegistry registry;
};

TEST_F(Win9xLoadTest, OneProcessorWhoseLoadIsTheKernelsFigure) {
  Win9xProcessorLoad load(registry);
  EXPECT_EQ(load.GetProcessorCount(), 1);
  EXPECT_FALSE(load.collecting());
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(0), 0.37);  // starts the statistic itself
  EXPECT_TRUE(load.collecting());
  SetUsage("PerfStats\\StatData", 81);
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(0), 0.37);  // no new reading yet
  load.RefreshProcessorCounters();
  EXPECT_DOUBLE_EQ(load.GetProcessorLoad(0), 0.81);
  EXPECT_EQ(ErrorOf([&] { load.GetProcessorLoad(1); }), kMsgIndexOutOfBounds);
  EXPECT_EQ(ErrorOf([&] { load.GetProcessorLoad(-1); }), kMsgIndexOutOfBounds);
  EXPECT_EQ(load.GetProcessorCount(), 1);
}

TEST_F(Win9xLoadTest, StartsOnceReadsEveryTimeAndStopsAtRelease) {
  {
    Win9xProcessorLoad load(registry);
    for (int i = 0; i < 3; ++i) load.RefreshProcessorCounters();
    EXPECT_EQ(Key("PerfStats\\StartStat").reads, 1);
    EXPECT_EQ(Key("PerfStats\\StatData").reads, 3);
    EXPECT_EQ(Key("PerfStats\\StopStat").reads, 0);
    load.ReleaseProcessorCounters();
    EXPECT_FALSE(load.collecting());
    EXPECT_EQ(Key("PerfStats\\StopStat").reads, 1);
    load.ReleaseProcessorCounters();  // not collecting: nothing to stop
    EXPECT_EQ(Key("PerfStats\\StopStat").reads, 1);
    load.RefreshProcessorCounters();  // starts again
    EXPECT_EQ(Key("PerfStats\\StartStat").reads, 2);
  }
  // Module end stops the statistic.
  EXPECT_EQ(Key("PerfStats\\StopStat").reads, 2);
}

TEST_F(Win9xLoadTest, StartKeyFailuresGiveTheStartMessage) {
  Key("PerfStats\\StartStat").unopenable = true;
  Win9xProcessorLoad load(registry);
  EXPECT_EQ(ErrorOf([&] { load.RefreshProcessorCounters(); }), kMsgCannotStart9x);
  EXPECT_EQ(ErrorOf([&] { load.GetProcessorLoad(0); }), kMsgCannotStart9x);
  EXPECT_FALSE(load.collecting());

  // Full access is asked for.
  Key("PerfStats\\StartStat").unopenable = false;
  Key("PerfStats\\StartStat").read_only = true;
  EXPECT_EQ(ErrorOf([&] { load.RefreshProcessorCounters(); }), kMsgCannotStart9x);
  Key("PerfStats\\StartStat").read_only = false;
  load.RefreshProcessorCounters();
  EXPECT_TRUE(load.collecting());
}

TEST_F(Win9xLoadTest, StatisticKeyFailuresGiveTheReadMessage) {
  Key("PerfStats\\StatData").unopenable = true;
  Win9xProcessorLoad load(registry);
  EXPECT_EQ(ErrorOf([&] { load.RefreshProcessorCounters(); }), kMsgCannotRead9x);
  EXPECT_FALSE(load.collecting());
  // Read access is enough for the statistic itself.
  Key("PerfStats\\StatData").unopenable = false;
  Key("PerfStats\\StatData").read_only = true;
  load.RefreshProcessorCounters();
  EXPECT_TRUE(load.collecting());
  // A value that cannot be read is a failed reading, not the last figure again.
  Key("PerfStats\\StatData").values.clear();
  EXPECT_EQ(ErrorOf([&] { load.RefreshProcessorCounters(); }), kMsgCannotRead9x);
}

TEST_F(Win9xLoadTest, MissingStopKeyIsNoError) {
  registry.At(RegRoot::DynData, "PerfStats\\StopStat").unopenable = true;
  Win9xProcessorLoad load(registry);
  load.RefreshProcessorCounters();
  load.ReleaseProcessorCounters();
  EXPECT_FALSE(load.collecting());
}

}  // namespace
}  // namespace zt
