// Cost of one processor-load reading (a refresh plus the load of every
// instance) next to the bare operating-system query it is built on, and the
// number of heap allocations a steady-state reading makes (expected: none).
//
//   processor_load_bench [seconds-per-case]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <vector>

#include "sampling/processor_load.h"
#ifdef _WIN32
#include "sampling/processor_load_win.h"
#else
#include "sampling/processor_load_linux.h"
#endif

#include "bench_timing.h"

namespace {

using bench::Measure;
using bench::Report;
using bench::Timing;

}  // namespace

// The readings follow each other far faster than a sampler takes them; to
// the load each one seems to come a measurable interval after the last, so
// the cost of a reading is measured and not the pause that would precede it.
int64_t SpacedReadings() {
  static int64_t now = 0;
  return now += zt::IdleTimeProcessorLoad::kMinInterval;
}

int main(int argc, char** argv) {
  if (argc > 1) bench::g_seconds = std::atof(argv[1]);
  if (bench::g_seconds <= 0) bench::g_seconds = 1.0;
  using namespace zt;
  try {
#ifdef _WIN32
    PerfDataIdleSource perf;
    Report("bare RegQueryValueExW(HKEY_PERFORMANCE_DATA, \"238\")", Measure([&] { perf.Query(); }));
    std::printf("  %zu bytes returned, buffer %zu bytes\n", perf.Query(), perf.buffer_size());
    NtProcessorIdleSource nt;
    Report("bare NtQuerySystemInformation(processor times)", Measure([&] { nt.Query(); }));

    auto perf_source = std::make_unique<PerfDataIdleSource>();
    auto nt_source = std::make_unique<NtProcessorIdleSource>();
    std::vector<std::unique_ptr<IIdleTimeSource>> list;
    list.push_back(std::move(perf_source));
    list.push_back(std::move(nt_source));
    auto chain = std::make_unique<FirstWorkingIdleSource>(std::move(list));
    FirstWorkingIdleSource* chosen = chain.get();
    IdleTimeProcessorLoad load(std::move(chain), SpacedReadings);
#else
    ProcStatIdleSource stat;
    Report("bare read of /proc/stat (kept descriptor)", Measure([&] { stat.ReadFile(); }));
    IdleTimeProcessorLoad load(std::make_unique<ProcStatIdleSource>(), SpacedReadings);
#endif
    const int32_t count = load.GetProcessorCount();
#ifdef _WIN32
    std::printf("source: %s\n", chosen->chosen() == 0 ? "performance data" : "NtQuerySystemInformation");
#endif
    std::printf("instances: %d\n", count);
    volatile double sink = 0;
    Report("reading: refresh + every GetProcessorLoad", Measure([&] {
             load.RefreshProcessorCounters();
             for (int32_t i = 0; i < count; ++i) sink = sink + load.GetProcessorLoad(i);
           }));
    const int32_t cpus = count > 1 ? count - 1 : 1;
    double usage = 0;
    std::vector<double> usages(static_cast<size_t>(cpus));
    Report("SampleCpuLoad (sampler step)",
           Measure([&] { SampleCpuLoad(load, cpus, usage, usages); }));
    std::printf("last total load: %.1f %%\n", usage);
  } catch (const EProcessorLoad& e) {
    std::printf("error: %s\n", e.what());
    return 1;
  }
  return 0;
}
