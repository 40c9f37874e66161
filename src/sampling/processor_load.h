// Processor-load source: turns the operating system's per-processor idle
// time into a load fraction per processor.  Used by the monitor thread, once
// by the main window at start-up, and by the identification library's usage
// object (handed to it by the program).  Portable interface; the OS query
// sits behind IIdleTimeSource.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "util/errors.h"

#include "util/seam.h"

namespace zt {

// Raised by every failure of the processor-load source, with one of the
// messages below (English, shown as they are).
class EProcessorLoad : public EZettrimError {
 public:
  using EZettrimError::EZettrimError;
};

extern const char* const kMsgCannotGetVersion;    // "Cannot get the Windows version"
extern const char* const kMsgIndexOutOfBounds;    // "CPU index out of bounds"
extern const char* const kMsgNoProcessorObject;   // "Unable to locate the \"Processor\" performance object"
extern const char* const kMsgNoProcessorCounter;  // "Unable to locate the \"% of CPU usage\" performance counter"
extern const char* const kMsgCannotStart9x;       // "Unable to start performance monitoring"
extern const char* const kMsgCannotRead9x;        // "Unable to read performance data"
extern const char* const kMsgClockChanged;        // "The system time changed between two readings"
extern const char* const kMsgIntervalTooShort;    // "The interval between two readings is too short to measure"

// How many of the machine's processors the load readings cover.
struct LoadCoverage {
  int32_t measured = 0;  // processors in the latest reading, the aggregate left out
  int32_t machine = 0;   // processors of the machine, every group counted; 0 when unknown
  // The load is that of some of the processors only, not the machine's.
  bool Partial() const { return measured > 0 && machine > measured; }
};

// The operations every load source offers.
class IProcessorLoad {
 public:
  virtual ~IProcessorLoad() = default;
  // Takes a new reading; raises EProcessorLoad on failure.
  virtual void RefreshProcessorCounters() = 0;
  // Number of processor instances (the aggregate included where the system
  // publishes one).  Takes a first reading when none exists yet.
  virtual int32_t GetProcessorCount() = 0;
  // Load of one instance as a fraction (nominally 0..1, not clamped).
  virtual double GetProcessorLoad(int32_t index) = 0;
  // Stops whatever statistic the source started.
  virtual void ReleaseProcessorCounters() = 0;
  // Whose load the latest reading that worked is; a source that cannot tell
  // answers an unknown machine.
  virtual LoadCoverage Coverage() const { return {}; }
};

// ---------------------------------------------------------------------------
// Building blocks of the sources (additions for the platform layers and tests).

// An idle-time source may report this for an instance absent from one reading.
constexpr int64_t kIdleTimeMissing = INT64_MIN;

// Where per-processor idle time comes from.  One reading yields the idle time
// of every instance in instance order (an all-processors aggregate, where
// there is one, last), in 100-ns units, and the time stamp of the reading in
// 100-ns units of wall-clock time.
class IIdleTimeSource {
 public:
  virtual ~IIdleTimeSource() = default;
  // Fills `idle` (cleared first; implementations keep its capacity so a steady
  // state allocates nothing) and `time_100ns`; raises EProcessorLoad when no
  // reading can be taken.
  virtual void ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) = 0;
  // Changes when a reading can no longer be compared with the ones before it
  // (another source took over); a source that never changes answers 0.
  virtual uint32_t Generation() const { return 0; }
  // The processors of the machine, every group counted, whether or not the
  // readings hold them all; 0 when the source cannot tell.
  virtual int32_t MachineProcessorCount() { return 0; }
};

// Tries its sources in order until one gives a reading with at least one
// instance, then keeps that source while it works.  A single failed or empty
// reading is raised as it is; after kFailuresBeforeChange of them in a row,
// the other sources are tried in order and the first that gives a reading
// takes over (the Generation changes).  When none works at the first
// reading, raises the error of the first source.
class FirstWorkingIdleSource : public IIdleTimeSource {
 public:
  static constexpr int kFailuresBeforeChange = 3;

