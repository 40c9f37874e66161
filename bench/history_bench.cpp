// The history's costs: the memory of its two rings, what one sample adds to
// a monitor pass (the records alone, the process list being a fake), and
// the reading of the real process list with the sharing out of the time
// that every 5 s adds; beside them a window's copy of each view and the
// clipboard text of the last hour.
//
//   history_bench [seconds-per-case]
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "sampling/history.h"
#include "sampling/history_text.h"
#include "sampling/process_times.h"
#include "util/platform.h"

#include "bench_timing.h"

namespace {

class NoProcesses : public zt::IProcessTimes {
 public:
  bool Read(std::vector<zt::ProcessTime>& out) override {
    out.clear();
    return true;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2) bench::g_seconds = std::atof(argv[1]);
  std::printf("rings: %zu bytes (%zu per second record x %zu, %zu per minute record x %zu)\n",
              zt::History::RingBytes(), sizeof(zt::SecondRecord), zt::History::kSeconds,
              sizeof(zt::MinuteRecord), zt::History::kMinutes);

  zt::History history;
  {
    NoProcesses none;
    zt::ScopedOverride<zt::IProcessTimes> use(none);
    zt::History filled;
    zt::HistorySample s;
    s.processors = 4;
    s.rate_ms = 100;
    s.memory_read = true;
    s.load_read = true;
    const double day = zt::NowAsDateTime();
    uint64_t n = 0;
    auto add = [&] {
      s.tick_ms = n * 100;
      s.local_time = day + static_cast<double>(n) / 864000.0;
      s.load = static_cast<double>(n % 100);
      ++n;
      filled.AddSample(s);
    };
    bench::Report("one sample into the records (Rate=100)", bench::Measure(add));
    // A day of samples, so that both rings are full for the copies below.
    while (n < 864000) add();
    bench::Report("copy of the last hour (3600 records)",
                  bench::Measure([&] { (void)filled.Snapshot(zt::HistoryScale::kSeconds); }));
    bench::Report("copy of the last day (1440 records)",
                  bench::Measure([&] { (void)filled.Snapshot(zt::HistoryScale::kMinutes); }));
    const zt::HistoryView hour = filled.Snapshot(zt::HistoryScale::kSeconds);
    bench::Report("clipboard text of the last hour",
                  bench::Measure([&] { (void)zt::HistoryClipboardText(hour, zt::Language::English); }));
  }

  // The 5-second step with the real list: one reading, compared with the one before.
  zt::IProcessTimes& real = zt::Seam<zt::IProcessTimes>::Real();
  std::vector<zt::ProcessTime> now;
  std::vector<zt::ProcessUse> used;
  zt::ProcessIntervals intervals;
  real.Read(now);
  std::printf("processes listed: %zu\n", now.size());
  bench::Report("process list read and shared out (every 5 s)", bench::Measure([&] {
                  real.Read(now);
                  intervals.Next(now, used);
                }));
  return 0;
}
