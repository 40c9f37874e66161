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

constexpr float ResourceFigures::*kRateFields[] = {&ResourceFigures::disk_read, &ResourceFigures::disk_write,
                                                   &ResourceFigures::net_received, &ResourceFigures::net_sent};
constexpr TextId kRateUnits[] = {TextId::HistoryRateUnitKb, TextId::HistoryRateUnitMb, TextId::HistoryRateUnitGb};

double UnitKb(RateUnit unit) { return unit == RateUnit::kKb ? 1.0 : unit == RateUnit::kMb ? 1024.0 : 1048576.0; }

// "{what}: {a}, {b}" of the parts present (each NaN-free figure written into
// its text), nothing when none is.
struct Parts {
  Language language;
  std::string text;
  void Add(TextId id, const std::string& figure) {
    if (!text.empty()) text += TextIn(language, TextId::HistoryReadoutListSeparator);
    text += FormatIn(language, id, {figure});
  }
  std::string Under(TextId heading) const { return text.empty() ? text : FormatIn(language, heading, {text}); }
};

// Pieces of one readout line, four spaces apart.
void Append(std::string* line, const std::string& piece) {
  if (piece.empty()) return;
  if (!line->empty()) *line += "    ";
  *line += piece;
}

std::string ProcessName(const BusyProcess& p) { return std::string(p.name, strnlen(p.name, sizeof p.name)); }

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

int PercentToY(double percent, const PlotArea& area) { return ValueToY(percent, 100.0, area); }

int ValueToY(double value, double top, const PlotArea& area) {
  const double v = std::isnan(value) || !(top > 0) ? 0.0 : std::clamp(value / top, 0.0, 1.0);
  return area.bottom - static_cast<int>(std::lround(v * (area.bottom - area.top)));
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

double RateAxis::TopKb() const { return step * steps * UnitKb(unit); }

double LargestRate(const std::vector<HistoryRecord>& records, HistoryScale scale) {
  double largest = NAN;
  if (records.empty()) return largest;
  const int64_t end = records.back().time, start = end - HistorySpanSeconds(scale);
  for (const HistoryRecord& r : records) {
    if (r.time < start || r.time > end) continue;
    for (auto field : kRateFields) {
      const float v = r.more.*field;
      if (!std::isnan(v) && !(v <= largest)) largest = v;
    }
  }
  return largest;
}

RateAxis RateAxisFor(double largest) {
  RateAxis axis;
  double target = std::isnan(largest) ? 1.0 : std::max(largest, 1.0);
  // A figure of 1000 and more of a unit is written in the next one.
  while (axis.unit != RateUnit::kGb && target >= 1000.0) {
    target /= 1024.0;
    axis.unit = static_cast<RateUnit>(static_cast<int>(axis.unit) + 1);
  }
  // The smallest step of 0.5, 1, 2, 5, 10, 20, 50... that four reach it.
  double step = 0.5;
  for (double decade = 1.0; 4.0 * step < target; decade *= 10.0) {
    for (double m : {1.0, 2.0, 5.0}) {
      step = m * decade;
      if (4.0 * step >= target) break;
    }
  }
  axis.step = step;
  axis.steps = std::clamp(static_cast<int>(std::ceil(target / step - 1e-9)), 2, 4);
  return axis;
}

std::string RateAxisLabel(const RateAxis& axis, int k, Language language) {
  const double value = axis.step * k;
  const bool whole = value == std::floor(value);
  return FormatIn(language, kRateUnits[static_cast<int>(axis.unit)], {FormatFixed(value, whole ? 0 : 1, ".")});
}

std::string RateText(double kb, Language language) {
  double value = kb;
  size_t unit = 0;
  while (unit + 1 < std::size(kRateUnits) && value >= 999.5) {
    value /= 1024.0;
    ++unit;
  }
  return FormatIn(language, kRateUnits[unit], {FormatFixed(value, value < 9.95 ? 1 : 0, ".")});
}

std::string HistoryReadoutText(const HistoryRecord* record, Language language) {
  if (!record) return TextIn(language, TextId::HistoryHint);
  const ResourceFigures& more = record->more;
  std::string text = FormatIn(language, TextId::HistoryReadoutLoad,
                              {HistoryTimeText(record->time), Figure(record->load_mean), Figure(record->load_min),
                               Figure(record->load_max)});
  Parts gpu{language, {}};
  if (!std::isnan(more.gpu_load)) gpu.Add(TextId::HistoryReadoutGpuLoad, Figure(more.gpu_load));
  if (!std::isnan(more.gpu_memory))
    gpu.Add(TextId::HistoryReadoutGpuMemory, std::to_string(RoundHalfEven(more.gpu_memory)));
  Append(&text, gpu.Under(TextId::HistoryReadoutGpu));
  std::string line = std::isnan(record->memory_percent)
                         ? std::string(TextIn(language, TextId::HistoryReadoutNoMemory))
                         : FormatIn(language, TextId::HistoryReadoutMemory,
                                    {Figure(record->memory_percent),
                                     std::isnan(record->memory_mb) ? std::string("--")
                                                                   : std::to_string(RoundHalfEven(record->memory_mb))});
  std::string busy;
  for (size_t i = 0; i < std::min<size_t>(record->busy_count, std::size(record->busy)); ++i) {
    const BusyProcess& p = record->busy[i];
    if (!busy.empty()) busy += ", ";
    busy += ProcessName(p) + " " + Figure(p.percent) + " %";
  }
  if (!busy.empty()) Append(&line, FormatIn(language, TextId::HistoryReadoutBusy, {busy}));
  text += "\r\n" + line;

  Parts disk{language, {}}, net{language, {}};
  if (!std::isnan(more.disk_read)) disk.Add(TextId::HistoryReadoutDiskRead, RateText(more.disk_read, language));
  if (!std::isnan(more.disk_write)) disk.Add(TextId::HistoryReadoutDiskWrite, RateText(more.disk_write, language));
  if (!std::isnan(more.disk_active)) disk.Add(TextId::HistoryReadoutDiskActive, Figure(more.disk_active));
  if (!std::isnan(more.net_received))
    net.Add(TextId::HistoryReadoutNetReceived, RateText(more.net_received, language));
  if (!std::isnan(more.net_sent)) net.Add(TextId::HistoryReadoutNetSent, RateText(more.net_sent, language));
  line = disk.Under(TextId::HistoryReadoutDisk);
  Append(&line, net.Under(TextId::HistoryReadoutNet));
  if (record->has_mover)
    Append(&line, FormatIn(language, TextId::HistoryReadoutMover,
                           {ProcessName(record->mover), Figure(record->mover.percent)}));
  if (!line.empty()) text += "\r\n" + line;
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
