// Cost of one monitor pass (processor-load reading, memory query and the
// statistics; the display step excluded) next to the bare operating-system
// queries the pass is built on, with the heap allocations of a steady-state
// pass (expected: none).
//
//   monitor_pass_bench [seconds-per-case]
//   monitor_pass_bench --accuracy [--no-busy]   (Linux) load and clock against
//                                the kernel; --no-busy: start no busy process
//
// The accuracy run keeps one core busy with a child process, takes 20
// samples at Rate 500 and compares the monitor's mean load with the figure
// from /proc/stat over the same interval; then it compares the clock thread's
// figure with the time-stamp frequency measured against the monotonic clock
// over 5 seconds.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <thread>
#include <vector>

#include "sampling/cpu_speed.h"
#include "sampling/memory.h"
#include "sampling/processor_load.h"
#include "sampling/res_monitor.h"
#include "config/config.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "bench_timing.h"

namespace {

using bench::Measure;
using bench::Report;
using bench::Timing;

// The bare queries: exactly the system calls a pass makes, nothing parsed.
#ifdef _WIN32
// The processor-load source reads the performance data (value "238") and,
// where that does not work (Wine), the kernel's per-processor times; both
// are timed.
std::vector<BYTE> g_perf_buffer(65536);
void PerfDataQuery() {
  for (;;) {
    DWORD size = static_cast<DWORD>(g_perf_buffer.size());
    const LONG rc = RegQueryValueExW(HKEY_PERFORMANCE_DATA, L"238", nullptr, nullptr,
                                     g_perf_buffer.data(), &size);
    if (rc == ERROR_MORE_DATA) {
      g_perf_buffer.resize(g_perf_buffer.size() + 4096);
      continue;
    }
    break;
  }
}
using QueryFn = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
QueryFn g_nt_query = nullptr;
std::vector<unsigned char> g_nt_buffer(48 * 64);
void NtTimesQuery() {
  ULONG returned = 0;
  g_nt_query(8 /* SystemProcessorPerformanceInformation */, g_nt_buffer.data(),
             static_cast<ULONG>(g_nt_buffer.size()), &returned);
}
void MemoryQuery() {
  MEMORYSTATUSEX ms = {};
  ms.dwLength = sizeof(ms);
  GlobalMemoryStatusEx(&ms);
}
// Which of the two the source settled on cannot be seen from here; the
// kernel times are the cheaper one and so the stricter comparison.
void BareQueries() {
  NtTimesQuery();
  MemoryQuery();
}
#else
int g_stat_fd = -1, g_meminfo_fd = -1;
char g_buffer[65536];
void BareQueries() {
  if (pread(g_stat_fd, g_buffer, sizeof g_buffer, 0) <= 0) std::abort();
  if (pread(g_meminfo_fd, g_buffer, 8192, 0) <= 0) std::abort();
}
#endif

class NoClock : public zt::IMonitorClock {
 public:
  uint32_t TickCount() override { return 0; }
  uint64_t TickCount64() override { return 0; }
  double Now() override { return 0; }
  int UtcOffset() override { return 0; }
  void Sleep(uint32_t) override {}
};

int RunCost() {
#ifdef _WIN32
  g_nt_query = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!g_nt_query) return 1;
  Report("performance data query alone", Measure(PerfDataQuery));
  Report("kernel processor times query alone", Measure(NtTimesQuery));
#else
  g_stat_fd = open("/proc/stat", O_RDONLY | O_CLOEXEC);
  g_meminfo_fd = open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
  if (g_stat_fd < 0 || g_meminfo_fd < 0) return 1;
#endif
  zt::DisplayMemory = true;
  NoClock clock;
  zt::ScopedOverride<zt::IMonitorClock> use_clock(clock);
  zt::TResMonitor monitor(nullptr);
  monitor.Initialize();
  std::printf("processors sampled: %d\n", monitor.CpuCount);

  const Timing bare = Measure(BareQueries);
  const Timing pass = Measure([&] {
    monitor.SampleCPU();
    monitor.SampleMemory();
    monitor.UpdateStatistics();
  });
  const Timing memory_only = Measure([&] { monitor.SampleMemory(); });
  const Timing cpu_only = Measure([&] { monitor.SampleCPU(); });
  Report("bare OS queries (load + memory)", bare);
  Report("monitor pass (load + memory + statistics)", pass);
  Report("  of which SampleCPU", cpu_only);
  Report("  of which SampleMemory", memory_only);
  std::printf("pass / bare = %.2f (target < 1.5)\n", pass.us_per_op / bare.us_per_op);
  return 0;
}

