#include "sampling/history_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "util/format.h"
#include "util/platform.h"

namespace zt {

namespace {

// The column headings; the busiest processes' two columns are numbered when
// a record names three.
constexpr TextId kFixedColumns[] = {
    TextId::HistoryColumnTime,   TextId::HistoryColumnCpuMean,       TextId::HistoryColumnCpuMin,
    TextId::HistoryColumnCpuMax, TextId::HistoryColumnMemoryPercent, TextId::HistoryColumnMemoryMb,
};
constexpr size_t kFixedCount = sizeof kFixedColumns / sizeof kFixedColumns[0];

// After the offset: the disks, the network and the graphics, in the order
// of kResourceFields, with the decimals each is written with and the
// largest value read back; then who moved the most bytes, and its share.
struct MoreColumn {
  TextId heading;
  int decimals;
  double max;
};
constexpr MoreColumn kMoreColumns[] = {
    {TextId::HistoryColumnDiskRead, 1, 1e12},    {TextId::HistoryColumnDiskWrite, 1, 1e12},
    {TextId::HistoryColumnDiskActive, 1, 100},   {TextId::HistoryColumnNetReceived, 1, 1e12},
    {TextId::HistoryColumnNetSent, 1, 1e12},     {TextId::HistoryColumnGpuLoad, 1, 100},
    {TextId::HistoryColumnGpuMemory, 0, 1e12},
};
static_assert(sizeof kMoreColumns / sizeof kMoreColumns[0] == kResourceFieldCount, "a column for every figure");
constexpr size_t kMoreCount = kResourceFieldCount + 2;

// A line this long is no row of ours: it is read no further.
constexpr size_t kMaxRowBytes = 1024;

size_t BusySlots(HistoryScale scale) { return scale == HistoryScale::kSeconds ? 1 : 3; }

std::vector<std::string> HeadingFields(HistoryScale scale, Language language) {
  std::vector<std::string> fields;
  for (TextId id : kFixedColumns) fields.emplace_back(TextIn(language, id));
  const size_t slots = BusySlots(scale);
  for (size_t i = 1; i <= slots; ++i) {
    const std::string number = slots > 1 ? " " + std::to_string(i) : std::string();
    fields.push_back(TextIn(language, TextId::HistoryColumnBusyName) + number);
    fields.push_back(TextIn(language, TextId::HistoryColumnBusyShare) + number);
  }
  fields.emplace_back(TextIn(language, TextId::HistoryColumnUtcOffset));
  for (const MoreColumn& column : kMoreColumns) fields.emplace_back(TextIn(language, column.heading));
  fields.emplace_back(TextIn(language, TextId::HistoryColumnMoverName));
  fields.emplace_back(TextIn(language, TextId::HistoryColumnMoverShare));
  return fields;
}

// One line of fields, written straight into the text: a copy of the last
// hour is 3600 of them.
class LineWriter {
 public:
  LineWriter(std::string& out, bool csv) : out_(out), csv_(csv) {}
  void Field(std::string_view field) {
    if (!first_) out_ += csv_ ? ',' : '\t';
    first_ = false;
    if (!csv_ || field.find_first_of(",\"\r\n") == std::string_view::npos) {
      out_.append(field);
      return;
    }
    out_ += '"';
    for (char c : field) {
      if (c == '"') out_ += '"';
      out_ += c;
    }
    out_ += '"';
  }
  void Figure(float value, int decimals) {
    if (std::isnan(value)) return Field("");
    Field(decimals == 0 ? std::to_string(RoundHalfEven(value)) : FormatFixed(value, decimals, "."));
  }
  void End() { out_ += "\r\n"; }

