// Cost of the statistics window's once-a-second refresh: the figures alone
// (copy of the block, the user's format, the ten texts) and the whole
// RefreshFigures on a real window, once with labels that already show the
// figures and once with every sample changing the count.
//
//   statistics_refresh_win_bench [seconds-per-case]
#include <windows.h>

#include <cstdlib>

#include "bench_timing.h"
#include "dialogs/statistics_form_win.h"
#include "dialogs/statistics_model.h"
#include "sampling/memory.h"
#include "sampling/processor_load.h"
#include "sampling/res_monitor.h"
#include "util/platform.h"

namespace {

// A steady 25 % on each of two processors and the all-processors entry.
class SteadyLoad : public zt::IProcessorLoad {
 public:
  void RefreshProcessorCounters() override {}
  int32_t GetProcessorCount() override { return 3; }
  double GetProcessorLoad(int32_t) override { return 0.25; }
  void ReleaseProcessorCounters() override {}
};

// 8 GB of which 3000 MB are free.
class SteadyMemory : public zt::IMemoryStatus {
 public:
  void Figures(bool, uint64_t& total, uint64_t& available) override {
    total = 8192ull << 20;
    available = 3000ull << 20;
  }
};

}  // namespace

int main(int argc, char** argv) {
  using namespace zt;
  if (argc > 1) bench::g_seconds = std::atof(argv[1]);
  SteadyLoad load;
  SteadyMemory memory;
  const ScopedOverride<IProcessorLoad> use_load(load);
  const ScopedOverride<IMemoryStatus> use_memory(memory);
  TResMonitor monitor(nullptr);
  monitor.Initialize();
  for (int i = 0; i < 1000; ++i) monitor.UpdateStatistics();
  ResMonitor = &monitor;

  bench::Report("figures only (copy, user format, ten texts)", bench::Measure([&] {
                  const StatisticsTexts t =
                      StatisticsFigureTexts(monitor.CopyStatistics(), GetTickCountMs(), UserFigureFormat());
                  if (t.text[0].empty()) std::abort();
                }));

  TForm_Statistics form(nullptr);
  if (!form.Create(GetModuleHandleW(nullptr), nullptr)) return 1;
  bench::Report("RefreshFigures, labels unchanged", bench::Measure([&] { form.RefreshFigures(); }));
  bench::Report("RefreshFigures, a new sample each call", bench::Measure([&] {
                  monitor.UpdateStatistics();
                  form.RefreshFigures();
                }));
  ResMonitor = nullptr;
  return 0;
}
