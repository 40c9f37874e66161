// Processor-load source: turns the operating system's per-processor idle
// time into a load fraction per processor.  Used by the monitor thread, once
// by the main window at start-up, and by the identification library's usage
// object.  Portable interface; the OS query sits behind IdleTimeSource.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "util/errors.h"

namespace zt {

// Raised by every failure of the processor-load source, with one of the
// messages below (English, shown as they are).
class EProcessorLoad : public EZettrimError {
 public:
  using EZettrimError::EZettrimError;
};

extern const char* const kMsgCannotGetVersion;    // "Cannot get the Windows version"
extern const char* const kMsgIndexOutOfBounds;    // "CPU index out of bounds"
extern const char* const kMsgNoProcessorObject;   // "Unable to locate the \"Processor\" performance object"
extern const char* const kMsgNoProcessorCounter;  // "Unable to locate the \"% of CPU usage\" performance counter"
extern const char* const kMsgCannotStart9x;       // "Unable to start performance monitoring"
extern const char* const kMsgCannotRead9x;        // "Unable to read performance data"

// The operations every load source offers.
class IProcessorLoad {
 public:
  virtual ~IProcessorLoad() = default;
  // Takes a new reading; raises EProcessorLoad on failure.
  virtual void RefreshProcessorCounters() = 0;
  // Number of processor instances (the aggregate included where the system
  // publishes one).  Takes a first reading when none exists yet.
  virtual int32_t GetProcessorCount() = 0;
  // Load of one instance as a fraction (nominally 0..1, not clamped).
  virtual double GetProcessorLoad(int32_t index) = 0;
  // Stops whatever statistic the source started.
  virtual void ReleaseProcessorCounters() = 0;
};

// The process-wide source for this platform, created on first use.
IProcessorLoad& ProcessorLoad();

// Replaces the process-wide source (tests); returns the previous one.
std::unique_ptr<IProcessorLoad> SetProcessorLoadForTesting(std::unique_ptr<IProcessorLoad> source);

}  // namespace zt
