#include "sampling/processor_load_win.h"

#include <winperf.h>

#include <algorithm>

#include "sampling/perf_data.h"
#include "util/dynamic_calls_win.h"
#include "util/platform.h"
#include "util/registry.h"

namespace zt {

namespace {

constexpr DWORD kInitialBufferSize = 8192;
constexpr DWORD kBufferGrowth = 4096;
constexpr ULONG kSystemProcessorPerformanceInformation = 8;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004L);
constexpr size_t kMaxProcessorEntries = 4096;

// The portable walker reads the layout by offsets and names the counter type
// by number: both must be the system's.
static_assert(kPerf100nsTimerInv == PERF_100NSEC_TIMER_INV, "counter type");
static_assert(perf_layout::kCounterType == offsetof(PERF_COUNTER_DEFINITION, CounterType),
              "counter type offset");
static_assert(perf_layout::kCounterSize == offsetof(PERF_COUNTER_DEFINITION, CounterSize),
              "counter size offset");
static_assert(perf_layout::kInstanceNameOffset == offsetof(PERF_INSTANCE_DEFINITION, NameOffset),
              "instance name offset");
static_assert(perf_layout::kInstanceNameLength == offsetof(PERF_INSTANCE_DEFINITION, NameLength),
              "instance name length");

}  // namespace

// ---------------------------------------------------------------------------

PerfDataIdleSource::PerfDataIdleSource() : buffer_(kInitialBufferSize, 0) {}

PerfDataIdleSource::~PerfDataIdleSource() { Close(); }

void PerfDataIdleSource::Close() {
  // Closing the key unloads the performance libraries the queries loaded.
  if (open_) RegCloseKey(HKEY_PERFORMANCE_DATA);
  open_ = false;
}

size_t PerfDataIdleSource::Query() {
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer_.size());
    DWORD type = 0;
    const LONG rc =
        RegQueryValueExW(HKEY_PERFORMANCE_DATA, L"238", nullptr, &type, buffer_.data(), &size);
    open_ = true;
    if (rc == ERROR_MORE_DATA) {
      buffer_.resize(buffer_.size() + kBufferGrowth);
      continue;
    }
    // A failed query leaves the previous reading in the buffer: walking it
    // would pass old figures off as new ones.
    if (rc != ERROR_SUCCESS) return 0;
    return std::min<size_t>(size, buffer_.size());
  }
}

void PerfDataIdleSource::ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) {
  const size_t size = Query();
  try {
    ReadProcessorIdleCounters(buffer_.data(), size, idle, time_100ns);
  } catch (...) {
    Close();
    throw;
  }
}

// ---------------------------------------------------------------------------

namespace {

class NtGroupReader final : public IProcessorGroupReader {
 public:
  NtGroupReader() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    times_.resize(std::max<DWORD>(info.dwNumberOfProcessors, 1));
  }

  uint16_t GroupCount() override { return ActiveProcessorGroups(); }

  bool AppendIdleTimes(uint16_t group, std::vector<int64_t>& idle) override {
    const size_t count = QueryGroup(group);
    for (size_t i = 0; i < count; ++i) idle.push_back(times_[i].IdleTime.QuadPart);
    return count != 0;
  }

  uint32_t ProcessorsInGroup(uint16_t group) override {
    return Kernel32().GetActiveProcessorCount ? Kernel32().GetActiveProcessorCount(group) : 0;
  }

  int64_t Now() override {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) |
                                now.dwLowDateTime);
  }

 private:
  // The processors of one group into times_; their number, 0 on failure.
  size_t QueryGroup(uint16_t group) {
    // With one group the plain call answers for it, as it always has; with
    // several only the Ex call can be told which one.
    const bool by_group = ActiveProcessorGroups() > 1;
    const NtdllCalls& nt = Ntdll();
    if (by_group ? !nt.NtQuerySystemInformationEx : (!nt.NtQuerySystemInformation || group != 0)) return 0;
    if (by_group) {
      const DWORD in_group = ProcessorsInGroup(group);
      if (in_group > times_.size() && in_group <= kMaxProcessorEntries) times_.resize(in_group);
    }
    for (;;) {
      ULONG returned = 0;
      const ULONG bytes = static_cast<ULONG>(times_.size() * sizeof(NtProcessorIdleSource::ProcessorTimes));
      USHORT which = group;
      const LONG status =
          by_group ? nt.NtQuerySystemInformationEx(kSystemProcessorPerformanceInformation, &which, sizeof which,
                                                   times_.data(), bytes, &returned)
                   : nt.NtQuerySystemInformation(kSystemProcessorPerformanceInformation, times_.data(), bytes,
                                                 &returned);
      if (status == kStatusInfoLengthMismatch && times_.size() < kMaxProcessorEntries) {
        times_.resize(times_.size() * 2);
        continue;
      }
      if (status < 0) return 0;
      return std::min<size_t>(returned / sizeof(NtProcessorIdleSource::ProcessorTimes), times_.size());
    }
  }

  std::vector<NtProcessorIdleSource::ProcessorTimes> times_;
};

}  // namespace

uint16_t ActiveProcessorGroups() {
  const auto count = Kernel32().GetActiveProcessorGroupCount;
  const WORD groups = count ? count() : 0;
  return groups > 0 ? groups : 1;
}

NtProcessorIdleSource::NtProcessorIdleSource()
    // The performance data ends with the "_Total" instance from Windows 2000
    // on; the sampler relies on that convention.
    : ProcessorGroupsIdleSource(std::make_unique<NtGroupReader>(), IsWindows2000OrLater()) {}

size_t NtProcessorIdleSource::Query() {
  scratch_.clear();
  const uint16_t groups = reader().GroupCount();
  for (uint16_t g = 0; g < groups; ++g) {
    if (!reader().AppendIdleTimes(g, scratch_)) return 0;
  }
  return scratch_.size();
}

// ---------------------------------------------------------------------------

std::unique_ptr<IProcessorLoad> CreatePlatformProcessorLoad() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(&info)) throw EProcessorLoad(kMsgCannotGetVersion);
  if (info.dwPlatformId != VER_PLATFORM_WIN32_NT)
    return std::make_unique<Win9xProcessorLoad>(SystemRegistry());
  // The performance data's Processor object keeps its limit of 64
  // processors on machines with processor groups (the counter set that
  // covers them all has no title index to ask for): there the system call,
  // asked group by group, comes first.
  std::vector<std::unique_ptr<IIdleTimeSource>> sources;
  if (ActiveProcessorGroups() > 1) sources.push_back(std::make_unique<NtProcessorIdleSource>());
  sources.push_back(std::make_unique<PerfDataIdleSource>());
  if (ActiveProcessorGroups() == 1) sources.push_back(std::make_unique<NtProcessorIdleSource>());
  return std::make_unique<IdleTimeProcessorLoad>(
      std::make_unique<FirstWorkingIdleSource>(std::move(sources)));
}

}  // namespace zt
