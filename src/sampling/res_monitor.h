// The resource monitor thread: one sample of processor load and memory every
// `Rate` milliseconds, folded into running statistics and handed to the
// display on the user-interface thread.  It owns the program's one sample
// record.  Portable; the operating system is reached through the
// processor-load source, the memory query and a small clock seam, so tests
// drive it with fakes.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "sampling/history.h"
#include "sampling/memory.h"
#include "sampling/monitor_display.h"
#include "sampling/processor_load.h"
#include "sampling/worker_thread.h"
#include "util/seam.h"

namespace zt {

// Time as the monitor sees it.
class IMonitorClock {
 public:
  virtual ~IMonitorClock() = default;
  // Milliseconds since system start, wrapping at 2^32: enough for the
  // pause after a pass.
  virtual uint32_t TickCount() = 0;
  // The same without the wrap, for the statistics' running time, which may
  // well pass the 49.7 days of the 32-bit count.
  virtual uint64_t TickCount64() = 0;
  // Local date and time (days since 30 December 1899).
  virtual double Now() = 0;
  // How many minutes the local time of this thread's last Now() was ahead
  // of UTC.
  virtual int UtcOffset() = 0;
  // On the monitor's thread the real one ends early on the terminate
  // request (SleepUnlessTerminated).
  virtual void Sleep(uint32_t ms) = 0;
};

// The real clock unless a test has put a fake in its place
// (ScopedOverride<IMonitorClock>).
template <>
IMonitorClock& Seam<IMonitorClock>::Real();

// The running statistics since the last reset; copied whole by the
// statistics window.
struct TResStatistics {
  uint32_t Samples = 0;  // also the x value of the graph points
  // The samples whose load reading worked: the load's mean is theirs alone.
  uint32_t CpuSamples = 0;
  // The reset came before any load reading had worked: the first one read
  // sets the load's bounds, rather than a 0 % that was never measured.
  bool CpuBoundsPending = false;
  double CpuMin = 0;
  double CpuAverage = 0;
  double CpuMax = 0;
  double MemoryMin = 0;
  double MemoryAverage = 0;
  double MemoryMax = 0;
  double MemoryTotal = 0;  // MB
  double TimeStarted = 0;  // local date-time of the last reset
  uint64_t TickStarted = 0;  // TickCount64 at the last reset
};

// Folds one sample into the statistics: Samples counts it (stopping at its
// largest value rather than wrapping to 0), and the minimum, running mean and
// maximum of the memory use take it in; so do those of the load, unless its
// reading failed (cpu_read false): such a sample is drawn as 0 % but says
// nothing about the load, and CpuSamples does not count it.
void FoldSample(TResStatistics& s, bool cpu_read, double cpu_usage, double memory_usage,
                double memory_total);

// The pause after a pass: Rate minus the time the pass took (tick counts
// subtracted as unsigned 32-bit, the result read as signed), clamped to
// 10..2000 ms.
int32_t MonitorDelay(uint32_t rate, uint32_t tick_start, uint32_t tick_end);

// Text of the memory label for the given figures and the settings
// MemoryAsPercentage and ShowFreeMemory: "52.00 %" or "1,536 MB".
std::string MemoryLabelText(double memory_total, double memory_usage, double memory_used);

// Two decimals with the user's decimal separator ("52.00").
std::string FormatFixed2(double value);
// The user's decimal separator (per platform; "." on Linux).
std::string UserDecimalSeparator();

class TResMonitor : public TWorkerThread {
 public:
  // Created suspended; nothing is measured before Start().  display may be
  // null (no display step runs then).  It measures with the sources that are
  // in place when it is made: ProcessorLoad(), the memory query and the
  // monitor clock, each of which a test can replace (util/seam.h).
  explicit TResMonitor(IMonitorDisplay* display);
  ~TResMonitor() override;

  // The sample record.  Written only by the monitor's own thread (or by the
  // thread that calls the steps directly, in tests).  Other threads read them
  // only inside the display step or through CopySample()/CopyStatistics().
  int32_t CpuCount = 0;
  double CpuUsage = 0;
  std::vector<double> CpuUsages;
  double MemoryTotal = 0;
  double MemoryUsage = 0;
  double MemoryUsed = 0;

  // The steps of a pass, public so that tests can run them one by one.
  void Initialize();
  // A failed processor-load reading gives a sample of 0 % and never ends the
  // sampling; the statistics leave that sample's load out.
  void SampleCPU();
  void SampleMemory();
  // Safe from any thread (the statistics window's Reset).
  void ResetStatistics();
  void UpdateStatistics();
  // The display step; runs on the UI thread through Synchronize.
  void UpdateDisplay();

  // Where each sample also goes (the last hour and day); set before Start.
  void SetHistory(History* history) { history_ = history; }
  // Hands the latest sample to the history (a step of the pass).
  void FeedHistory(bool memory_read);

  // A consistent copy of the statistics, safe from any thread.
  TResStatistics CopyStatistics() const;

  struct SampleCopy {
    int32_t CpuCount;
    double CpuUsage, MemoryTotal, MemoryUsage, MemoryUsed;
    LoadCoverage Coverage;  // whose load CpuUsage is
  };
  // A consistent copy of the latest figures, safe from any thread.
  SampleCopy CopySample() const;

 protected:
  void Execute() override;

 private:
  IMonitorDisplay* display_;
  IProcessorLoad* load_;
  IMonitorClock* clock_;
  IMemoryStatus* memory_;
  History* history_ = nullptr;
  // The disks, the network and the graphics, for the history: read at most
  // once a second, on this thread.
  SystemReadings system_;
  ResourceFigures system_figures_;
  std::vector<double> scratch_usages_;
  // Whether the latest load reading failed, and the latest one that worked:
  // a reset during an outage takes that as the load's bound, not the 0 %.
  bool cpu_reading_failed_ = false;
  bool cpu_ever_read_ = false;
  double last_read_cpu_usage_ = 0;
  LoadCoverage cpu_coverage_;
  // Guards Statistics, the writes of the sample figures and the two above, so that a reset or
  // a copy from the UI thread never sees half an update.
  mutable std::mutex mutex_;
  TResStatistics Statistics;
};

// The display step as plain code: gauge, graph lines (trimmed to
// GraphLength), memory label and tray icon, from the given figures and the
// settings DisplayEachCPU, DisplayMemory, MemoryAsPercentage, ShowFreeMemory,
// GraphLength, AppTrayMode and HideTrayWhenVisible; the disks', network's
// and graphics' figures go to the display before the tray icon's update.
struct DisplayFigures {
  int32_t CpuCount = 1;
  double CpuUsage = 0;
  const std::vector<double>* CpuUsages = nullptr;
  double MemoryTotal = 0;
  double MemoryUsage = 0;
  double MemoryUsed = 0;
  uint32_t Samples = 0;
  ResourceFigures more;  // the disks, the network and the graphics
};
void RunDisplayStep(IMonitorDisplay& display, const DisplayFigures& figures);

// The program's one monitor, set while the main window's sampling threads
// run; null before, after, and when it was never created.  UI thread only.
extern TResMonitor* ResMonitor;

}  // namespace zt
