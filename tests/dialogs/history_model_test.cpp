// Where the history window's records stand, what they join, which one the
// pointer or a key picks, and what the readout says.
#include "dialogs/history_model.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST(HistoryModel, TheReadoutNamesOnlyTheDiskNetworkAndGraphicsFiguresPresent) {
  HistoryRecord r = At(kAt140709);
  const std::string load = "2024-03-05 14:07:09    CPU: mean 50.0 %, min 50.0 %, max 50.0 %";
  EXPECT_EQ(HistoryReadoutText(&r, Language::English), load + "\r\nMemory: not measured") << "no third line";
  r.more.net_received = 1536;
  r.more.net_sent = 0;
  r.more.gpu_memory = 511.6f;
  EXPECT_EQ(HistoryReadoutText(&r, Language::English),
            load + "    GPU: memory 512 MB\r\nMemory: not measured\r\nNetwork: received 1.5 MB/s, sent 0.0 KB/s");
  r.more = {NAN, 20480, 7.3f, NAN, NAN, 33, NAN};
  r.has_mover = true;
  r.mover.SetName("setup.exe");
  r.mover.percent = 81.5f;
  EXPECT_EQ(HistoryReadoutText(&r, Language::Chinese),
            "2024-03-05 14:07:09    CPU：平均 50.0 %，最低 50.0 %，最高 50.0 %    GPU：负载 33.0 %\r\n"
            "内存：未测量\r\n磁盘：写入 20 MB/s，活动 7.3 %    读写最多：setup.exe 81.5 %");
}

TEST(HistoryModel, RatesTakeTheUnitThatKeepsThemUnderAThousandAndTheScaleTopsTheLargestInNiceSteps) {
  const struct {
    double kb;
    const char* text;
  } rates[] = {{0.04, "0.0 KB/s"}, {9.96, "10 KB/s"}, {999.4, "999 KB/s"}, {999.6, "1.0 MB/s"},
               {1536, "1.5 MB/s"}, {1048064, "1.0 GB/s"}, {5e9, "4768 GB/s"}};
  for (const auto& c : rates) EXPECT_EQ(RateText(c.kb, Language::English), c.text) << c.kb;
  const struct {
    double largest;
    const char* top;  // the top label, of `steps` steps
    int steps;
  } scales[] = {{NAN, "1 KB/s", 2},   {1.2, "1.5 KB/s", 3},  {4, "4 KB/s", 4},      {4.1, "6 KB/s", 3},
                {130, "150 KB/s", 3}, {990, "1000 KB/s", 2}, {1010, "1 MB/s", 2},   {11000, "15 MB/s", 3},
                {2.5 * 1048576, "3 GB/s", 3}};
  for (const auto& c : scales) {
    const RateAxis axis = RateAxisFor(c.largest);
    EXPECT_EQ(RateAxisLabel(axis, axis.steps, Language::English), c.top) << c.largest;
    EXPECT_EQ(axis.steps, c.steps) << c.largest;
    EXPECT_GE(axis.TopKb(), std::isnan(c.largest) ? 0 : c.largest) << "nothing drawn above the top";
  }
  EXPECT_EQ(RateAxisLabel(RateAxisFor(1.2), 1, Language::English), "0.5 KB/s");

  // The largest of the four rates on the axis; an absent one counts for
  // nothing, none at all is NaN.
  std::vector<HistoryRecord> records = {At(kAt140709 - 3700), At(kAt140709 - 10), At(kAt140709)};
  records[0].more.disk_read = 9000;                        // off the hour's axis
  records[1].more = {NAN, NAN, 100, NAN, NAN, 90, 4000};  // no rate
  EXPECT_TRUE(std::isnan(LargestRate(records, HistoryScale::kSeconds)));
  records[1].more.net_sent = 12;
  records[2].more.disk_write = 7;
  EXPECT_EQ(LargestRate(records, HistoryScale::kSeconds), 12);
  EXPECT_EQ(LargestRate(records, HistoryScale::kMinutes), 9000);
}

}  // namespace
}  // namespace zt