#ifndef _WIN32
struct StatTimes {
  uint64_t idle = 0, total = 0;
};

StatTimes ReadStat() {
  StatTimes t;
  FILE* f = std::fopen("/proc/stat", "r");
  if (!f) return t;
  unsigned long long v[8] = {};
  if (std::fscanf(f, "cpu %llu %llu %llu %llu %llu %llu %llu %llu", &v[0], &v[1], &v[2], &v[3],
                  &v[4], &v[5], &v[6], &v[7]) == 8) {
    t.idle = v[3] + v[4];
    for (unsigned long long x : v) t.total += x;
  }
  std::fclose(f);
  return t;
}

class NullDisplay : public zt::IMonitorDisplay {
 public:
  void SetGaugeProgress(int) override {}
  int GraphPointCount(int) const override { return 0; }
  void DeleteOldestGraphPoint(int) override {}
  void AddGraphPoint(int, double, double) override {}
  void SetMemoryLabelText(const std::string&) override {}
  void UpdateTrayIcon(int, int) override {}
};

class RecordingSink : public zt::ISpeedSink {
 public:
  void PostSpeed(unsigned mhz) override { last = mhz; }
  std::atomic<unsigned> last{0};
};

int RunAccuracy(bool own_busy_process) {
  // One core kept busy by another process (ours, unless one is busy already).
  const pid_t child = own_busy_process ? fork() : -1;
  if (child == 0) {
    volatile unsigned long x = 0;
    for (;;) x = x + 1;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  zt::Rate = 500;
  zt::DisplayMemory = true;
  NullDisplay display;
  zt::TResMonitor monitor(&display);
  monitor.Start();
  // Reset right after a display step, so the next 20 samples cover exactly
  // the interval between the two /proc/stat readings (up to a millisecond).
  auto serve_until = [&](uint32_t samples) {
    while (monitor.CopyStatistics().Samples < samples) {
      zt::ServeSynchronizeQueue();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  };
  serve_until(2);
  while (zt::ServeSynchronizeQueue() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  monitor.ResetStatistics();
  const StatTimes t0 = ReadStat();
  while (true) {
    if (zt::ServeSynchronizeQueue() > 0 && monitor.CopyStatistics().Samples >= 20) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  const StatTimes t1 = ReadStat();
  const zt::TResStatistics s = monitor.CopyStatistics();
  monitor.Stop();
  const double kernel = 100.0 * (1.0 - static_cast<double>(t1.idle - t0.idle) /
                                           static_cast<double>(t1.total - t0.total));
  std::printf("load over %u samples: monitor %.2f %%, /proc/stat %.2f %%, difference %.2f points\n",
              s.Samples, s.CpuAverage, kernel, s.CpuAverage - kernel);

  // Clock: one measurement of the clock thread, and the counter against the
  // monotonic clock over 5 seconds.
  RecordingSink sink;
  zt::UpdateSpeed = false;
  zt::TCPUSpeed speed(sink);
  speed.Start();
  using Clock = std::chrono::steady_clock;
  const uint64_t c0 = zt::Seam<zt::ICpuMachine>::Get().ReadTsc();
  const auto w0 = Clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(5));
  const uint64_t c1 = zt::Seam<zt::ICpuMachine>::Get().ReadTsc();
  const auto w1 = Clock::now();
  speed.Stop();
  if (child > 0) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  const double tsc_mhz =
      static_cast<double>(c1 - c0) / std::chrono::duration<double>(w1 - w0).count() / 1e6;
  std::printf("clock: thread %u MHz (Speed %.3f), counter over 5 s %.3f MHz, difference %.3f %%\n",
              sink.last.load(), speed.Speed(), tsc_mhz, 100.0 * (speed.Speed() - tsc_mhz) / tsc_mhz);
  return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
  if (argc > 1 && std::strcmp(argv[1], "--accuracy") == 0)
    return RunAccuracy(!(argc > 2 && std::strcmp(argv[2], "--no-busy") == 0));
#endif
  if (argc > 1) bench::g_seconds = std::atof(argv[1]);
  if (bench::g_seconds <= 0) bench::g_seconds = 1.0;
  return RunCost();
}
