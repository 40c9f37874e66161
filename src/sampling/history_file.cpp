#include "sampling/history_file.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "config/config.h"

namespace zt {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Minutes kept for the next try while the file cannot be written: a week.
constexpr size_t kMaxUnwritten = 7 * 1440;

std::string Say(TextId text, Language language, const std::string& path, const std::string& reason) {
  std::string line = FormatIn(language, text, {path});
  if (!reason.empty()) line += FormatIn(language, TextId::HistoryFileReason, {reason});
  return line;
}

bool SameMinute(const HistoryRecord& a, const HistoryRecord& b) {
  return a.time == b.time &&
         (a.utc_offset == b.utc_offset || a.utc_offset == kNoUtcOffset || b.utc_offset == kNoUtcOffset);
}

bool IsBlank(std::string_view line) { return line.find_first_not_of(std::string_view(" \t\0", 3)) == line.npos; }

class SystemDisk final : public IHistoryDisk {
 public:
  FileReadStatus Read(const std::string& path, const std::function<void(std::string_view)>& piece,
                      std::string* reason) override {
    return ReadFileInPieces(path, piece, reason);
  }
  bool Append(const std::string& path, std::string_view heading, std::string_view lines,
              std::string* reason) override {
    return AppendLines(path, heading, lines, reason);
  }
  bool Replace(const std::string& path, const std::string& bytes, std::string* reason) override {
    return WriteFileAtomically(path, bytes, reason);
  }
  FileLock Lock(const std::string& path) override { return FileLock::Take(path); }
};

}  // namespace

ZT_SEAM_REAL(IHistoryDisk, SystemDisk)

std::string KeptHistoryPath(const std::string& config_path) {
  const size_t name_start = config_path.find_last_of("\\/:") + 1;  // npos + 1 == 0
  const size_t dot = config_path.rfind('.');
  const size_t end = dot != std::string::npos && dot > name_start ? dot : config_path.size();
  return config_path.substr(0, end) + ".history.csv";
}

std::string KeptHistoryOldPath(const std::string& kept_path) {
  constexpr std::string_view kEnd = ".csv";
  const bool csv = kept_path.size() >= kEnd.size() && kept_path.compare(kept_path.size() - kEnd.size(), kEnd.size(), kEnd) == 0;
  return (csv ? kept_path.substr(0, kept_path.size() - kEnd.size()) : kept_path) + ".old.csv";
}

void KeptHistoryScan::Add(std::string_view bytes) {
  if (!marked_) {
    // The mark may come cut across pieces: it is looked for once three
    // bytes are there (or the file ends).
    partial_.append(bytes);
    if (partial_.size() < kByteOrderMark.size()) return;
    marked_ = true;
    if (partial_.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) partial_.erase(0, kByteOrderMark.size());
    bytes = {};
    std::string held;
    held.swap(partial_);
    Add(held);
    return;
  }
  for (;;) {
    const size_t end = bytes.find('\n');
    if (end == bytes.npos) break;
    if (partial_.empty()) {
      Take(bytes.substr(0, end));
    } else {
      partial_.append(bytes.substr(0, end));
      Take(partial_);
      partial_.clear();
    }
    bytes.remove_prefix(end + 1);
  }
  partial_.append(bytes);
}

void KeptHistoryScan::Finish() {
  if (!marked_) {
    marked_ = true;
    if (partial_ == kByteOrderMark) partial_.clear();
  }
  if (!partial_.empty()) Take(partial_);
  partial_.clear();
}

void KeptHistoryScan::Take(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  HistoryRecord record;
  Line kind = Line::kOther;
  if (ParseHistoryCsvRow(line, &record)) {
    kind = Line::kRow;
  } else if (first_ && !IsBlank(line)) {
    kind = Line::kHeading;
  } else if (IsBlank(line)) {
    kind = Line::kBlank;
  }
  first_ = false;
  visit_(kind, line, record);
}

struct HistoryKeeper::Writer {
  Writer(std::string kept_path, Language language)
      : path(std::move(kept_path)), old_path(KeptHistoryOldPath(path)), heading_language(language),
        disk(Seam<IHistoryDisk>::Get()) {}