  explicit FirstWorkingIdleSource(std::vector<std::unique_ptr<IIdleTimeSource>> sources);
  void ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) override;
  uint32_t Generation() const override { return generation_; }
  // The largest count any of the sources knows.
  int32_t MachineProcessorCount() override;
  // Index of the source in use, or -1 before the first successful reading.
  int chosen() const { return chosen_; }

 private:
  // One reading of source i; an empty one raises like a failed one.
  void ReadFrom(size_t i, std::vector<int64_t>& idle, int64_t& time_100ns);

  std::vector<std::unique_ptr<IIdleTimeSource>> sources_;
  int chosen_ = -1;
  int failures_ = 0;  // failed readings of the source in use, in a row
  uint32_t generation_ = 0;
};

// Machines with more than 64 logical processors are split into processor
// groups, and the system call that reports processor times answers for one
// group at a time.  A reader gives the groups one by one.
class IProcessorGroupReader {
 public:
  virtual ~IProcessorGroupReader() = default;
  // Active groups; at least 1 (0 is taken as 1).
  virtual uint16_t GroupCount() = 0;
  // Appends the idle time (100-ns units) of each processor of `group`, in
  // processor order; false when the group cannot be read.
  virtual bool AppendIdleTimes(uint16_t group, std::vector<int64_t>& idle) = 0;
  // Wall-clock time of the reading, 100-ns units.
  virtual int64_t Now() = 0;
  // The processors of `group` (whether or not the system lets them be
  // read); 0 when the system cannot tell.
  virtual uint32_t ProcessorsInGroup(uint16_t /*group*/) { return 0; }
};

// Every processor of every group, group 0 first, as the instances; then, with
// an aggregate, the mean idle time of them all as the last instance (the
// performance data's "_Total" convention that the sampler relies on).  A
// group that cannot be read fails the whole reading: a total over some of
// the processors would pass for the machine's.
class ProcessorGroupsIdleSource : public IIdleTimeSource {
 public:
  ProcessorGroupsIdleSource(std::unique_ptr<IProcessorGroupReader> reader, bool with_aggregate);
  void ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) override;
  // The processors of every group; 0 when any group's count is unknown.
  int32_t MachineProcessorCount() override;

 protected:
  IProcessorGroupReader& reader() { return *reader_; }

 private:
  std::unique_ptr<IProcessorGroupReader> reader_;
  bool with_aggregate_;
};

// The NT-family (and Linux) load source: compares two readings of each
// instance's idle time.  The instance count and the counter arrays are fixed
// at the first successful reading.  A load needs two readings: before the
// second one every instance reads 0.  An instance missing from a later reading
// (fewer instances, or reported as kIdleTimeMissing) reads as idle (load 0)
// until two consecutive readings carry it again.  A failed reading, and one
// without any instance, raises and changes nothing, so the next good one is
// compared with the last good one.  A reading from another source (a new
// Generation) is not compared with the ones before it: it reads 0 and is the
// base for the next.
//
// The readings are stamped with the system time, which the user (or a time
// service) can set.  A reading whose stamp lies before the one of the reading
// before, or after it by more than ten times the time that really passed
// between the two (measured on `steady`, a clock nobody sets), would give a
// load of 100 % or 0 % for every processor: it raises kMsgClockChanged
// instead, and GetProcessorLoad raises the same until the next reading, but
// it is kept as the base for the next one, which is compared with it.
//
// The counters move in steps of the system tick (up to 15.6 ms), so a
// reading taken less than kMinInterval after the base (by the steady clock)
// would be mostly step: the start-up reading and the monitor's first ones
// follow each other within microseconds and read 0 % or 100 %.  Such a
// reading is not taken: the source waits out the rest of kMinInterval and
// reads again.  Should that one still come too early (the pause was cut
// short), it raises kMsgIntervalTooShort and changes nothing, so the next
// reading is compared with the same base.
class IdleTimeProcessorLoad : public IProcessorLoad {
 public:
  // A monotonic clock in 100-ns units.
  using SteadyClock = std::function<int64_t()>;
  static int64_t SteadyNow();
  // Pauses the calling thread for a number of 100-ns units.
  using Pause = std::function<void(int64_t)>;
  static void PauseFor(int64_t duration_100ns);
  static constexpr int64_t kMinInterval = 50 * 10000;  // 50 ms

