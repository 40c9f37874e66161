#include "sampling/processor_load_win.h"

#include <winperf.h>

#include <algorithm>

#include "sampling/perf_data.h"
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

NtProcessorIdleSource::NtProcessorIdleSource() {
  if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
    query_ = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(ntdll, "NtQuerySystemInformation")));
  }
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  times_.resize(std::max<DWORD>(info.dwNumberOfProcessors, 1));
}

size_t NtProcessorIdleSource::Query() {
  if (!query_) return 0;
  for (;;) {
    ULONG returned = 0;
    const ULONG bytes = static_cast<ULONG>(times_.size() * sizeof(ProcessorTimes));
    const LONG status =
        query_(kSystemProcessorPerformanceInformation, times_.data(), bytes, &returned);
    if (status == kStatusInfoLengthMismatch && times_.size() < kMaxProcessorEntries) {
      times_.resize(times_.size() * 2);
      continue;
    }
    if (status < 0) return 0;
    return std::min<size_t>(returned / sizeof(ProcessorTimes), times_.size());
  }
}

void NtProcessorIdleSource::ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) {
  idle.clear();
  const size_t count = Query();
  if (count == 0) throw EProcessorLoad(kMsgNoProcessorObject);
  int64_t total = 0;
  for (size_t i = 0; i < count; ++i) {
    idle.push_back(times_[i].IdleTime.QuadPart);
    total += times_[i].IdleTime.QuadPart;
  }
  // The performance data ends with the "_Total" instance from Windows 2000
  // on; the sampler relies on that convention.
  if (IsWindows2000OrLater()) idle.push_back(total / static_cast<int64_t>(count));
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  time_100ns = static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) |
                                    now.dwLowDateTime);
}

// ---------------------------------------------------------------------------

std::unique_ptr<IProcessorLoad> CreatePlatformProcessorLoad() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(&info)) throw EProcessorLoad(kMsgCannotGetVersion);
  if (info.dwPlatformId != VER_PLATFORM_WIN32_NT)
    return std::make_unique<Win9xProcessorLoad>(SystemRegistry());
  std::vector<std::unique_ptr<IIdleTimeSource>> sources;
  sources.push_back(std::make_unique<PerfDataIdleSource>());
  sources.push_back(std::make_unique<NtProcessorIdleSource>());
  return std::make_unique<IdleTimeProcessorLoad>(
      std::make_unique<FirstWorkingIdleSource>(std::move(sources)));
}

}  // namespace zt