  void Run();
  void Write(std::vector<MinuteRecord>& batch);
  bool TakeLock();
  void Inspect(const KeptTime& now, bool load);
  void Trim(const KeptTime& now);
  static std::string NewerHeading(std::string_view heading);
  KeptTime TimeOf(const MinuteRecord& r) const {
    return {r.time, r.utc_offset == kNoUtcOffset ? start.utc_offset : r.utc_offset};
  }
  void SetError(std::string* error, const std::string& reason) {
    std::lock_guard<std::mutex> lock(mutex);
    if (error->empty()) *error = reason.empty() ? "?" : reason;
  }

  const std::string path, old_path;
  const Language heading_language;
  IHistoryDisk& disk;

  // Guards what the other threads see; never held at the disk.
  mutable std::mutex mutex;
  std::condition_variable wake, settled;
  std::vector<MinuteRecord> queue;
  uint64_t handed = 0, settled_count = 0;
  bool started = false, stopping = false, finished = false;
  bool look_afresh = false;  // keeping was off: the file may have moved meanwhile
  size_t unwritten_count = 0;
  // The status.
  size_t skipped_lines = 0;
  bool other_copy = false;
  std::string read_error, write_error;

  // Only the writer and the destructor: the history the file's last day
  // goes to, gone with the keeper.
  std::mutex history_mutex;
  History* history = nullptr;
  KeptTime start;

  // The writer's own.
  FileLock file_lock{FileLock::State::kUnavailable};
  bool locked = false;  // lock taken, or none to be had there
  bool inspected = false;
  bool have_last = false;
  MinuteRecord last;  // the file's last row: a minute not to be written twice
  int64_t next_trim = INT64_MIN;
  std::vector<MinuteRecord> unwritten;
};

HistoryKeeper::HistoryKeeper(std::string path, Language heading_language)
    : writer_(std::make_shared<Writer>(std::move(path), heading_language)) {}

HistoryKeeper::~HistoryKeeper() {
  {
    std::lock_guard<std::mutex> lock(writer_->history_mutex);
    writer_->history = nullptr;
  }
  std::unique_lock<std::mutex> lock(writer_->mutex);
  writer_->stopping = true;
  writer_->wake.notify_all();
  if (!writer_->started) return;
  writer_->settled.wait_for(lock, std::chrono::milliseconds(kExitWaitMs), [this] { return writer_->finished; });
}

void HistoryKeeper::Start(History* history, KeptTime now) {
  {
    std::lock_guard<std::mutex> lock(writer_->history_mutex);
    writer_->history = history;
  }
  std::lock_guard<std::mutex> lock(writer_->mutex);
  if (writer_->started) return;
  writer_->started = true;
  writer_->start = now;
  ++writer_->handed;  // the first reading: a Flush waits for it too
  // The writer holds its own share of what it works on: a disk that does
  // not answer at exit keeps it, not the program.
  std::thread([writer = writer_] { writer->Run(); }).detach();
}

void HistoryKeeper::MinuteFinished(const MinuteRecord& record) {
  std::lock_guard<std::mutex> lock(writer_->mutex);
  if (writer_->stopping) return;
  if (!KeepHistory.load()) {
    // The user may move or delete the file while it is not kept: it is
    // looked at afresh when keeping starts again.
    writer_->look_afresh = true;
    return;
  }
  writer_->queue.push_back(record);
  ++writer_->handed;
  writer_->wake.notify_all();
}

bool HistoryKeeper::Flush(uint32_t timeout_ms) {
  std::unique_lock<std::mutex> lock(writer_->mutex);
  const uint64_t target = writer_->handed;
  if (!writer_->started) return writer_->queue.empty();
  const bool settled = writer_->settled.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] {
    return writer_->settled_count >= target || writer_->finished;
  });
  return settled && writer_->unwritten_count == 0 && writer_->queue.empty();
}

std::string HistoryKeeper::Status(Language language) const {
  std::lock_guard<std::mutex> lock(writer_->mutex);
  const Writer& w = *writer_;
  std::string status;
  auto add = [&](TextId text, const std::string& reason) {
    if (!status.empty()) status += "\r\n";
    status += Say(text, language, w.path, reason);
  };
  if (w.other_copy) add(TextId::HistoryFileOtherCopy, "");
  if (w.skipped_lines > 0) add(TextId::HistoryFileDamaged, "");
  if (!w.read_error.empty()) add(TextId::HistoryFileUnreadable, w.read_error);
  if (!w.write_error.empty()) add(TextId::HistoryFileUnwritable, w.write_error);
  return status;
}

