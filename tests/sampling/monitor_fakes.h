// Fakes shared by the monitor tests: a scripted processor-load source, a
// clock that only moves when told, and a display that records every call.
#pragma once

#include <atomic>
#include <climits>
#include <functional>
#include <optional>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "sampling/monitor_display.h"
#include "sampling/processor_load.h"
#include "sampling/res_monitor.h"
#include "util/platform.h"

namespace zt::test {

// Loads are given in per cent per instance; each reading takes the next
// row, the last row repeating.  Optionally fails the readings from
// `fail_from` up to and not including `fail_until` (counting from 1; a failed
// reading takes no row).
using Rows = std::vector<std::vector<double>>;

class FakeLoad : public IProcessorLoad {
 public:
  explicit FakeLoad(std::vector<std::vector<double>> rows) : rows_(std::move(rows)) {}
  void RefreshProcessorCounters() override {
    ++readings;
    if (fail_from >= 0 && readings >= fail_from && readings < fail_until)
      throw EProcessorLoad("CPU index out of bounds");
    if (on_refresh) on_refresh();
    if (row_ + 1 < rows_.size() && readings > 1) ++row_;
  }
  int32_t GetProcessorCount() override { return static_cast<int32_t>(rows_.front().size()); }
  double GetProcessorLoad(int32_t index) override {
    const auto& row = rows_[row_];
    if (index < 0 || static_cast<size_t>(index) >= row.size())
      throw EProcessorLoad("CPU index out of bounds");
    return row[static_cast<size_t>(index)] / 100.0;
  }
  void ReleaseProcessorCounters() override {}

  std::atomic<int> readings{0};
  int fail_from = -1;
  int fail_until = INT_MAX;
  std::function<void()> on_refresh;  // runs on the sampling thread

 private:
  std::vector<std::vector<double>> rows_;
  size_t row_ = 0;
};

class FakeClock : public IMonitorClock {
 public:
  uint32_t TickCount() override { return static_cast<uint32_t>(tick.load()); }
  uint64_t TickCount64() override { return tick.load(); }
  double Now() override { return now; }
  int UtcOffset() override { return 60; }
  void Sleep(uint32_t ms) override {
    {
      std::lock_guard<std::mutex> lock(mutex);
      sleeps.push_back(ms);
    }
    tick += ms;
  }
  std::vector<uint32_t> Sleeps() {
    std::lock_guard<std::mutex> lock(mutex);
    return sleeps;
  }
  std::atomic<uint64_t> tick{1000};
  double now = 45000.5;
  std::mutex mutex;
  std::vector<uint32_t> sleeps;
};

struct GraphPoint {
  double x, y;
};

class RecordingDisplay : public IMonitorDisplay {
 public:
  void SetGaugeProgress(int percent) override {
    gauge = percent;
    ++gauge_calls;
  }
  int GraphPointCount(int line) const override { return static_cast<int>(lines[line].size()); }
  void DeleteOldestGraphPoint(int line) override {
    if (!lines[line].empty()) lines[line].pop_front();
    ++deletes;
  }
  void AddGraphPoint(int line, double x, double y) override { lines[line].push_back({x, y}); }
  void SetMemoryLabelText(const std::string& utf8) override {
    label = utf8;
    ++label_calls;
  }
  void UpdateTrayIcon(int load, int memory) override { tray.push_back({load, memory}); }

  std::deque<GraphPoint> lines[kGraphLineCount];
  int gauge = -1;
  int gauge_calls = 0;
  int deletes = 0;
  std::string label;
  int label_calls = 0;
  std::vector<std::pair<int, int>> tray;
};

// Memory query returning fixed figures (bytes).
struct FakeMemory : IMemoryStatus {
  uint64_t phys_total = 8ull << 30, phys_avail = 6ull << 30;
  uint64_t page_total = 16ull << 30, page_avail = 4ull << 30;
  std::atomic<int> calls{0};
  std::atomic<bool> last_physical{false};
  void Figures(bool physical, uint64_t& total, uint64_t& available) override {
    ++calls;
    last_physical = physical;
    total = physical ? phys_total : page_total;
    available = physical ? phys_avail : page_avail;
  }
};

// The system family: from Windows 2000 on or before it.
struct FakeVersion : IPlatformVersion {
  explicit FakeVersion(bool windows2000_or_later = true) : windows2000(windows2000_or_later) {}
  bool windows2000;
  bool IsWindows2000OrLater() override { return windows2000; }
};

// Puts the fakes in place of the monitor's sources for one scope.  Without a
// clock the real one stays.
class UseSources {
 public:
  UseSources(IProcessorLoad& load, IMonitorClock* clock, IMemoryStatus& memory, bool windows2000_or_later)
      : version_(windows2000_or_later), load_(load), memory_(memory), use_version_(version_) {
    if (clock) clock_.emplace(*clock);
  }

 private:
  FakeVersion version_;
  ScopedOverride<IProcessorLoad> load_;
  ScopedOverride<IMemoryStatus> memory_;
  ScopedOverride<IPlatformVersion> use_version_;
  std::optional<ScopedOverride<IMonitorClock>> clock_;
};

}  // namespace zt::test
