#include "sampling/res_monitor.h"

#include <algorithm>
#include <cstdint>

#include "config/config.h"
#include "util/format.h"
#include "util/platform.h"

namespace zt {

TResMonitor* ResMonitor = nullptr;

namespace {

class SystemClock : public IMonitorClock {
 public:
  uint32_t TickCount() override { return GetTickCountMs(); }
  uint64_t TickCount64() override { return GetTickCount64Ms(); }
  double Now() override { return NowAsDateTime(&offset_); }
  int UtcOffset() override { return offset_; }
  void Sleep(uint32_t ms) override { SleepUnlessTerminated(ms); }

 private:
  static thread_local int offset_;
};

thread_local int SystemClock::offset_ = 0;

constexpr int32_t kMinDelayMs = 10;
constexpr int32_t kMaxDelayMs = 2000;

// Drops the oldest points of a line until one more fits in GraphLength.
void TrimLine(IMonitorDisplay& display, int line, int length) {
  while (display.GraphPointCount(line) > 0 && display.GraphPointCount(line) >= length)
    display.DeleteOldestGraphPoint(line);
}

int RoundToInt(double value) { return static_cast<int>(RoundHalfEven(value)); }

}  // namespace

ZT_SEAM_REAL(IMonitorClock, SystemClock)

int32_t MonitorDelay(uint32_t rate, uint32_t tick_start, uint32_t tick_end) {
  const uint32_t elapsed = tick_end - tick_start;  // survives one wrap of the tick count
  const auto delay = static_cast<int32_t>(rate - elapsed);
  if (delay < kMinDelayMs) return kMinDelayMs;
  if (delay > kMaxDelayMs) return kMaxDelayMs;
  return delay;
}

std::string FormatFixed2(double value) { return FormatFixed(value, 2, UserDecimalSeparator()); }

std::string MemoryLabelText(double memory_total, double memory_usage, double memory_used) {
  if (MemoryAsPercentage.load()) {
    const double value = ShowFreeMemory.load() ? 100.0 - memory_usage : memory_usage;
    return FormatFixed2(value) + " %";
  }
  const double value = ShowFreeMemory.load() ? memory_total - memory_used : memory_used;
  return FormatThousands(value) + " MB";
}

void RunDisplayStep(IMonitorDisplay& display, const DisplayFigures& f) {
  const int length = GraphLength.load();
  const auto x = static_cast<double>(f.Samples);
  const bool memory = DisplayMemory.load();

  // 1. Load: one line for the total, or a line for each of the first four
  // processors.
  display.SetGaugeProgress(RoundToInt(f.CpuUsage));
  if (DisplayEachCPU.load() && f.CpuCount > 1 && f.CpuUsages) {
    size_t i = 0;
    for (int line = 1; line <= 4; ++line) {
      if (i < f.CpuUsages->size()) {
        TrimLine(display, line, length);
        display.AddGraphPoint(line, x, (*f.CpuUsages)[i]);
        ++i;
      }
    }
  } else {
    TrimLine(display, 1, length);
    display.AddGraphPoint(1, x, f.CpuUsage);
  }
  // 2. and 3. Memory line and label.
  if (memory) {
    TrimLine(display, kGraphLineMemory, length);
    display.AddGraphPoint(kGraphLineMemory, x, f.MemoryUsage);
    display.SetMemoryLabelText(MemoryLabelText(f.MemoryTotal, f.MemoryUsage, f.MemoryUsed));
  }
  display.SetResourceFigures(f.more);
  // 4. Tray icon: kept up to date unless it is hidden while the window shows.
  if (AppTrayMode.load() || !HideTrayWhenVisible.load())
    display.UpdateTrayIcon(RoundToInt(f.CpuUsage), memory ? RoundToInt(f.MemoryUsage) : -1);
}

TResMonitor::TResMonitor(IMonitorDisplay* display)
    : display_(display),
      load_(&ProcessorLoad()),
      clock_(&Seam<IMonitorClock>::Get()),
      memory_(&Seam<IMemoryStatus>::Get()) {}

TResMonitor::~TResMonitor() {
  // Execute() uses this object's members: the thread must be over before
  // they go.
  Stop();
}

void TResMonitor::Initialize() {
  int32_t count = load_->GetProcessorCount();
  // From Windows 2000 on the last instance is the all-processors aggregate.
  if (IsWindows2000OrLater()) --count;
  if (count < 1) count = 1;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    CpuCount = count;
    CpuUsages.assign(static_cast<size_t>(count), 0.0);
  }
  scratch_usages_.assign(static_cast<size_t>(count), 0.0);
  // Memory is sampled whatever DisplayMemory says, so the statistics start
  // from real figures.
  SampleMemory();
  SampleCPU();
  ResetStatistics();
}

void TResMonitor::SampleCPU() {
  double usage = 0;
  bool failed = false;
  if (scratch_usages_.size() != CpuUsages.size()) scratch_usages_.assign(CpuUsages.size(), 0.0);
  try {
    SampleCpuLoad(*load_, CpuCount, usage, scratch_usages_);
  } catch (const EProcessorLoad&) {
    // A reading that failed (or found no processor) must not end the
    // sampling: this sample reads 0 %, as a reading that has not advanced
    // does, and the next good reading is compared with the last good one.
    usage = 0;
    failed = true;
    std::fill(scratch_usages_.begin(), scratch_usages_.end(), 0.0);
  }
  const LoadCoverage coverage = load_->Coverage();
  std::lock_guard<std::mutex> lock(mutex_);
  cpu_coverage_ = coverage;
  CpuUsage = usage;
  if (CpuCount > 1) CpuUsages.swap(scratch_usages_);
  cpu_reading_failed_ = failed;
  if (!failed) {
    last_read_cpu_usage_ = usage;
    cpu_ever_read_ = true;
  }
}

