// The kept history (setting KeepHistory): each finished minute, and the one
// unfinished at exit, appended as a CSV row to "<exe name>.history.csv"
// beside the settings file; at start the last day of it fills the minute
// view.  The file is the user's: a line that cannot be read is skipped and
// kept, and such a file is never trimmed or rewritten; otherwise, once a
// day at most, a file that reaches back more than 31 days is written anew
// without the older rows and put in place by the settings file's safe
// replace.  Failures never touch the history in memory: they are told in
// the status line of the history window (Status).  With the setting off no
// file is read or written.  Portable.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "sampling/history.h"
#include "sampling/history_text.h"

namespace zt {

// "C:\\dir\\Zettrim.ini" -> "C:\\dir\\Zettrim.history.csv".
std::string KeptHistoryPath(const std::string& config_path);

// A kept file's bytes, read.
struct KeptHistoryText {
  std::string_view heading;              // the first line when it is no row
  std::vector<HistoryRecord> records;    // the rows, in file order
  std::vector<std::string_view> rows;    // their lines, as written
  size_t bad_lines = 0;                  // lines that are neither (blank ones aside)
  bool ends_with_line_break = true;      // false: the next row needs one first
};
KeptHistoryText ReadKeptHistoryText(std::string_view bytes);

class HistoryKeeper final : public IMinuteSink {
 public:
  static constexpr int64_t kKeptSeconds = 31 * 86400;

  HistoryKeeper(std::string path, Language heading_language);

  // At start, with the setting on: the rows of the day before `now` (local
  // seconds, as record times), oldest first, at most a day's worth.
  std::vector<MinuteRecord> Load(int64_t now);
  // Monitor thread; at exit, the unfinished minute.
  void MinuteFinished(const MinuteRecord& record) override;
  // The last row has been written (the unfinished minute at exit, or as the
  // session ends, when the program may be stopped at any moment): minutes
  // finished after it would repeat it, and are not written.
  void Close();
  // What the history window's status line says about the file: "" when
  // all is well.  Each trouble is told once, by its first occurrence.
  std::string Status(Language language) const;

 private:
  void Inspect(int64_t now, std::vector<MinuteRecord>* last_day);

  const std::string path_;
  const Language heading_language_;
  mutable std::mutex mutex_;
  bool inspected_ = false;
  bool closed_ = false;
  bool readable_ = false;
  bool exists_ = false;
  bool ends_with_line_break_ = true;
  bool damaged_ = false;
  int64_t next_trim_check_ = INT64_MIN;
  std::string read_error_, write_error_;
};

}  // namespace zt
