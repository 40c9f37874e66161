// Where the history window's records stand, what they join, which one the
// pointer or a key picks, and what the readout says.
#include "dialogs/history_model.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

constexpr int64_t kAt140709 = 45356LL * 86400 + 14 * 3600 + 7 * 60 + 9;  // 2024-03-05 14:07:09

HistoryRecord At(int64_t time, bool gap_before = false) {
  HistoryRecord r;
  r.time = time;
  r.gap_before = gap_before;
  r.load_mean = r.load_min = r.load_max = 50;
  return r;
}

TEST(HistoryModel, RecordsStandByTimeAndLinesBreakAtGapsAndMissingRecords) {
  const PlotArea plot{40, 10, 640, 210};
  // One from before the hour (just), three in a row after a gap, one after
  // missing seconds, one more after missing seconds, one after a break.
  const std::vector<HistoryRecord> records = {At(kAt140709 - 3606), At(kAt140709 - 3500), At(kAt140709 - 3499),
                                              At(kAt140709 - 3498), At(kAt140709 - 6),    At(kAt140709 - 1),
                                              At(kAt140709, true)};
  EXPECT_EQ(TimeToX(kAt140709, kAt140709, HistoryScale::kSeconds, plot), 640);
  EXPECT_EQ(TimeToX(kAt140709 - 1800, kAt140709, HistoryScale::kSeconds, plot), 340);
  EXPECT_LT(TimeToX(records[0].time, kAt140709, HistoryScale::kSeconds, plot), 40);
  EXPECT_EQ(TimeToX(kAt140709 - 43200, kAt140709, HistoryScale::kMinutes, plot), 340);
  std::vector<bool> joins;
  for (size_t i = 0; i < records.size(); ++i) joins.push_back(JoinsPrevious(records, i, HistoryScale::kSeconds));
  EXPECT_EQ(joins, (std::vector<bool>{false, false, true, true, false, false, false}));
  EXPECT_EQ(PercentToY(0, plot), 210);
  EXPECT_EQ(PercentToY(150, plot), 10) << "a figure beyond the scale stays on it";

  // The pointer picks the nearest record on the axis, never one off it.
  EXPECT_EQ(RecordAtX(records, 40, HistoryScale::kSeconds, plot), 3) << "of one column, the newest, drawn last";
  EXPECT_EQ(RecordAtX(records, 600, HistoryScale::kSeconds, plot), 4);
  EXPECT_EQ(RecordAtX(records, 39, HistoryScale::kSeconds, plot), -1);
  EXPECT_EQ(RecordAtX({}, 300, HistoryScale::kSeconds, plot), -1);
}

TEST(HistoryModel, TicksFallOnWholeLocalTimesInsideTheAxis) {
  const PlotArea plot{40, 10, 640, 210};
  std::vector<std::string> labels;
  for (const TimeTick& t : TimeTicks(kAt140709, HistoryScale::kSeconds, plot)) labels.push_back(t.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"13:10", "13:20", "13:30", "13:40", "13:50", "14:00"}));
  const std::vector<TimeTick> day = TimeTicks(kAt140709, HistoryScale::kMinutes, plot);
  ASSERT_EQ(day.size(), 8u);
  EXPECT_EQ(day.front().label, "15:00");
  EXPECT_EQ(day.back().label, "12:00");
  EXPECT_EQ(day.back().x, 587);  // 2:07:09 back from the end of 600 pixels a day
}

TEST(HistoryModel, KeysMoveOneRecordOrToAnEndAndHoldThere) {
  EXPECT_EQ(RecordAfterKey(-1, 5, HistoryKey::Left), 4) << "from none, the newest";
  EXPECT_EQ(RecordAfterKey(-1, 5, HistoryKey::Home), 0);
  EXPECT_EQ(RecordAfterKey(0, 5, HistoryKey::Left), 0);
  EXPECT_EQ(RecordAfterKey(2, 5, HistoryKey::Right), 3);
  EXPECT_EQ(RecordAfterKey(4, 5, HistoryKey::Right), 4);
  EXPECT_EQ(RecordAfterKey(7, 5, HistoryKey::Left), 4) << "a view that shrank";
  EXPECT_EQ(RecordAfterKey(-1, 0, HistoryKey::End), -1);
}

TEST(HistoryModel, TheReadoutTellsTimeLoadMemoryAndTheBusiestOrHowToSelect) {
  HistoryRecord r = At(kAt140709);
  r.load_min = 12.3f;
  r.load_max = 97;
  r.busy_count = 2;
  r.busy[0].SetName("a, b.exe");
  r.busy[0].percent = 12.5f;
  r.busy[1].SetName("c.exe");
  r.busy[1].percent = 3;
  EXPECT_EQ(HistoryReadoutText(&r, Language::English),
            "2024-03-05 14:07:09    CPU: mean 50.0 %, min 12.3 %, max 97.0 %\r\n"
            "Memory: not measured    Busiest: a, b.exe 12.5 %, c.exe 3.0 %");
  r.memory_percent = 41.04f;
  r.memory_mb = 3277.5f;
  r.busy_count = 0;
  EXPECT_NE(HistoryReadoutText(&r, Language::English).find("\r\nMemory: 41.0 % (3278 MB)"), std::string::npos);
  EXPECT_EQ(HistoryReadoutText(nullptr, Language::English), TextIn(Language::English, TextId::HistoryHint));
  EXPECT_EQ(HistorySaveName(kAt140709), "Zettrim-history-20240305-1407.csv");
}

}  // namespace
}  // namespace zt
