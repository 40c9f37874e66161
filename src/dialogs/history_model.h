// What the history window decides: where each record of a view stands on
// its graph (time to x, per cent to y), which neighbours a line joins, the
// time axis's ticks and labels, which record the mouse or a key selects, the
// readout of a record and the name a save proposes.  Portable; the view
// (history_form_win.h) only draws and places what these give.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sampling/history.h"
#include "util/texts.h"

namespace zt {

// The plot's rectangle in the graph's pixels; right and bottom are the last
// pixel columns and rows inside it.
struct PlotArea {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The time a view spans (one hour, one day) and the time between its
// records.
int64_t HistorySpanSeconds(HistoryScale scale);
int64_t HistoryStepSeconds(HistoryScale scale);

// The axis ends at `end` (the newest record's time) and reaches back one
// span: `end` stands at area.right.  A time outside it lies outside the
// area (left of left, right of right).
int TimeToX(int64_t time, int64_t end, HistoryScale scale, const PlotArea& area);
// 0 % on the bottom row, 100 % on the top one; beyond either is held there.
int PercentToY(double percent, const PlotArea& area);
// The same for a scale from 0 to `top` (> 0).
int ValueToY(double value, double top, const PlotArea& area);

// A line runs from record `i - 1` to record `i` only when nothing is
// missing between them: no break (gap_before), a later time, and no more
// than one step and a half apart.
bool JoinsPrevious(const std::vector<HistoryRecord>& records, size_t i, HistoryScale scale);

struct TimeTick {
  int x = 0;
  std::string label;  // local time, "HH:MM"
};
// Ticks at whole ten minutes for the hour and whole three hours for the
// day, every one that falls inside the axis.
std::vector<TimeTick> TimeTicks(int64_t end, HistoryScale scale, const PlotArea& area);

// The record drawn nearest to the pointer's x, among those on the axis; -1
// when x is outside the area or no record is on the axis.
int RecordAtX(const std::vector<HistoryRecord>& records, int x, HistoryScale scale, const PlotArea& area);

enum class HistoryKey { Left, Right, Home, End };
// The record a key moves the selection to: one record back or on, the
// first, the last; held at either end.  With none selected (-1) Home gives
// the first and every other key the last.  -1 when there are no records.
int RecordAfterKey(int selected, size_t count, HistoryKey key);

// The record at the same time as the one selected before the view was read
// again (the newest such record), -1 when it has gone.
int FindRecord(const std::vector<HistoryRecord>& records, int64_t time);

// The throughput graph's scale (disk read and write, network received and
// sent, in KB/s): from 0 to steps * step units, a grid line and a label
// every step; the unit is KB/s, MB/s or GB/s (1024 of the one below).
enum class RateUnit { kKb, kMb, kGb };
struct RateAxis {
  RateUnit unit = RateUnit::kKb;
  double step = 0.5;  // in the unit: 1, 2 or 5 times a power of ten, or 0.5
  int steps = 2;      // 2 to 4
  double TopKb() const;
};
// The largest throughput figure present among the records on the axis
// (ending at the newest record), NaN when there is none.
double LargestRate(const std::vector<HistoryRecord>& records, HistoryScale scale);
// A scale whose top is at or just above `largest` (KB/s): the unit the
// largest reaches at least 1 of, a step that gives 2 to 4 of them.  Below
// 1 KB/s, or NaN, the scale of 1 KB/s.
RateAxis RateAxisFor(double largest);
// The label of grid line `k` (0 the bottom): "0 KB/s", "1.5 MB/s".
std::string RateAxisLabel(const RateAxis& axis, int k, Language language);
// A throughput in KB/s as the readout writes it: in the largest unit that
// leaves it under 1000, one decimal under 10 and none from there ("0.4
// KB/s", "12 KB/s", "1.2 MB/s", "999 MB/s", "1.0 GB/s").
std::string RateText(double kb, Language language);

// Two lines: time, load and the graphics, then memory and the busiest
// processes; a third with the disks, the network and the process that
// moved the most bytes, when the record has any of them.  Only the figures
// present are named.  Without a record, the hint telling how to select
// one.
std::string HistoryReadoutText(const HistoryRecord* record, Language language);

// "Zettrim-history-20240305-1407.csv" for a local time in seconds since
// 30 December 1899.
std::string HistorySaveName(int64_t local_seconds);

}  // namespace zt
