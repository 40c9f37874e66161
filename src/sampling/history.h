// What the monitor measured over the last hour (one record a second) and the
// last day (one record a minute), with the processes that were busiest, in
// two rings of fixed size.  Portable.
//
// Who calls what:
//  - The monitor thread feeds every sample (AddSample); every 5 s of it the
//    process list is read (through Seam<IProcessTimes>) and the time each
//    process used is shared out over the records of that interval.
//  - A window reads a view as a copy taken under a short lock:
//      HistoryView view = history.Snapshot(HistoryScale::kSeconds);
//    and turns it into what Ctrl+C copies and what Save writes
//    (history_text.h: HistoryClipboardText, HistoryCsv).  The status line of
//    the kept file comes from HistoryKeeper::Status (history_file.h).
//  - Each finished minute goes to the minute sink (the kept file), on the
//    monitor thread.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sampling/process_times.h"

namespace zt {

// An image name as a record keeps it: UTF-8, cut at a character boundary.
struct BusyProcess {
  static constexpr size_t kNameBytes = 27;
  char name[kNameBytes + 1] = {};
  float percent = 0;  // of the whole machine, every processor = 100
  void SetName(const std::string& text);
};

constexpr float kNoReading = NAN;  // no good reading in the record

// One record.  time: the local time of its second or minute, in seconds
// since 30 December 1899 00:00:00.  Within a run of records times rise; a
// record with gap_before follows a break (a clock change, a suspend, a
// stopped program) and after a clock set back it may carry an earlier time:
// records stay in the order they were made.
template <size_t kBusy>
struct HistoryRecordOf {
  int64_t time = 0;
  float load_mean = kNoReading, load_min = kNoReading, load_max = kNoReading;  // per cent
  float memory_percent = kNoReading, memory_mb = kNoReading;  // kNoReading: not measured
  uint8_t busy_count = 0;
  bool gap_before = false;
  BusyProcess busy[kBusy];
};
using SecondRecord = HistoryRecordOf<1>;
using MinuteRecord = HistoryRecordOf<3>;
using HistoryRecord = MinuteRecord;  // what a view hands out, for both scales

enum class HistoryScale { kSeconds, kMinutes };

struct HistoryView {
  HistoryScale scale = HistoryScale::kSeconds;
  std::vector<HistoryRecord> records;  // oldest first
};

// What the monitor hands over after each sample.
struct HistorySample {
  uint64_t tick_ms = 0;     // monotonic milliseconds
  double local_time = 0;    // days since 30 December 1899, local
  bool load_read = false;   // false: the load reading failed and counts for nothing
  double load = 0;          // per cent
  bool memory_read = false; // memory measured in this sample
  double memory_percent = 0, memory_mb = 0;
  int32_t processors = 1;   // for the share of the whole machine
  uint32_t rate_ms = 500;   // the setting, to tell a late sample from a break
};

// Receives each finished minute record, on the monitor thread.
class IMinuteSink {
 public:
  virtual ~IMinuteSink() = default;
  virtual void MinuteFinished(const MinuteRecord& record) = 0;
};

class History {
 public:
  static constexpr size_t kSeconds = 3600;
  static constexpr size_t kMinutes = 1440;
  static constexpr uint64_t kProcessIntervalMs = 5000;

  History();
  ~History();
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  // Monitor thread.
  void AddSample(const HistorySample& sample);
  // The minute being made, as a record (at exit, or as the session ends);
  // false when there is none.  It stays open in the history.
  bool UnfinishedMinute(MinuteRecord* record) const;
  void SetMinuteSink(IMinuteSink* sink);  // before the monitor starts

  // Before the monitor starts: records from the kept file, oldest first.
  void FillMinutes(const std::vector<MinuteRecord>& records);

  // Any thread: a copy of one view.
  HistoryView Snapshot(HistoryScale scale) const;

  // Bytes the two rings take.
  static size_t RingBytes();

 private:
  struct Accumulator;
  template <typename Record>
  struct Ring;

  void FinishSecond();
  bool FinishMinute(MinuteRecord* record);
  void ReadProcesses(const HistorySample& sample);
  void AttributeInterval(const std::vector<ProcessUse>& used, uint64_t interval_ms,
                         int32_t processors);

  mutable std::mutex mutex_;  // guards the rings and the open records
  std::unique_ptr<Ring<SecondRecord>> seconds_;
  std::unique_ptr<Ring<MinuteRecord>> minutes_;
  std::unique_ptr<Accumulator> second_, minute_;
  IMinuteSink* sink_ = nullptr;

  // The monitor thread's own state.
  bool have_previous_ = false;
  uint64_t previous_tick_ = 0;
  int64_t previous_wall_ms_ = 0;
  bool gap_pending_ = false;
  uint64_t seconds_made_ = 0;       // records pushed into the second ring so far
  uint64_t busy_from_second_ = 0;   // the first record of the interval being read
  bool process_started_ = false;
  uint64_t process_tick_ = 0;
  IProcessTimes* processes_;
  ProcessIntervals intervals_;
  std::vector<ProcessTime> reading_;
  std::vector<ProcessUse> used_;
};

}  // namespace zt
