// The kept history (setting KeepHistory): each finished minute, and the one
// unfinished at exit, appended as a CSV row to "<exe name>.history.csv"
// beside the settings file; at start the last day of it fills the minute
// view.  The file is the user's:
//  - It is read and written on a thread of the keeper's own: neither the
//    monitor nor a window ever waits for the disk.  A minute that cannot be
//    written (a spreadsheet holds the file, the disk is full) is kept and
//    tried again with the next one.
//  - One running program writes it (a lock beside it); another copy of the
//    program reads it at start and then only watches for its turn.
//  - A line that cannot be read is skipped and kept as it is; a line cut
//    short at the end (a power cut) is ended before the next row.
//  - Once a day at most the rows older than 31 days are cut: they go to
//    "<exe name>.history.old.csv" beside it (replacing what an earlier cut
//    left there) before the file is written anew without them, so that a
//    clock set far ahead loses nothing for good.  Rows dated after now (a
//    clock set back) are never cut.
//  - One row per minute: a minute the file already ends with (a restart
//    within the minute the last run ended in) is not written again.
// Failures never touch the history in memory: they are told in the status
// line of the history window (Status).  With the setting off no file is
// read or written.  Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "sampling/history.h"
#include "sampling/history_text.h"
#include "util/file_write.h"
#include "util/seam.h"

namespace zt {

// "C:\\dir\\Zettrim.ini" -> "C:\\dir\\Zettrim.history.csv".
std::string KeptHistoryPath(const std::string& config_path);
// "C:\\dir\\Zettrim.history.csv" -> "C:\\dir\\Zettrim.history.old.csv".
std::string KeptHistoryOldPath(const std::string& kept_path);

// What the keeper asks of the disk (util/file_write.h); tests put a slow
// or failing disk in its place.
class IHistoryDisk {
 public:
  virtual ~IHistoryDisk() = default;
  virtual FileReadStatus Read(const std::string& path, const std::function<void(std::string_view)>& piece,
                              std::string* reason) = 0;
  virtual bool Append(const std::string& path, std::string_view heading, std::string_view lines,
                      std::string* reason) = 0;
  virtual bool Replace(const std::string& path, const std::string& bytes, std::string* reason) = 0;
  virtual FileLock Lock(const std::string& path) = 0;
};
template <>
IHistoryDisk& Seam<IHistoryDisk>::Real();

// A kept file read line by line as its bytes come, however they are cut.
class KeptHistoryScan {
 public:
  enum class Line {
    kHeading,  // the first line, when it is no row
    kRow,
    kBlank,    // empty, spaces, or the zeros a power cut leaves
    kOther,    // anything else: skipped, and kept
  };
  // Each line without its line end; `record` is the row read (kRow only).
  using Visit = std::function<void(Line kind, std::string_view line, const HistoryRecord& record)>;
  explicit KeptHistoryScan(Visit visit) : visit_(std::move(visit)) {}
  void Add(std::string_view bytes);
  void Finish();

 private:
  void Take(std::string_view line);

  Visit visit_;
  std::string partial_;
  bool first_ = true;
  bool marked_ = false;  // the byte-order mark looked for
};

// What the keeper knows of "now": the local time as record times have it,
// and its offset from UTC in minutes.
struct KeptTime {
  int64_t local = 0;
  int utc_offset = 0;
  int64_t Utc() const { return local - 60 * static_cast<int64_t>(utc_offset); }
};

class HistoryKeeper final : public IMinuteSink {
 public:
  static constexpr int64_t kKeptSeconds = 31 * 86400;

  HistoryKeeper(std::string path, Language heading_language);
  // Waits for what is still being written, at most `exit_wait_ms`; a disk
  // that does not answer by then is left to the writer, which ends with
  // the program.
  ~HistoryKeeper() override;
  HistoryKeeper(const HistoryKeeper&) = delete;
  HistoryKeeper& operator=(const HistoryKeeper&) = delete;

  // With the setting on, the writer reads the file and hands the rows of
  // the day before `now` (at most a day's worth, in the order of their UTC
  // times) to history->FillMinutes; `history` may be null.  The writer
  // starts either way: keeping may be switched on later.
  void Start(History* history, KeptTime now);
  // Any thread, never waiting for the disk: the minute is queued.
  void MinuteFinished(const MinuteRecord& record) override;
  // Waits until the file's first reading and the minutes queued so far are
  // done (written, or failed), at most timeout_ms; true when nothing is
  // left unwritten.
  bool Flush(uint32_t timeout_ms);
  // What the history window's status line says about the file: "" when
  // all is well.  Each trouble is told by its first reason, and goes once
  // the file is written again.  Never waits for the disk.
  std::string Status(Language language) const;

  static constexpr uint32_t kExitWaitMs = 5000;

 private:
  struct Writer;
  std::shared_ptr<Writer> writer_;
};

}  // namespace zt
