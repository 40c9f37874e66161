// The sampling threads the main window owns, and what the program keeps
// around them: the last hour and day of samples (the history), the keeper of
// its file, and where the clock figures go.
#pragma once

#include <windows.h>

#include <memory>

#include "sampling/history.h"
#include "sampling/history_file.h"
#include "sampling/monitor_display.h"

namespace zt {

class TResMonitor;
class TCPUSpeed;

class TMonitors {
 public:
  // Made at the end of the main window's creation, on the UI thread:
  // creates the monitor thread suspended, creates and starts the clock
  // thread (posting WM_CPUSPEED to main_window), asks about disabled
  // performance counters, takes the first processor-load reading and starts
  // the monitor only when that reading succeeded; otherwise shows the
  // reading's error.  The two threads are the program's ResMonitor and
  // CPUSpeed while this object lives.  display must outlive it.
  TMonitors(HWND main_window, IMonitorDisplay& display);
  // Asks both threads to stop, then deletes the monitor (waiting for it while
  // pending display steps still run), keeps the unfinished minute, lets the
  // keeper and the history go, and deletes the clock thread last.
  ~TMonitors();
  TMonitors(const TMonitors&) = delete;
  TMonitors& operator=(const TMonitors&) = delete;

  // The first half of the stop: asks the clock thread and then the monitor
  // to stop, without waiting, so that they wind down while the main window
  // leaves the screen.
  void RequestStop();

  // The kept history's last row, the minute being made (the history keeps
  // it too): at exit, or as the session ends and the program may be stopped
  // at any moment.  Waits (a few seconds at most) until it is written.  Later
  // calls write nothing.
  void KeepUnfinishedMinute();

  // The last hour and day the monitor keeps, and the kept file's keeper (its
  // Status for the history window).  UI thread.
  History& history() { return *history_; }
  const HistoryKeeper& keeper() const { return *keeper_; }

 private:
  class WindowSpeedSink;

  std::unique_ptr<WindowSpeedSink> speed_sink_;
  std::unique_ptr<History> history_;
  std::unique_ptr<HistoryKeeper> keeper_;
  std::unique_ptr<TResMonitor> monitor_;
  std::unique_ptr<TCPUSpeed> clock_;
};

}  // namespace zt
