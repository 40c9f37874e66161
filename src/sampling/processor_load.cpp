#include "sampling/processor_load.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

#include "util/caught.h"
#include "util/platform.h"
#include "util/registry.h"
#include "util/thread_pause.h"

namespace zt {

const char* const kMsgCannotGetVersion = "Cannot get the Windows version";
const char* const kMsgIndexOutOfBounds = "CPU index out of bounds";
const char* const kMsgNoProcessorObject = "Unable to locate the \"Processor\" performance object";
const char* const kMsgNoProcessorCounter =
    "Unable to locate the \"% of CPU usage\" performance counter";
const char* const kMsgCannotStart9x = "Unable to start performance monitoring";
const char* const kMsgCannotRead9x = "Unable to read performance data";
const char* const kMsgClockChanged = "The system time changed between two readings";
const char* const kMsgIntervalTooShort =
    "The interval between two readings is too short to measure";

namespace {

// The stamps are system time, which moves on in steps of the system tick
// (up to 15.6 ms on Windows) and, from the performance data, in whole
// milliseconds: two stamps can lie up to two steps further apart than the
// time that passed between them, however short that was.
constexpr long double kStampSlack100ns = 2 * 160000;
// More than this many times the time that passed is no longer a coarse
// stamp but a clock that was set.
constexpr long double kMaxStampStretch = 10;

// Differences of counters taken from outside data: wrap instead of
// overflowing.
int64_t Difference(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}

}  // namespace

// ---------------------------------------------------------------------------

FirstWorkingIdleSource::FirstWorkingIdleSource(
    std::vector<std::unique_ptr<IIdleTimeSource>> sources)
    : sources_(std::move(sources)) {}

void FirstWorkingIdleSource::ReadFrom(size_t i, std::vector<int64_t>& idle, int64_t& time_100ns) {
  sources_[i]->ReadIdleTimes(idle, time_100ns);
  if (idle.empty()) throw EProcessorLoad(kMsgNoProcessorObject);
}

void FirstWorkingIdleSource::ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) {
  if (chosen_ >= 0) {
    try {
      ReadFrom(static_cast<size_t>(chosen_), idle, time_100ns);
      failures_ = 0;
      return;
    } catch (const EProcessorLoad&) {
      if (++failures_ < kFailuresBeforeChange) throw;
      // The source in use keeps failing: another one that works takes over.
      for (size_t i = 0; i < sources_.size(); ++i) {
        if (static_cast<int>(i) == chosen_) continue;
        try {
          ReadFrom(i, idle, time_100ns);
        } catch (const EProcessorLoad&) {
          continue;
        }
        chosen_ = static_cast<int>(i);
        failures_ = 0;
        ++generation_;
        return;
      }
      idle.clear();
      throw;
    }
  }
  std::string first_error;
  for (size_t i = 0; i < sources_.size(); ++i) {
    try {
      ReadFrom(i, idle, time_100ns);
      chosen_ = static_cast<int>(i);
      return;
    } catch (const EProcessorLoad& e) {
      if (first_error.empty()) first_error = e.what();
    }
  }
  idle.clear();
  throw EProcessorLoad(first_error.empty() ? kMsgNoProcessorObject : first_error);
}

int32_t FirstWorkingIdleSource::MachineProcessorCount() {
  int32_t most = 0;
  for (const auto& source : sources_) most = std::max(most, source->MachineProcessorCount());
  return most;
}

// ---------------------------------------------------------------------------

ProcessorGroupsIdleSource::ProcessorGroupsIdleSource(std::unique_ptr<IProcessorGroupReader> reader,
                                                     bool with_aggregate)
    : reader_(std::move(reader)), with_aggregate_(with_aggregate) {}

void ProcessorGroupsIdleSource::ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) {
  idle.clear();
  const uint16_t groups = std::max<uint16_t>(reader_->GroupCount(), 1);
  for (uint16_t g = 0; g < groups; ++g) {
    if (!reader_->AppendIdleTimes(g, idle)) {
      idle.clear();
      throw EProcessorLoad(kMsgNoProcessorObject);
    }
  }
  if (idle.empty()) throw EProcessorLoad(kMsgNoProcessorObject);
  if (with_aggregate_) {
    // Summed wide: hundreds of processors' idle times over a long uptime.
    long double total = 0;
    for (int64_t v : idle) total += static_cast<long double>(v);
    idle.push_back(static_cast<int64_t>(total / static_cast<long double>(idle.size())));
  }
  time_100ns = reader_->Now();
}

int32_t ProcessorGroupsIdleSource::MachineProcessorCount() {
  const uint16_t groups = std::max<uint16_t>(reader_->GroupCount(), 1);
  int64_t total = 0;
  for (uint16_t g = 0; g < groups; ++g) {
    const uint32_t in_group = reader_->ProcessorsInGroup(g);
    if (in_group == 0) return 0;
    total += in_group;
  }
  return static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
}

