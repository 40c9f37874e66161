#include "sampling/history_file.h"

#include <algorithm>

#include "config/config.h"
#include "config/config_file.h"
#include "util/file_write.h"

namespace zt {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Say(TextId text, Language language, const std::string& path, const std::string& reason) {
  std::string line = FormatIn(language, text, {path});
  if (!reason.empty()) line += FormatIn(language, TextId::HistoryFileReason, {reason});
  return line;
}

}  // namespace

std::string KeptHistoryPath(const std::string& config_path) {
  const size_t name_start = config_path.find_last_of("\\/:") + 1;  // npos + 1 == 0
  const size_t dot = config_path.rfind('.');
  const size_t end = dot != std::string::npos && dot > name_start ? dot : config_path.size();
  return config_path.substr(0, end) + ".history.csv";
}

KeptHistoryText ReadKeptHistoryText(std::string_view bytes) {
  KeptHistoryText kept;
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
  kept.ends_with_line_break = bytes.empty() || bytes.back() == '\n';
  bool first = true;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    HistoryRecord record;
    if (ParseHistoryCsvRow(line, &record)) {
      kept.records.push_back(record);
      kept.rows.push_back(line);
    } else if (first) {
      kept.heading = line;
    } else if (line.find_first_not_of(" \t") != std::string_view::npos) {
      ++kept.bad_lines;
    }
    first = false;
  }
  return kept;
}

HistoryKeeper::HistoryKeeper(std::string path, Language heading_language)
    : path_(std::move(path)), heading_language_(heading_language) {}

std::vector<MinuteRecord> HistoryKeeper::Load(int64_t now) {
  std::vector<MinuteRecord> last_day;
  if (!KeepHistory.load()) return last_day;
  std::lock_guard<std::mutex> lock(mutex_);
  Inspect(now, &last_day);
  return last_day;
}

void HistoryKeeper::Inspect(int64_t now, std::vector<MinuteRecord>* last_day) {
  inspected_ = true;
  next_trim_check_ = now + 86400;
  std::string bytes, reason;
  switch (ReadWholeFile(path_, &bytes, &reason)) {
    case FileReadStatus::kNotFound:
      readable_ = true;
      exists_ = false;
      ends_with_line_break_ = true;
      return;
    case FileReadStatus::kError:
      // Nothing is added to a file whose end cannot be seen.
      readable_ = false;
      if (read_error_.empty()) read_error_ = reason.empty() ? "?" : reason;
      return;
    case FileReadStatus::kOk:
      break;
  }
  readable_ = true;
  exists_ = !bytes.empty();  // an empty file still wants its heading
  const KeptHistoryText kept = ReadKeptHistoryText(bytes);
  ends_with_line_break_ = kept.ends_with_line_break;
  damaged_ = damaged_ || kept.bad_lines > 0;
  if (last_day) {
    for (const HistoryRecord& r : kept.records)
      if (r.time > now - 86400 && r.time <= now) last_day->push_back(r);
    if (last_day->size() > History::kMinutes)
      last_day->erase(last_day->begin(), last_day->end() - static_cast<std::ptrdiff_t>(History::kMinutes));
  }
  const int64_t cutoff = now - kKeptSeconds;
  const bool too_old = std::any_of(kept.records.begin(), kept.records.end(),
                                   [cutoff](const HistoryRecord& r) { return r.time < cutoff; });
  if (damaged_ || !too_old) return;
  std::string text = kept.heading.empty() ? HistoryCsvHeading(HistoryScale::kMinutes, heading_language_)
                                          : std::string(kByteOrderMark) + std::string(kept.heading) + "\r\n";
  for (size_t i = 0; i < kept.records.size(); ++i)
    if (kept.records[i].time >= cutoff) text.append(kept.rows[i]).append("\r\n");
  if (WriteSettingsFile(path_, text, &reason)) {
    ends_with_line_break_ = true;
  } else if (write_error_.empty()) {
    write_error_ = reason.empty() ? "?" : reason;
  }
}

void HistoryKeeper::MinuteFinished(const MinuteRecord& record) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return;
  if (!KeepHistory.load()) {
    // The user may move or delete the file while it is not kept: it is
    // looked at afresh when keeping starts again.
    inspected_ = false;
    return;
  }
  if (!inspected_ || record.time >= next_trim_check_) Inspect(record.time, nullptr);
  if (!readable_) return;
  std::string bytes;
  if (!exists_) bytes = HistoryCsvHeading(HistoryScale::kMinutes, heading_language_);
  if (!ends_with_line_break_) bytes += "\r\n";
  bytes += HistoryCsvRow(record, HistoryScale::kMinutes);
  std::string reason;
  if (AppendToFile(path_, bytes, &reason)) {
    exists_ = true;
    ends_with_line_break_ = true;
  } else if (write_error_.empty()) {
    write_error_ = reason.empty() ? "?" : reason;
  }
}

void HistoryKeeper::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
}

std::string HistoryKeeper::Status(Language language) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string status;
  auto add = [&](TextId text, const std::string& reason) {
    if (!status.empty()) status += "\r\n";
    status += Say(text, language, path_, reason);
  };
  if (damaged_) add(TextId::HistoryFileDamaged, "");
  if (!read_error_.empty()) add(TextId::HistoryFileUnreadable, read_error_);
  if (!write_error_.empty()) add(TextId::HistoryFileUnwritable, write_error_);
  return status;
}

}  // namespace zt
