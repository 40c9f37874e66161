// What the monitor measured over the last hour (one record a second) and the
// last day (one record a minute), with the processes that were busiest, in
// two rings of fixed size.  Portable.
//
// Who calls what:
//  - The monitor thread feeds every sample (AddSample), with the latest
//    figures of the disks, the network and the graphics; every 5 s of it
//    the process list is read (through Seam<IProcessTimes>) and the time
//    each process used, and the bytes it moved, are shared out over the
//    records of that interval.
//  - A window reads a view as a copy taken under a short lock:
//      HistoryView view = history.Snapshot(HistoryScale::kSeconds);
//    or, read again and again, into the same view (Snapshot(scale, &view)),
//    and turns it into what Ctrl+C copies and what Save writes
//    (history_text.h: HistoryClipboardText, HistoryCsv).  The status line of
//    the kept file comes from HistoryKeeper::Status (history_file.h).
//  - Each finished minute goes to the minute sink (the kept file), handed
//    over under the history's lock: a sink only takes it in, and writes it
//    on a thread of its own.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sampling/process_times.h"
#include "sampling/system_readings.h"

namespace zt {

// An image name as a record keeps it: UTF-8, cut at a character boundary.
struct BusyProcess {
  static constexpr size_t kNameBytes = 27;
  char name[kNameBytes + 1] = {};
  float percent = 0;  // of the whole machine, every processor = 100
  void SetName(const std::string& text);
};

constexpr float kNoReading = NAN;  // no good reading in the record
constexpr int16_t kNoUtcOffset = INT16_MIN;  // a record read from a file that did not say

// What the disks, the network and the graphics did (system_readings.h),
// kept with every record; kNoReading where the system does not tell.
struct ResourceFigures {
  float disk_read = kNoReading, disk_write = kNoReading;    // KB a second (1 KB = 1024 bytes)
  float disk_active = kNoReading;                           // per cent
  float net_received = kNoReading, net_sent = kNoReading;   // KB a second
  float gpu_load = kNoReading;                              // per cent
  float gpu_memory = kNoReading;                            // MB of dedicated memory in use
};
// The figures in the order of their columns.
constexpr float ResourceFigures::*kResourceFields[] = {
    &ResourceFigures::disk_read, &ResourceFigures::disk_write, &ResourceFigures::disk_active,
    &ResourceFigures::net_received, &ResourceFigures::net_sent, &ResourceFigures::gpu_load,
    &ResourceFigures::gpu_memory};
constexpr size_t kResourceFieldCount = sizeof kResourceFields / sizeof kResourceFields[0];

// One record.  time: the local time of its second or minute, in seconds
// since 30 December 1899 00:00:00.  Within a run of records times rise; a
// record with gap_before follows a break (a clock change, a suspend, a
// stopped program) and after a clock set back it may carry an earlier time:
// records stay in the order they were made.  utc_offset tells which of the
// two hours that share their local times in autumn the record is from.
template <size_t kBusy>
struct HistoryRecordOf {
  int64_t time = 0;
  float load_mean = kNoReading, load_min = kNoReading, load_max = kNoReading;  // per cent
  float memory_percent = kNoReading, memory_mb = kNoReading;  // kNoReading: not measured
  uint8_t busy_count = 0;
  bool gap_before = false;
  int16_t utc_offset = kNoUtcOffset;  // minutes the local time is ahead of UTC
  BusyProcess busy[kBusy];
  ResourceFigures more{};
  BusyProcess mover;  // the process that moved the most bytes; percent: its share of all moved
  bool has_mover = false;
};
using SecondRecord = HistoryRecordOf<1>;
using MinuteRecord = HistoryRecordOf<3>;
using HistoryRecord = MinuteRecord;  // what a view hands out, for both scales

// A record's time as UTC seconds (same epoch), the unambiguous order of
// records; one that did not say its offset is taken at `assumed_offset`.
template <size_t kBusy>
int64_t UtcSeconds(const HistoryRecordOf<kBusy>& r, int assumed_offset) {
  return r.time - 60 * static_cast<int64_t>(r.utc_offset == kNoUtcOffset ? assumed_offset : r.utc_offset);
}

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
  int32_t utc_offset = 0;   // minutes local_time is ahead of UTC
  ResourceFigures more{};   // the latest reading of the disks, the network and the graphics
};

// SystemReadings' figures in the units the records keep.
ResourceFigures ResourceFiguresOf(const SystemFigures& figures);

// Receives each finished minute record, under the history's lock: it
// takes the record in and returns at once.
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
  void SetMinuteSink(IMinuteSink* sink);  // before the monitor starts
  // At exit, or as the session ends (the program may be stopped at any
  // moment after): the minute being made goes to the sink now, as the last
  // one.  Minutes finished later are not handed over, so none is kept
  // twice.  The minute stays open in the history.
  void EndMinutes();

  // Any thread, at any time: minutes from before this run (the kept file),
  // oldest first.  They go before the run's own; a minute the run has made
  // too is the run's.
  void FillMinutes(const std::vector<MinuteRecord>& records);

  // Any thread: a copy of one view.  The second form copies into `view`,
  // whose buffer, once as large as the ring, is used again: a window that
  // reads once a second allocates nothing after its first reading.
  HistoryView Snapshot(HistoryScale scale) const;
  void Snapshot(HistoryScale scale, HistoryView* view) const;

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
  bool sink_ended_ = false;

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
