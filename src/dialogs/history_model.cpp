#include "dialogs/history_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "sampling/history_text.h"
#include "util/format.h"
#include "util/platform.h"

namespace zt {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Floor division: times before 1899 (a clock set far back) still fall on
// whole ticks.
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

std::string Figure(float value) { return std::isnan(value) ? std::string("--") : FormatFixed(value, 1, "."); }

}  // namespace

int64_t HistorySpanSeconds(HistoryScale scale) { return scale == HistoryScale::kSeconds ? 3600 : kSecondsPerDay; }

int64_t HistoryStepSeconds(HistoryScale scale) { return scale == HistoryScale::kSeconds ? 1 : 60; }

int TimeToX(int64_t time, int64_t end, HistoryScale scale, const PlotArea& area) {
  const int64_t span = HistorySpanSeconds(scale);
  // Rounded to the nearest column; far outside the axis is held a little
  // beyond the area, enough to be told outside and never to overflow.
  const int64_t back = std::clamp<int64_t>(end - time, -span, 2 * span);
  return area.right - static_cast<int>(std::lround(static_cast<double>(back) * (area.right - area.left) / span));
}

int PercentToY(double percent, const PlotArea& area) {
  const double p = std::isnan(percent) ? 0.0 : std::clamp(percent, 0.0, 100.0);
  return area.bottom - static_cast<int>(std::lround(p * (area.bottom - area.top) / 100.0));
}

bool JoinsPrevious(const std::vector<HistoryRecord>& records, size_t i, HistoryScale scale) {
  if (i == 0 || i >= records.size() || records[i].gap_before) return false;
  const int64_t apart = records[i].time - records[i - 1].time;
  return apart > 0 && 2 * apart <= 3 * HistoryStepSeconds(scale);
}

std::vector<TimeTick> TimeTicks(int64_t end, HistoryScale scale, const PlotArea& area) {
  const int64_t every = scale == HistoryScale::kSeconds ? 600 : 3 * 3600;
  std::vector<TimeTick> ticks;
  for (int64_t t = FloorDiv(end, every) * every; t >= end - HistorySpanSeconds(scale); t -= every) {
    const int64_t of_day = t - FloorDiv(t, kSecondsPerDay) * kSecondsPerDay;
    char label[8];
    std::snprintf(label, sizeof label, "%02d:%02d", static_cast<int>(of_day / 3600),
                  static_cast<int>(of_day / 60 % 60));
    ticks.insert(ticks.begin(), TimeTick{TimeToX(t, end, scale, area), label});
  }
  return ticks;
}

int RecordAtX(const std::vector<HistoryRecord>& records, int x, HistoryScale scale, const PlotArea& area) {
  if (records.empty() || x < area.left || x > area.right) return -1;
  const int64_t end = records.back().time;
  int best = -1;
  int best_distance = 0;
  // Newest first: of two records on one column the newer is the one drawn
  // last, on top.
  for (size_t i = records.size(); i-- > 0;) {
    const int at = TimeToX(records[i].time, end, scale, area);
    if (at < area.left || at > area.right) continue;
    const int distance = std::abs(at - x);
    if (best < 0 || distance < best_distance) {
      best = static_cast<int>(i);
      best_distance = distance;
    }
  }
  return best;
}

int RecordAfterKey(int selected, size_t count, HistoryKey key) {
  if (count == 0) return -1;
  const int last = static_cast<int>(count) - 1;
  if (key == HistoryKey::Home) return 0;
  if (key == HistoryKey::End || selected < 0 || selected > last) return last;
  return std::clamp(selected + (key == HistoryKey::Left ? -1 : 1), 0, last);
}

int FindRecord(const std::vector<HistoryRecord>& records, int64_t time) {
  for (size_t i = records.size(); i-- > 0;) {
    if (records[i].time == time) return static_cast<int>(i);
  }
  return -1;
}

std::string HistoryReadoutText(const HistoryRecord* record, Language language) {
  if (!record) return TextIn(language, TextId::HistoryHint);
  std::string text = FormatIn(language, TextId::HistoryReadoutLoad,
                              {HistoryTimeText(record->time), Figure(record->load_mean), Figure(record->load_min),
                               Figure(record->load_max)});
  text += "\r\n";
  text += std::isnan(record->memory_percent)
              ? std::string(TextIn(language, TextId::HistoryReadoutNoMemory))
              : FormatIn(language, TextId::HistoryReadoutMemory,
                         {Figure(record->memory_percent),
                          std::isnan(record->memory_mb) ? std::string("--")
                                                        : std::to_string(RoundHalfEven(record->memory_mb))});
  std::string busy;
  for (size_t i = 0; i < std::min<size_t>(record->busy_count, std::size(record->busy)); ++i) {
    const BusyProcess& p = record->busy[i];
    if (!busy.empty()) busy += ", ";
    busy += std::string(p.name, strnlen(p.name, sizeof p.name)) + " " + Figure(p.percent) + " %";
  }
  if (!busy.empty()) text += "    " + FormatIn(language, TextId::HistoryReadoutBusy, {busy});
  return text;
}

std::string HistorySaveName(int64_t local_seconds) {
  const DateTimeParts p = DateTimeToParts(static_cast<double>(local_seconds) / kSecondsPerDay);
  char name[64];
  std::snprintf(name, sizeof name, "Zettrim-history-%04d%02d%02d-%02d%02d.csv", p.year, p.month, p.day, p.hour,
                p.minute);
  return name;
}

}  // namespace zt