 private:
  std::string& out_;
  const bool csv_;
  bool first_ = true;
};

void WriteHeading(std::string& out, HistoryScale scale, Language language, bool csv) {
  LineWriter line(out, csv);
  for (const std::string& field : HeadingFields(scale, language)) line.Field(field);
  line.End();
}

void FormatTime(int64_t seconds, char (&text)[32]) {
  const DateTimeParts p = DateTimeToParts(static_cast<double>(seconds) / 86400.0);
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute,
                p.second);
}

// "+01:00", "-03:30"; "" when unknown.
std::string OffsetText(int offset) {
  if (offset == kNoUtcOffset) return {};
  char text[16];
  const int magnitude = offset < 0 ? -offset : offset;
  std::snprintf(text, sizeof text, "%c%02d:%02d", offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
  return text;
}

// The number `count` digits from `at` spell; false for anything else.
bool Digits(const std::string& text, size_t at, size_t count, int* out) {
  if (at + count > text.size()) return false;
  int value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  *out = value;
  return true;
}

// Offsets on Earth lie within -12:00 and +14:00; a little more is allowed.
bool ReadOffset(const std::string& text, int16_t* offset) {
  if (text.empty()) {
    *offset = kNoUtcOffset;
    return true;
  }
  int hours = 0, minutes = 0;
  if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':' || !Digits(text, 1, 2, &hours) ||
      !Digits(text, 4, 2, &minutes) || minutes > 59 || hours * 60 + minutes > 15 * 60)
    return false;
  *offset = static_cast<int16_t>((text[0] == '-' ? -1 : 1) * (hours * 60 + minutes));
  return true;
}

void WriteRecord(std::string& out, const HistoryRecord& r, HistoryScale scale, bool csv) {
  LineWriter line(out, csv);
  char time[32];
  FormatTime(r.time, time);
  line.Field(time);
  line.Figure(r.load_mean, 1), line.Figure(r.load_min, 1), line.Figure(r.load_max, 1);
  line.Figure(r.memory_percent, 1), line.Figure(r.memory_mb, 0);
  for (size_t i = 0; i < BusySlots(scale); ++i) {
    const bool named = i < r.busy_count;
    line.Field(named ? r.busy[i].name : "");
    line.Figure(named ? r.busy[i].percent : kNoReading, 1);
  }
  line.Field(OffsetText(r.utc_offset));
  for (size_t i = 0; i < kResourceFieldCount; ++i) line.Figure(r.more.*kResourceFields[i], kMoreColumns[i].decimals);
  line.Field(r.has_mover ? r.mover.name : "");
  line.Figure(r.has_mover ? r.mover.percent : kNoReading, 1);
  line.End();
}

// RFC 4180 fields of one line; false when a quote is left open or stray.
bool SplitCsv(std::string_view line, std::vector<std::string>* fields) {
  fields->assign(1, std::string());
  size_t i = 0;
  while (i <= line.size()) {
    std::string& field = fields->back();
    if (i < line.size() && line[i] == '"') {
      for (++i;; ++i) {
        if (i >= line.size()) return false;
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            ++i;
          } else {
            ++i;
            break;
          }
        } else {
          field += line[i];
        }
      }
      if (i < line.size() && line[i] != ',') return false;
    } else {
      while (i < line.size() && line[i] != ',') {
        if (line[i] == '"') return false;
        field += line[i++];
      }
    }
    if (i >= line.size()) return true;
    ++i;  // the comma
    fields->emplace_back();
  }
  return true;
}

// An empty field is "no figure"; anything else must be a number in range.
bool ReadFigure(const std::string& text, double max, float* out) {
  if (text.empty()) {
    *out = kNoReading;
    return true;
  }
  if (text.size() > 32 || text.find_first_not_of("0123456789.") != std::string::npos) return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !(v >= 0 && v <= max)) return false;
  *out = static_cast<float>(v);
  return true;
}