void HistoryKeeper::Writer::Run() {
  if (KeepHistory.load()) {
    TakeLock();
    Inspect(start, true);
  }
  {
    std::lock_guard<std::mutex> guard(mutex);
    ++settled_count;
    settled.notify_all();
  }
  std::vector<MinuteRecord> batch;
  for (;;) {
    {
      std::unique_lock<std::mutex> guard(mutex);
      wake.wait(guard, [this] { return stopping || !queue.empty(); });
      if (queue.empty()) {
        // Let go of the file before saying so: the next writer may start
        // the moment this one is gone.
        file_lock = FileLock();
        finished = true;
        settled.notify_all();
        return;
      }
      batch.swap(queue);
      queue.clear();
      if (look_afresh) {
        // Keeping was off for a while: what was not written then stays
        // unwritten, another copy may have become the writer, and the file
        // may be another one now.
        look_afresh = false;
        unwritten.clear();
        inspected = false;
        file_lock = FileLock();
        locked = false;
      }
    }
    Write(batch);
    std::lock_guard<std::mutex> guard(mutex);
    settled_count += batch.size();
    unwritten_count = unwritten.size();
    settled.notify_all();
  }
}

bool HistoryKeeper::Writer::TakeLock() {
  if (!locked) {
    file_lock = disk.Lock(path);
    locked = file_lock.state() != FileLock::State::kHeldElsewhere;
    // The writer before may have left rows this one has not seen.
    if (locked) inspected = false;
  }
  std::lock_guard<std::mutex> guard(mutex);
  other_copy = !locked;
  return locked;
}

void HistoryKeeper::Writer::Write(std::vector<MinuteRecord>& batch) {
  if (!TakeLock()) {
    // Another running copy keeps the file, minute by minute of the same
    // machine: this one's minutes would be the same ones again.
    unwritten.clear();
    return;
  }
  const KeptTime now = TimeOf(batch.back());
  if (!inspected || now.Utc() >= next_trim) Inspect(now, false);
  std::vector<MinuteRecord> rows;
  rows.swap(unwritten);
  rows.insert(rows.end(), batch.begin(), batch.end());
  if (rows.size() > kMaxUnwritten) rows.erase(rows.begin(), rows.end() - static_cast<std::ptrdiff_t>(kMaxUnwritten));
  if (!inspected) {
    // Nothing goes to a file that cannot be read: it is tried again with
    // the next minute.
    unwritten.swap(rows);
    return;
  }
  std::string lines;
  bool have = have_last;
  MinuteRecord newest = last;
  for (const MinuteRecord& r : rows) {
    if (have && SameMinute(r, newest)) continue;
    lines += HistoryCsvRow(r, HistoryScale::kMinutes);
    newest = r;
    have = true;
  }
  if (lines.empty()) return;
  std::string reason;
  if (disk.Append(path, HistoryCsvHeading(HistoryScale::kMinutes, heading_language), lines, &reason)) {
    have_last = true;
    last = newest;
    std::lock_guard<std::mutex> guard(mutex);
    write_error.clear();
    return;
  }
  unwritten.swap(rows);
  SetError(&write_error, reason);
}

