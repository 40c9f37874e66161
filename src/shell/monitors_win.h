// Start and stop of the two sampling threads, owned by the main window.
#pragma once

#include <windows.h>

#include "sampling/history.h"
#include "sampling/history_file.h"
#include "sampling/monitor_display.h"

namespace zt {

// Called at the end of the main window's creation, on the UI thread:
// creates the monitor thread suspended, creates and starts the clock thread
// (posting WM_CPUSPEED to main_window), asks about disabled performance
// counters, takes the first processor-load reading and starts the monitor
// only when that reading succeeded; otherwise shows the reading's error.
// display must outlive StopMonitors().
void StartMonitors(HWND main_window, IMonitorDisplay& display);

// Called when the main window is destroyed: asks both threads to stop, then
// deletes the monitor and then the clock thread, each deletion waiting for its
// thread while pending display steps still run.  Safe to call twice or
// without StartMonitors.
void StopMonitors();
// The first half of StopMonitors: asks the clock thread and then the monitor
// to stop, without waiting, so that they wind down while the main window
// leaves the screen.
void RequestMonitorsStop();

// The kept history's last row, the minute being made (the history keeps
// it too): at exit, or as the session ends and the program may be stopped
// at any moment.  Waits (a few seconds at most) until it is written.  Later
// calls write nothing.
void KeepUnfinishedMinute();

// The last hour and day the monitor keeps, and the kept file's keeper (its
// Status for the history window): null before StartMonitors and after
// StopMonitors.  UI thread.
History* MonitorHistory();
const HistoryKeeper* MonitorHistoryKeeper();

// The last clock figure handed to the main window (whole MHz), -1 before
// the first and without the sampling threads.
long LastClockFigure();

}  // namespace zt