void TResMonitor::SampleMemory() {
  uint64_t total = kMemoryQueryFailed;
  uint64_t available = kMemoryQueryFailed;
  memory_->Figures(UsePhysicalMemory.load(), total, available);
  const MemorySample s = MemorySampleFromFigures(total, available);
  std::lock_guard<std::mutex> lock(mutex_);
  MemoryUsed = s.MemoryUsed;
  MemoryUsage = s.MemoryUsage;
  MemoryTotal = s.MemoryTotal;
}

void TResMonitor::ResetStatistics() {
  const double now = clock_->Now();
  const uint64_t tick = clock_->TickCount64();
  std::lock_guard<std::mutex> lock(mutex_);
  Statistics = TResStatistics{};
  Statistics.TimeStarted = now;
  Statistics.TickStarted = tick;
  const double cpu = cpu_reading_failed_ ? last_read_cpu_usage_ : CpuUsage;
  Statistics.CpuMin = Statistics.CpuAverage = Statistics.CpuMax = cpu;
  Statistics.CpuBoundsPending = cpu_reading_failed_ && !cpu_ever_read_;
  Statistics.MemoryMin = Statistics.MemoryAverage = Statistics.MemoryMax = MemoryUsage;
  Statistics.MemoryTotal = MemoryTotal;
}

namespace {

// Folds one value into a min/mean/max triple; n counts this value.  The
// comparisons are written so that a value that is not a number lowers the
// minimum rather than being skipped silently.
void Fold(double value, uint64_t n, double& min, double& average, double& max) {
  if (!(value >= min)) min = value;
  if (value > max) max = value;
  const long double ln = static_cast<long double>(n);
  average = static_cast<double>((ln - 1) / ln * static_cast<long double>(average) +
                                static_cast<long double>(value) / ln);
}

}  // namespace

void FoldSample(TResStatistics& s, bool cpu_read, double cpu_usage, double memory_usage,
                double memory_total) {
  // After 2^32 - 1 samples (49 days at 1 ms, 68 years at the default rate)
  // the counts stay where they are: wrapping to 0 would divide by zero and
  // leave the averages not a number for good.  The mean then goes on with
  // the weight of the last count.
  if (s.Samples != UINT32_MAX) ++s.Samples;
  if (cpu_read) {
    if (s.CpuBoundsPending) {
      s.CpuMin = s.CpuMax = cpu_usage;
      s.CpuBoundsPending = false;
    }
    if (s.CpuSamples != UINT32_MAX) ++s.CpuSamples;
    Fold(cpu_usage, s.CpuSamples, s.CpuMin, s.CpuAverage, s.CpuMax);
  }
  Fold(memory_usage, s.Samples, s.MemoryMin, s.MemoryAverage, s.MemoryMax);
  s.MemoryTotal = memory_total;
}

void TResMonitor::UpdateStatistics() {
  std::lock_guard<std::mutex> lock(mutex_);
  FoldSample(Statistics, !cpu_reading_failed_, CpuUsage, MemoryUsage, MemoryTotal);
}

void TResMonitor::UpdateDisplay() {
  if (!display_) return;
  DisplayFigures f;
  f.CpuCount = CpuCount;
  f.CpuUsage = CpuUsage;
  f.CpuUsages = &CpuUsages;
  f.MemoryTotal = MemoryTotal;
  f.MemoryUsage = MemoryUsage;
  f.MemoryUsed = MemoryUsed;
  f.more = system_figures_;  // written by FeedHistory on the monitor, which waits meanwhile
  {
    std::lock_guard<std::mutex> lock(mutex_);
    f.Samples = Statistics.Samples;
  }
  RunDisplayStep(*display_, f);
}

void TResMonitor::FeedHistory(bool memory_read) {
  if (!history_) return;
  // The figures are this thread's own: no lock is needed to read them.
  HistorySample s;
  s.tick_ms = clock_->TickCount64();
  s.local_time = clock_->Now();
  s.utc_offset = clock_->UtcOffset();
  s.load_read = !cpu_reading_failed_;
  s.load = CpuUsage;
  s.memory_read = memory_read;
  s.memory_percent = MemoryUsage;
  s.memory_mb = MemoryUsed;
  s.processors = CpuCount;
  s.rate_ms = Rate.load();
  if (system_.Sample(s.tick_ms)) system_figures_ = ResourceFiguresOf(system_.figures());
  s.more = system_figures_;
  history_->AddSample(s);
}

TResStatistics TResMonitor::CopyStatistics() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return Statistics;
}

TResMonitor::SampleCopy TResMonitor::CopySample() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return SampleCopy{CpuCount, CpuUsage, MemoryTotal, MemoryUsage, MemoryUsed, cpu_coverage_};
}

void TResMonitor::Execute() {
  Initialize();
  while (!Terminated()) {
    const uint32_t t0 = clock_->TickCount();
    SampleCPU();
    const bool memory_read = DisplayMemory.load();
    if (memory_read) SampleMemory();
    UpdateStatistics();
    FeedHistory(memory_read);
    Synchronize([this] { UpdateDisplay(); });
    if (Terminated()) break;
    clock_->Sleep(static_cast<uint32_t>(MonitorDelay(Rate.load(), t0, clock_->TickCount())));
  }
}

}  // namespace zt
