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

// Two lines: time and load, then memory and the busiest processes.  Without
// a record, the hint telling how to select one.
std::string HistoryReadoutText(const HistoryRecord* record, Language language);

// "Zettrim-history-20240305-1407.csv" for a local time in seconds since
// 30 December 1899.
std::string HistorySaveName(int64_t local_seconds);

}  // namespace zt