bool ReadTime(const std::string& text, int64_t* seconds) {
  // YYYY-MM-DD HH:MM:SS
  int y, mo, d, h, mi, s;
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':' || !Digits(text, 0, 4, &y) || !Digits(text, 5, 2, &mo) || !Digits(text, 8, 2, &d) ||
      !Digits(text, 11, 2, &h) || !Digits(text, 14, 2, &mi) || !Digits(text, 17, 2, &s))
    return false;
  if (y < 1 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0)
    return false;
  const double days = DateTimeFromParts(y, mo, d, h, mi, s, 0);
  // 31 February and the like come back as another date: refused.
  const DateTimeParts back = DateTimeToParts(days);
  if (back.year != y || back.month != mo || back.day != d) return false;
  *seconds = static_cast<int64_t>(std::llround(days * 86400.0));
  return true;
}

}  // namespace

std::string HistoryTimeText(int64_t seconds) {
  char text[32];
  FormatTime(seconds, text);
  return text;
}

std::string HistoryClipboardText(const HistoryView& view, Language language) {
  std::string text;
  text.reserve(64 * (view.records.size() + 1));
  WriteHeading(text, view.scale, language, false);
  for (const HistoryRecord& r : view.records) WriteRecord(text, r, view.scale, false);
  return text;
}

std::string HistoryCsvHeading(HistoryScale scale, Language language) {
  std::string text = "\xEF\xBB\xBF";
  WriteHeading(text, scale, language, true);
  return text;
}

std::string HistoryCsvRow(const HistoryRecord& record, HistoryScale scale) {
  std::string text;
  WriteRecord(text, record, scale, true);
  return text;
}

std::string HistoryCsv(const HistoryView& view, Language language) {
  std::string text = HistoryCsvHeading(view.scale, language);
  text.reserve(64 * (view.records.size() + 1));
  for (const HistoryRecord& r : view.records) WriteRecord(text, r, view.scale, true);
  return text;
}

bool ParseHistoryCsvRow(std::string_view line, HistoryRecord* record) {
  if (line.size() > kMaxRowBytes) return false;
  std::vector<std::string> fields;
  if (!SplitCsv(line, &fields)) return false;
  // The fixed columns, one to three name and share pairs, the offset (rows
  // from before it was written have none), then the disks, the network,
  // the graphics and the mover (rows from before those have none of them).
  const size_t oldest_most = kFixedCount + 2 * 3 + 1;
  HistoryRecord r;
  if (fields.size() > oldest_most) {
    const size_t more_at = fields.size() - kMoreCount;
    if (more_at > oldest_most || more_at < kFixedCount + 3 || (more_at - kFixedCount) % 2 == 0) return false;
    for (size_t i = 0; i < kResourceFieldCount; ++i)
      if (!ReadFigure(fields[more_at + i], kMoreColumns[i].max, &(r.more.*kResourceFields[i]))) return false;
    const std::string& mover = fields[more_at + kResourceFieldCount];
    if (!mover.empty()) {
      if (!ReadFigure(fields.back(), 100, &r.mover.percent) || std::isnan(r.mover.percent)) return false;
      r.mover.SetName(mover);
      r.has_mover = true;
    }
    fields.resize(more_at);
  }
  if (fields.size() < kFixedCount || fields.size() > oldest_most) return false;
  if ((fields.size() - kFixedCount) % 2 == 1) {
    if (!ReadOffset(fields.back(), &r.utc_offset)) return false;
    fields.pop_back();
  }
  if (!ReadTime(fields[0], &r.time) || !ReadFigure(fields[1], 100, &r.load_mean) ||
      !ReadFigure(fields[2], 100, &r.load_min) || !ReadFigure(fields[3], 100, &r.load_max) ||
      !ReadFigure(fields[4], 100, &r.memory_percent) || !ReadFigure(fields[5], 1e12, &r.memory_mb))
    return false;
  for (size_t i = kFixedCount; i < fields.size(); i += 2) {
    if (fields[i].empty()) continue;
    BusyProcess& b = r.busy[r.busy_count];
    if (!ReadFigure(fields[i + 1], 100, &b.percent) || std::isnan(b.percent)) return false;
    b.SetName(fields[i]);
    ++r.busy_count;
  }
  *record = r;
  return true;
}

}  // namespace zt