// ---------------------------------------------------------------------------

IdleTimeProcessorLoad::IdleTimeProcessorLoad(std::unique_ptr<IIdleTimeSource> source,
                                             SteadyClock steady, Pause pause)
    : source_(std::move(source)), steady_(std::move(steady)), pause_(std::move(pause)) {}

void IdleTimeProcessorLoad::PauseFor(int64_t duration_100ns) {
  // Rounded up, so that the reading after it is far enough.
  const auto ms = static_cast<uint32_t>((duration_100ns + 9999) / 10000);
  if (!PauseThroughWaiter(ms)) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool IdleTimeProcessorLoad::ReadFarEnough(int64_t& stamp, int64_t& steady,
                                          uint32_t& generation) {
  source_->ReadIdleTimes(reading_, stamp);
  if (reading_.empty()) throw EProcessorLoad(kMsgNoProcessorObject);
  steady = steady_();
  generation = source_->Generation();
  if (count_ < 0 || generation != generation_) return true;
  // A steady clock does not go back; should one, the stamps' own check
  // judges the reading.
  // Wrapped, not overflowing, should a clock jump to its ends; a jump back
  // then reads as negative.
  const int64_t passed = Difference(steady, steady_time_);
  return passed < 0 || passed >= kMinInterval;
}

int64_t IdleTimeProcessorLoad::SteadyNow() {
  using Ticks = std::chrono::duration<int64_t, std::ratio<1, 10000000>>;
  return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool IdleTimeProcessorLoad::ClockStepped(int64_t stamp, int64_t steady) const {
  // Not wrapped like the counters: a stamp from before the last one must
  // read as going back, however far.
  const long double stamped = static_cast<long double>(stamp) - static_cast<long double>(time_);
  const long double passed =
      static_cast<long double>(steady) - static_cast<long double>(steady_time_);
  return stamped < 0 || stamped > kMaxStampStretch * passed + kStampSlack100ns;
}

void IdleTimeProcessorLoad::RefreshProcessorCounters() {
  // The reading is taken completely before any state changes, so a failed
  // reading leaves the previous one intact.
  int64_t stamp = 0, steady = 0;
  uint32_t generation = 0;
  if (!ReadFarEnough(stamp, steady, generation)) {
    pause_(kMinInterval - Difference(steady, steady_time_));
    if (!ReadFarEnough(stamp, steady, generation)) throw EProcessorLoad(kMsgIntervalTooShort);
  }
  const bool stepped = count_ >= 0 && generation == generation_ && ClockStepped(stamp, steady);
  if (count_ < 0) {
    count_ = static_cast<int32_t>(reading_.size());
    const size_t n = reading_.size();
    counters_.assign(n, 0);
    previous_counters_.assign(n, 0);
    present_.assign(n, 0);
    previous_present_.assign(n, 0);
  } else if (generation != generation_) {
    // Another source's counters mean nothing against this one's.
    std::fill(present_.begin(), present_.end(), 0);
  }
  generation_ = generation;
  const size_t n = static_cast<size_t>(count_);
  for (size_t i = 0; i < n; ++i) {
    previous_counters_[i] = counters_[i];
    previous_present_[i] = present_[i];
    if (i < reading_.size() && reading_[i] != kIdleTimeMissing) {
      counters_[i] = reading_[i];
      present_[i] = 1;
    } else {
      counters_[i] = 0;
      present_[i] = 0;
    }
  }
  // What the load shows: the processors of this reading, as far as the
  // instances fixed at the first one hold them, the aggregate left out.
  const auto read = std::count_if(reading_.begin(), reading_.end(), [](int64_t v) { return v != kIdleTimeMissing; });
  int32_t measured = static_cast<int32_t>(std::min<ptrdiff_t>(read, count_));
  if (measured > 1 && IsWindows2000OrLater()) --measured;
  coverage_ = {measured, source_->MachineProcessorCount()};
  previous_time_ = time_;
  time_ = stamp;
  steady_time_ = steady;
  // Kept all the same: the next reading is compared with this one, on the
  // clock as it is now set.
  clock_stepped_ = stepped;
  if (stepped) throw EProcessorLoad(kMsgClockChanged);
}

int32_t IdleTimeProcessorLoad::GetProcessorCount() {
  if (count_ < 0) RefreshProcessorCounters();
  return count_;
}

double IdleTimeProcessorLoad::GetProcessorLoad(int32_t index) {
  if (count_ < 0) RefreshProcessorCounters();
  if (index < 0 || index >= count_) throw EProcessorLoad(kMsgIndexOutOfBounds);
  if (clock_stepped_) throw EProcessorLoad(kMsgClockChanged);
  if (time_ == previous_time_) return 0.0;
  const size_t i = static_cast<size_t>(index);
  // Without two readings of this instance there is no idle share to compare.
  if (!present_[i] || !previous_present_[i]) return 0.0;
  const long double idle = static_cast<long double>(Difference(counters_[i], previous_counters_[i]));
  const long double elapsed = static_cast<long double>(Difference(time_, previous_time_));
  return static_cast<double>(1.0L - idle / elapsed);
}

// ---------------------------------------------------------------------------

namespace {

const char kStartStatKey[] = "PerfStats\\StartStat";
const char kStatDataKey[] = "PerfStats\\StatData";
const char kStopStatKey[] = "PerfStats\\StopStat";
const char kCpuUsageValue[] = "KERNEL\\CPUUsage";

// Reads the 4-byte statistic; false when the value cannot be read.
bool ReadUsage(IRegistryKey& key, uint32_t& usage) {
  auto bytes = key.ReadBinary(kCpuUsageValue);
  if (!bytes || bytes->size() < 4) return false;
  usage = static_cast<uint32_t>((*bytes)[0]) | (static_cast<uint32_t>((*bytes)[1]) << 8) |
          (static_cast<uint32_t>((*bytes)[2]) << 16) | (static_cast<uint32_t>((*bytes)[3]) << 24);
  return true;
}

}  // namespace

Win9xProcessorLoad::Win9xProcessorLoad(IRegistry& registry) : registry_(registry) {}

Win9xProcessorLoad::~Win9xProcessorLoad() {
  try {
    ReleaseProcessorCounters();
  } catch (...) {
    RecordCaught("releasing the processor counters");
  }
}

void Win9xProcessorLoad::RefreshProcessorCounters() {
  if (!collecting_) {
    {
      auto start = registry_.OpenKey(RegRoot::DynData, kStartStatKey, RegAccess::AllAccess);
      if (!start) throw EProcessorLoad(kMsgCannotStart9x);
      // Reading the value is what starts the statistic; its figure is not
      // meaningful yet.
      ReadUsage(*start, usage_);
    }
    stat_key_ = registry_.OpenKey(RegRoot::DynData, kStatDataKey, RegAccess::Read);
    if (!stat_key_) throw EProcessorLoad(kMsgCannotRead9x);
    collecting_ = true;
  }
  // A failed read must not pass the previous figure off as a new one.
  if (!ReadUsage(*stat_key_, usage_)) throw EProcessorLoad(kMsgCannotRead9x);
}

double Win9xProcessorLoad::GetProcessorLoad(int32_t index) {
  if (index != 0) throw EProcessorLoad(kMsgIndexOutOfBounds);
  if (!collecting_) RefreshProcessorCounters();
  return usage_ / 100.0;
}

void Win9xProcessorLoad::ReleaseProcessorCounters() {
  if (!collecting_) return;
  collecting_ = false;
  stat_key_.reset();
  if (auto stop = registry_.OpenKey(RegRoot::DynData, kStopStatKey, RegAccess::AllAccess)) {
    uint32_t ignored = 0;
    ReadUsage(*stop, ignored);
  }
}

// ---------------------------------------------------------------------------

void SampleCpuLoad(IProcessorLoad& source, int32_t cpu_count, double& cpu_usage,
                   std::vector<double>& cpu_usages) {
  auto clamp = [](double v) {
    if (!(v >= 0)) return 0.0;
    if (v > 100) return 100.0;
    return v;
  };
  source.RefreshProcessorCounters();
  if (cpu_count <= 1) {
    cpu_usage = clamp(source.GetProcessorLoad(0) * 100);
    return;
  }
  if (cpu_usages.size() != static_cast<size_t>(cpu_count))
    cpu_usages.resize(static_cast<size_t>(cpu_count));
  double total = 0;
  for (int32_t i = 0; i < cpu_count; ++i) {
    const double v = clamp(source.GetProcessorLoad(i) * 100);
    cpu_usages[static_cast<size_t>(i)] = v;
    total += v;
  }
  cpu_usage = total / cpu_count;
}

// ---------------------------------------------------------------------------

namespace {
// The Windows 9x source stops its statistic through the registry when the
// program ends, so the registry object must be created before this slot and
// therefore outlive it.
struct ProcessWideSlot {
  ProcessWideSlot() { static_cast<void>(SystemRegistry()); }
  std::unique_ptr<IProcessorLoad> source;
};
std::unique_ptr<IProcessorLoad>& ProcessWideSource() {
  static ProcessWideSlot slot;
  return slot.source;
}
}  // namespace

template <>
IProcessorLoad& Seam<IProcessorLoad>::Real() {
  auto& source = ProcessWideSource();
  if (!source) source = CreatePlatformProcessorLoad();
  return *source;
}

}  // namespace zt
