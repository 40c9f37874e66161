#include "shell/monitors_win.h"

#include <atomic>
#include <cmath>
#include <exception>
#include <memory>

#include "config/config.h"
#include "sampling/cpu_speed.h"
#include "sampling/perf_lib.h"
#include "sampling/processor_load.h"
#include "sampling/res_monitor.h"
#include "util/message_box_win.h"
#include "util/platform.h"
#include "util/texts.h"
#include "util/window_messages.h"

namespace zt {

namespace {

// Hands each clock figure to the main window as WM_CPUSPEED; the clock
// thread never touches the window itself.
class WindowSpeedSink : public ISpeedSink {
 public:
  explicit WindowSpeedSink(HWND window) : window_(window) {}
  void PostSpeed(unsigned mhz) override {
    last_.store(static_cast<long>(mhz));
    PostMessageW(window_, WM_CPUSPEED, static_cast<WPARAM>(mhz), 0);
  }
  long Last() const { return last_.load(); }

 private:
  HWND window_;
  std::atomic<long> last_{-1};
};

std::unique_ptr<WindowSpeedSink> g_speed_sink;
std::unique_ptr<History> g_history;
std::unique_ptr<HistoryKeeper> g_history_keeper;

}  // namespace

void StartMonitors(HWND main_window, IMonitorDisplay& display) {
  if (ResMonitor || CPUSpeed) return;
  ResMonitor = new TResMonitor(&display);  // suspended until the first reading works
  g_history = std::make_unique<History>();
  g_history_keeper = std::make_unique<HistoryKeeper>(KeptHistoryPath(ConfigFilePath()), CurrentLanguage());
  // The file is read on the keeper's thread: its last day joins the
  // minutes when it has been read, while the window is already up.
  int utc_offset = 0;
  const int64_t now = std::llround(NowAsDateTime(&utc_offset) * 86400.0);
  g_history_keeper->Start(g_history.get(), KeptTime{now, utc_offset});
  g_history->SetMinuteSink(g_history_keeper.get());
  ResMonitor->SetHistory(g_history.get());
  g_speed_sink = std::make_unique<WindowSpeedSink>(main_window);
  CPUSpeed = new TCPUSpeed(*g_speed_sink);
  CPUSpeed->Start();

  // Asked once at each start, and only while the counters are off.  Without
  // administrator rights nothing can be written: the user is told so once,
  // instead of a silent nothing that looks like success.
  if (PerformanceCountersDisabled()) {
    if (ShowMessageBox(main_window, BoxKind::Warning, Text(TextId::PerfCountersDisabled),
                       BoxButtons::YesNoCancel) == BoxAnswer::Yes &&
        EnablePerformanceCounters() == PerfSwitchResult::Refused)
      ShowMessageBox(main_window, BoxKind::Error, Text(TextId::PerfCountersRefused), BoxButtons::Ok);
  }

  try {
    ProcessorLoad().RefreshProcessorCounters();
  } catch (const std::exception& e) {
    // The window runs on without the monitor: empty graph, all-zero
    // statistics; the clock label still updates.
    ShowMessageBox(main_window, BoxKind::Error, e.what(), BoxButtons::Ok);
    return;
  }
  ResMonitor->Start();
}

void RequestMonitorsStop() {
  if (CPUSpeed) CPUSpeed->Terminate();
  if (ResMonitor) ResMonitor->Terminate();
}

void StopMonitors() {
  RequestMonitorsStop();
  // Each deletion waits for its thread; the wait serves a display step the
  // monitor may be blocked in.
  delete ResMonitor;
  ResMonitor = nullptr;
  KeepUnfinishedMinute();
  // The keeper first: it may still hand the file's last day to the history.
  g_history_keeper.reset();
  g_history.reset();
  delete CPUSpeed;
  CPUSpeed = nullptr;
  g_speed_sink.reset();
}

void KeepUnfinishedMinute() {
  if (!g_history || !g_history_keeper) return;
  g_history->EndMinutes();
  g_history_keeper->Flush(HistoryKeeper::kExitWaitMs);
}

History* MonitorHistory() { return g_history.get(); }
const HistoryKeeper* MonitorHistoryKeeper() { return g_history_keeper.get(); }

long LastClockFigure() { return g_speed_sink ? g_speed_sink->Last() : -1; }

}  // namespace zt
