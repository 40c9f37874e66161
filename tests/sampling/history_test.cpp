#include "sampling/history.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "sampling/history_text.h"
#include "sampling/process_times.h"
#include "util/platform.h"

namespace zt {
namespace {

class FakeProcesses : public IProcessTimes {
 public:
  bool Read(std::vector<ProcessTime>& out) override {
    out = list;
    return !fail;
  }
  std::vector<ProcessTime> list;
  bool fail = false;
};

// Samples every 100 ms from 2024-03-05 14:00:00 on; `clock_shift_ms` moves
// the local clock alone, `tick_jump_ms` both clocks (a suspend).
struct Feeder {
  explicit Feeder(History& h) : history(h) {}
  void Sample(double load, bool load_read = true) {
    HistorySample s;
    s.tick_ms = 1000000 + elapsed_ms;
    s.local_time = DateTimeFromParts(2024, 3, 5, 14, 0, 0, 0) + (elapsed_ms + clock_shift_ms) / 86400000.0;
    s.load_read = load_read;
    s.load = load;
    s.memory_read = true;
    s.memory_percent = 40;
    s.memory_mb = 4096;
    s.processors = 4;
    s.rate_ms = 100;
    history.AddSample(s);
    elapsed_ms += 100;
  }
  History& history;
  int64_t elapsed_ms = 0;
  int64_t clock_shift_ms = 0;
};

const HistoryRecord& At(const HistoryView& v, const char* time) {
  for (const HistoryRecord& r : v.records)
    if (HistoryTimeText(r.time) == time) return r;
  ADD_FAILURE() << "no record at " << time;
  return v.records.front();
}

// Two minutes at 100 ms on four processors.  busy.exe (id 10) uses two of
// them (50 %) and ends at 20 s; its id comes back as reborn.exe (10 %);
// short.exe is seen by one reading only, having used 8 s since the one
// before; idle.exe uses 2.5 % throughout.  Every tenth load reading fails.
TEST(History, SecondsAndMinutesFoldTheSamplesAndNameTheBusiest) {
  FakeProcesses processes;
  ScopedOverride<IProcessTimes> use(processes);
  History history;
  Feeder feed(history);
  for (uint64_t k = 0; k <= 1300; ++k) {
    auto& list = processes.list;
    list = {{11, 1, 100000 * k, "idle.exe"}};
    if (k <= 200) list.push_back({10, 1, 2000000 * k, "busy.exe"});
    if (k > 200) list.push_back({10, 2, 400000 * (k - 201), "reborn.exe"});
    if (k == 450) list.push_back({12, 1, 80000000, "short.exe"});
    feed.Sample(static_cast<double>(k % 10) * 10, k % 10 != 0);
  }
  const HistoryView seconds = history.Snapshot(HistoryScale::kSeconds);
  ASSERT_EQ(seconds.records.size(), 131u);  // the last one still being made
  const HistoryRecord& s5 = At(seconds, "2024-03-05 14:00:05");
  // The failed 0 % readings are left out.
  EXPECT_EQ(std::vector<float>({s5.load_min, s5.load_mean, s5.load_max, s5.memory_percent, s5.memory_mb}),
            std::vector<float>({10, 50, 90, 40, 4096}));
  auto expect_busy = [](const HistoryRecord& r, const char* name, double percent) {
    EXPECT_EQ(r.busy_count ? r.busy[0].name : "", std::string(name));
    EXPECT_NEAR(r.busy[0].percent, percent, 0.1);
  };
  expect_busy(At(seconds, "2024-03-05 14:00:12"), "busy.exe", 50);
  expect_busy(At(seconds, "2024-03-05 14:00:23"), "reborn.exe", 9.8);  // all its time since 20.1 s
  expect_busy(At(seconds, "2024-03-05 14:00:42"), "short.exe", 40);
  expect_busy(At(seconds, "2024-03-05 14:00:47"), "reborn.exe", 10);

  // The minute of 14:00 covers the readings at 5 ... 55 s: 11 intervals.
  const HistoryView minutes = history.Snapshot(HistoryScale::kMinutes);
  ASSERT_EQ(minutes.records.size(), 3u);
  const HistoryRecord& m = minutes.records[0];
  EXPECT_FLOAT_EQ(m.load_mean, 50);
  ASSERT_EQ(m.busy_count, 3);
  const double shares[] = {4e8, 1.396e8, 8e7};  // each one's time over the minute
  const char* names[] = {"busy.exe", "reborn.exe", "short.exe"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_STREQ(m.busy[i].name, names[i]);
    EXPECT_NEAR(m.busy[i].percent, 100.0 * shares[i] / 2.2e9, 0.05);
  }
}

// A clock set forward, a suspend and a clock set back: each leaves a gap,
// the sample across it is not folded in (it reads 100 %), and the records
// stay in the order they were made.
TEST(History, ClockChangesAndSuspendsLeaveGapsNeverSpikes) {
  FakeProcesses processes;
  ScopedOverride<IProcessTimes> use(processes);
  History history;
  Feeder feed(history);
  auto run = [&feed](int samples) {
    for (int i = 0; i < samples; ++i) feed.Sample(20);
  };
  run(30);
  feed.clock_shift_ms += 3600000;  // set forward
  feed.Sample(100);
  run(30);
  feed.elapsed_ms += 3600000;  // suspended for an hour
  feed.Sample(100);
  run(30);
  feed.clock_shift_ms -= 2 * 3600000;  // set back two hours
  feed.Sample(100);
  run(30);
  const HistoryView v = history.Snapshot(HistoryScale::kSeconds);
  int gaps = 0;
  for (size_t i = 0; i < v.records.size(); ++i) {
    EXPECT_LT(v.records[i].load_max, 21) << i;
    if (v.records[i].gap_before) {
      ++gaps;
    } else if (i > 0) {
      EXPECT_GT(v.records[i].time, v.records[i - 1].time) << i;
    }
  }
  EXPECT_EQ(gaps, 3);
  EXPECT_EQ(HistoryTimeText(v.records.back().time), "2024-03-05 14:00:12");
}

// A reading of the process list that fails: the next good one is a new
// base, and no share ever counts the time of two intervals against one.
TEST(History, AFailedProcessReadingDoublesNoShare) {
  FakeProcesses processes;
  ScopedOverride<IProcessTimes> use(processes);
  History history;
  Feeder feed(history);
  for (uint64_t k = 0; k <= 300; ++k) {
    processes.list = {{10, 1, 2000000 * k, "half.exe"}};  // two of four processors
    processes.fail = k == 100;
    feed.Sample(50);
  }
  int named = 0;
  for (const HistoryRecord& r : history.Snapshot(HistoryScale::kSeconds).records) {
    if (r.busy_count == 0) continue;
    ++named;
    EXPECT_NEAR(r.busy[0].percent, 50, 0.5) << HistoryTimeText(r.time);
  }
  EXPECT_GE(named, 20);
}

TEST(History, CopiedAndSavedTextQuotesNamesAndReadsBack) {
  HistoryRecord r;
  r.time = static_cast<int64_t>(std::llround(DateTimeFromParts(2024, 3, 5, 14, 7, 9, 0) * 86400));
  r.load_mean = 12.75f, r.load_min = 3, r.load_max = 40, r.utc_offset = -210;
  r.busy_count = 2, r.busy[0].percent = 7.5f, r.busy[1].percent = 1;
  r.busy[0].SetName("a,\"b\".exe"), r.busy[1].SetName("c.exe");
  const HistoryView view{HistoryScale::kMinutes, {r}};
  const std::string csv = HistoryCsv(view, Language::English);
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  const std::string row = "2024-03-05 14:07:09,12.8,3.0,40.0,,,\"a,\"\"b\"\".exe\",7.5,c.exe,1.0,,,-03:30\r\n";
  EXPECT_EQ(csv.substr(csv.size() - row.size()), row);
  HistoryRecord back;
  ASSERT_TRUE(ParseHistoryCsvRow(row.substr(0, row.size() - 2), &back));
  EXPECT_EQ(HistoryCsvRow(back, HistoryScale::kMinutes), row);
  const std::string text = HistoryClipboardText(view, Language::Chinese);
  EXPECT_NE(text.find("\r\n2024-03-05 14:07:09\t12.8\t3.0\t40.0\t\t\ta,\"b\".exe\t7.5\tc.exe\t1.0\t\t\t-03:30\r\n"),
            std::string::npos);

  // Every figure at its limit comes back; the MB are rounded, not cut; a
  // row from before the offset was written reads with none.
  HistoryRecord full;
  full.time = r.time, full.utc_offset = 14 * 60;
  full.load_mean = full.load_min = full.load_max = full.memory_percent = 100;
  full.memory_mb = 1023.6f;
  full.busy_count = 3;
  for (BusyProcess& b : full.busy) b.SetName("all.exe"), b.percent = 100;
  const std::string full_row = HistoryCsvRow(full, HistoryScale::kMinutes);
  EXPECT_NE(full_row.find(",100.0,1024,all.exe,100.0,"), std::string::npos) << full_row;
  ASSERT_TRUE(ParseHistoryCsvRow(full_row.substr(0, full_row.size() - 2), &back));
  EXPECT_EQ(HistoryCsvRow(back, HistoryScale::kMinutes), full_row);
  ASSERT_TRUE(ParseHistoryCsvRow("2024-03-05 14:07:00,1.0,1.0,1.0,,,,,,,,", &back));
  EXPECT_EQ(back.utc_offset, kNoUtcOffset);
  for (const char* wrong : {"+1:00", "+15:30", "01:00", "+01:60", "+01:00 "})
    EXPECT_FALSE(ParseHistoryCsvRow(std::string("2024-03-05 14:07:00,1.0,1.0,1.0,,,,,,,,,") + wrong, &back)) << wrong;
}

// The monitor thread writes while the window's thread copies (ThreadSanitizer
// watches this one); a view read again and again keeps its one buffer while
// the hour fills.
TEST(History, CopiesWhileTheMonitorWrites) {
  FakeProcesses processes;
  ScopedOverride<IProcessTimes> use(processes);
  History history;
  std::thread monitor([&] {
    Feeder feed(history);
    for (int i = 0; i < 20000; ++i) feed.Sample(i % 100);
  });
  HistoryView view;
  history.Snapshot(HistoryScale::kSeconds, &view);
  const HistoryRecord* buffer = view.records.data();
  for (int i = 0; i < 200; ++i) {
    history.Snapshot(i % 2 ? HistoryScale::kSeconds : HistoryScale::kMinutes, &view);
    EXPECT_EQ(view.records.data(), buffer);
  }
  monitor.join();
  history.Snapshot(HistoryScale::kSeconds, &view);
  EXPECT_EQ(view.records.size(), 2000u);
  EXPECT_EQ(view.records.data(), buffer);
}

}  // namespace
}  // namespace zt
