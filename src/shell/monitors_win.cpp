#include "shell/monitors_win.h"

#include <cmath>
#include <exception>

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

// Hands each clock figure to the main window as WM_CPUSPEED; the clock
// thread never touches the window itself.
class TMonitors::WindowSpeedSink : public ISpeedSink {
 public:
  explicit WindowSpeedSink(HWND window) : window_(window) {}
  void PostSpeed(unsigned mhz) override { PostMessageW(window_, WM_CPUSPEED, static_cast<WPARAM>(mhz), 0); }

 private:
  HWND window_;
};

TMonitors::TMonitors(HWND main_window, IMonitorDisplay& display)
    : speed_sink_(std::make_unique<WindowSpeedSink>(main_window)),
      history_(std::make_unique<History>()),
      keeper_(std::make_unique<HistoryKeeper>(KeptHistoryPath(ConfigFilePath()), CurrentLanguage())) {
  // The file is read on the keeper's thread: its last day joins the
  // minutes when it has been read, while the window is already up.
  int utc_offset = 0;
  const int64_t now = std::llround(NowAsDateTime(&utc_offset) * 86400.0);
  keeper_->Start(history_.get(), KeptTime{now, utc_offset});
  history_->SetMinuteSink(keeper_.get());
  // One pair of threads per process: a second set starts none.
  if (ResMonitor || CPUSpeed) return;
  monitor_ = std::make_unique<TResMonitor>(&display);  // suspended until the first reading works
  monitor_->SetHistory(history_.get());
  ResMonitor = monitor_.get();
  clock_ = std::make_unique<TCPUSpeed>(*speed_sink_);
  CPUSpeed = clock_.get();
  clock_->Start();

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
  monitor_->Start();
}

void TMonitors::RequestStop() {
  if (clock_) clock_->Terminate();
  if (monitor_) monitor_->Terminate();
}

TMonitors::~TMonitors() {
  RequestStop();
  // Each deletion waits for its thread; the wait serves a display step the
  // monitor may be blocked in.
  if (monitor_) {
    monitor_.reset();
    ResMonitor = nullptr;
  }
  KeepUnfinishedMinute();
  // The keeper first: it may still hand the file's last day to the history.
  keeper_.reset();
  history_.reset();
  if (clock_) {
    clock_.reset();
    CPUSpeed = nullptr;
  }
}

void TMonitors::KeepUnfinishedMinute() {
  if (!history_ || !keeper_) return;
  history_->EndMinutes();
  keeper_->Flush(HistoryKeeper::kExitWaitMs);
}

}  // namespace zt
