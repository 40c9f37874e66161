// The history's records as text: what Ctrl+C copies (a heading line, then
// one record a line, tab-separated) and what Save and the kept file write
// (CSV as RFC 4180 has it, UTF-8 with a byte-order mark so that spreadsheets
// read it, comma-separated), and the reading of such rows back.  The columns
// are the same in both: local time (YYYY-MM-DD HH:MM:SS), load mean, minimum
// and maximum, memory per cent and MB, the busiest processes (name and per
// cent; one for the seconds, three for the minutes), then how far the local
// time is ahead of UTC ("+01:00"), which tells apart the autumn hour that
// comes twice.  Rows written before that last column existed read as
// before, with the offset unknown.  Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sampling/history.h"
#include "util/texts.h"

namespace zt {

// Ctrl+C: lines end in CR LF.
std::string HistoryClipboardText(const HistoryView& view, Language language);
// Save: the whole file, mark included.
std::string HistoryCsv(const HistoryView& view, Language language);

// The kept file's pieces: its first line (mark, heading, line end) and one
// minute row with its line end.
std::string HistoryCsvHeading(HistoryScale scale, Language language);
std::string HistoryCsvRow(const HistoryRecord& record, HistoryScale scale);

// One line of such a file (without its line end) read back as a minute
// record; false for anything else (a heading, a damaged or foreign line).
bool ParseHistoryCsvRow(std::string_view line, HistoryRecord* record);

// "2024-03-05 14:07:09" for a record's time.
std::string HistoryTimeText(int64_t seconds);

}  // namespace zt
