// What the monitor's display step writes into: the main window's load graph,
// bar gauge and memory label, and the tray icon.  The main window implements
// it; tests use a recording fake.  Portable.
#pragma once

#include <string>

#include "sampling/history.h"

namespace zt {

// Graph lines: 0 memory, 1 to 4 processors (line 1 carries the total when
// one line is shown).
constexpr int kGraphLineMemory = 0;
constexpr int kGraphLineCount = 5;

class IMonitorDisplay {
 public:
  virtual ~IMonitorDisplay() = default;
  virtual void SetGaugeProgress(int percent) = 0;
  virtual int GraphPointCount(int line) const = 0;
  virtual void DeleteOldestGraphPoint(int line) = 0;
  virtual void AddGraphPoint(int line, double x, double y) = 0;
  virtual void SetMemoryLabelText(const std::string& utf8) = 0;
  // load: rounded total load per cent; memory: rounded memory per cent, or -1
  // when memory is not displayed.
  // The latest figures of the disks, the network and the graphics (read at
  // most once a second; kNoReading where the system does not tell), handed
  // over before the tray icon's update.
  virtual void SetResourceFigures(const ResourceFigures&) {}
  virtual void UpdateTrayIcon(int load, int memory) = 0;
};

}  // namespace zt