void HistoryKeeper::Writer::Inspect(const KeptTime& now, bool load) {
  std::vector<MinuteRecord> last_day;
  size_t skipped = 0, too_old = 0;
  bool found_last = false, older_heading = false;
  MinuteRecord file_last;
  const int64_t now_utc = now.Utc();
  KeptHistoryScan scan([&](KeptHistoryScan::Line kind, std::string_view line, const HistoryRecord& r) {
    if (kind == KeptHistoryScan::Line::kOther) ++skipped;
    if (kind == KeptHistoryScan::Line::kHeading) older_heading = !NewerHeading(line).empty();
    if (kind != KeptHistoryScan::Line::kRow) return;
    found_last = true;
    file_last = r;
    const int64_t utc = UtcSeconds(r, now.utc_offset);
    if (utc < now_utc - kKeptSeconds) ++too_old;
    if (load && utc > now_utc - 86400 && utc <= now_utc) last_day.push_back(r);
  });
  std::string reason;
  const FileReadStatus status = disk.Read(path, [&scan](std::string_view piece) { scan.Add(piece); }, &reason);
  if (status == FileReadStatus::kError) {
    inspected = false;
    SetError(&read_error, reason);
    return;
  }
  scan.Finish();
  inspected = true;
  have_last = found_last;
  last = file_last;
  next_trim = now_utc + 86400;
  {
    std::lock_guard<std::mutex> guard(mutex);
    skipped_lines = skipped;
    read_error.clear();
  }
  if (load && !last_day.empty()) {
    // In the order of their UTC times: the autumn hour that comes twice
    // comes in the order it was lived.  The rows come nearly in order: an
    // insertion that keeps equal times as they came is quick on them.
    for (size_t i = 1; i < last_day.size(); ++i) {
      const MinuteRecord r = last_day[i];
      const int64_t utc = UtcSeconds(r, now.utc_offset);
      size_t j = i;
      for (; j > 0 && UtcSeconds(last_day[j - 1], now.utc_offset) > utc; --j) last_day[j] = last_day[j - 1];
      last_day[j] = r;
    }
    if (last_day.size() > History::kMinutes)
      last_day.erase(last_day.begin(), last_day.end() - static_cast<std::ptrdiff_t>(History::kMinutes));
    std::lock_guard<std::mutex> guard(history_mutex);
    if (history) history->FillMinutes(last_day);
  }
  // A heading from before the last columns came is written anew, once.
  if ((too_old > 0 || older_heading) && locked) Trim(now);
}

// Ours in the language of `heading` when that is one of our headings from
// before the last columns came (the start of today's, cut at a column);
// "" for anything else, a heading of someone's own among them.
std::string HistoryKeeper::Writer::NewerHeading(std::string_view heading) {
  for (Language language : {Language::English, Language::Chinese}) {
    const std::string ours = HistoryCsvHeading(HistoryScale::kMinutes, language);
    const std::string_view columns = std::string_view(ours).substr(kByteOrderMark.size());
    if (heading.size() < columns.size() && columns.compare(0, heading.size(), heading) == 0 &&
        columns[heading.size()] == ',')
      return ours;
  }
  return {};
}

void HistoryKeeper::Writer::Trim(const KeptTime& now) {
  const int64_t cutoff = now.Utc() - kKeptSeconds;
  std::string kept, cut;
  size_t cut_rows = 0;
  auto add_line = [](std::string& text, std::string_view line) { text.append(line).append("\r\n"); };
  // Both files open with the file's own heading, or ours where it has none;
  // an older one of ours becomes today's, in its language.
  auto head = [&](std::string_view heading) {
    if (!kept.empty()) return;
    const std::string newer = NewerHeading(heading);
    if (!newer.empty()) {
      kept = cut = newer;
    } else if (heading.empty()) {
      kept = cut = HistoryCsvHeading(HistoryScale::kMinutes, heading_language);
    } else {
      kept = cut = kByteOrderMark;
      add_line(kept, heading), add_line(cut, heading);
    }
  };
  KeptHistoryScan scan([&](KeptHistoryScan::Line kind, std::string_view line, const HistoryRecord& r) {
    switch (kind) {
      case KeptHistoryScan::Line::kHeading: head(line); return;
      case KeptHistoryScan::Line::kRow:
        head({});
        if (UtcSeconds(r, now.utc_offset) < cutoff) {
          add_line(cut, line);
          ++cut_rows;
        } else {
          add_line(kept, line);
        }
        return;
      case KeptHistoryScan::Line::kBlank: return;  // nothing of anyone's
      case KeptHistoryScan::Line::kOther:
        head({});
        add_line(kept, line);
        return;
    }
  });
  std::string reason;
  if (disk.Read(path, [&scan](std::string_view piece) { scan.Add(piece); }, &reason) != FileReadStatus::kOk) {
    SetError(&read_error, reason);
    return;
  }
  scan.Finish();
  // What is cut is beside the file before the file goes without it: a
  // failure on the way leaves a row twice, never nowhere.  A rewrite for
  // the heading alone leaves the rows cut before where they are.
  if ((cut_rows > 0 && !disk.Replace(old_path, cut, &reason)) || !disk.Replace(path, kept, &reason))
    SetError(&write_error, reason);
}

}  // namespace zt