  explicit IdleTimeProcessorLoad(std::unique_ptr<IIdleTimeSource> source,
                                 SteadyClock steady = SteadyNow, Pause pause = PauseFor);
  void RefreshProcessorCounters() override;
  int32_t GetProcessorCount() override;
  double GetProcessorLoad(int32_t index) override;
  void ReleaseProcessorCounters() override {}
  // The latest reading's processors against the machine's: a source that
  // took over from another (a 32-bit build whose system refuses to read the
  // processor groups one by one falls back to the performance data, which
  // holds one group only) may hold fewer than the machine has.
  LoadCoverage Coverage() const override { return coverage_; }

 private:
  // True when the stamps of the last two readings cannot be compared.
  bool ClockStepped(int64_t stamp, int64_t steady) const;

  // Reads into reading_; true when it came kMinInterval or more after the
  // base (or is the first, or from another source).
  bool ReadFarEnough(int64_t& stamp, int64_t& steady, uint32_t& generation);

  std::unique_ptr<IIdleTimeSource> source_;
  SteadyClock steady_;
  Pause pause_;
  int32_t count_ = -1;
  std::vector<int64_t> counters_, previous_counters_;
  std::vector<uint8_t> present_, previous_present_;
  int64_t time_ = 0, previous_time_ = 0;
  int64_t steady_time_ = 0;  // steady clock at the latest reading
  bool clock_stepped_ = false;
  uint32_t generation_ = 0;
  LoadCoverage coverage_;
  std::vector<int64_t> reading_;  // reused for every reading
};

class IRegistry;
class IRegistryKey;

// The Windows 95/98/Me source: the kernel's own CPU-usage statistic in the
// dynamic-data registry branch.  One instance; the load is the kernel's
// per-cent figure / 100.
class Win9xProcessorLoad : public IProcessorLoad {
 public:
  explicit Win9xProcessorLoad(IRegistry& registry);
  ~Win9xProcessorLoad() override;
  void RefreshProcessorCounters() override;
  int32_t GetProcessorCount() override { return 1; }
  double GetProcessorLoad(int32_t index) override;
  void ReleaseProcessorCounters() override;
  bool collecting() const { return collecting_; }

 private:
  IRegistry& registry_;
  bool collecting_ = false;
  std::unique_ptr<IRegistryKey> stat_key_;
  uint32_t usage_ = 0;
};

// The source for the platform the program runs on (defined per platform).
// Raises EProcessorLoad "Cannot get the Windows version" when the platform
// cannot be told.
std::unique_ptr<IProcessorLoad> CreatePlatformProcessorLoad();

// The sampler's processor step: takes a reading, then sets `cpu_usage` to the
// load in per cent (0..100) and, when cpu_count is above 1, `cpu_usages`[i] to
// the load of instance i for the first cpu_count instances, with cpu_usage
// their mean.  Each figure is clamped: not >= 0 (negative or NaN) gives 0,
// above 100 gives 100.  `cpu_usages` is resized to cpu_count if it has
// another length.  Raises what the source raises.
void SampleCpuLoad(IProcessorLoad& source, int32_t cpu_count, double& cpu_usage,
                   std::vector<double>& cpu_usages);

}  // namespace zt

namespace zt {

// The process-wide source for this platform, created on first use (which
// raises "Cannot get the Windows version" when the platform cannot be told).
// Tests put a fake in its place with ScopedOverride<IProcessorLoad>.
template <>
IProcessorLoad& Seam<IProcessorLoad>::Real();
inline IProcessorLoad& ProcessorLoad() { return Seam<IProcessorLoad>::Get(); }

}  // namespace zt
