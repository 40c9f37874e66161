// The NT-family idle-time sources (exposed for tests and the bench).
#pragma once

#include <windows.h>

#include <vector>

#include "sampling/processor_load.h"

namespace zt {

// The Processor object of the registry's performance data (value "238" of
// HKEY_PERFORMANCE_DATA).  The buffer starts at 8192 bytes, grows by 4096
// bytes while the system answers ERROR_MORE_DATA and never shrinks.
class PerfDataIdleSource : public IIdleTimeSource {
 public:
  PerfDataIdleSource();
  ~PerfDataIdleSource() override;
  PerfDataIdleSource(const PerfDataIdleSource&) = delete;
  PerfDataIdleSource& operator=(const PerfDataIdleSource&) = delete;

  void ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) override;
  // The registry query alone: the number of bytes returned (0 on failure).
  size_t Query();
  size_t buffer_size() const { return buffer_.size(); }

 private:
  void Close();
  std::vector<uint8_t> buffer_;
  bool open_ = false;
};

// Per-processor idle time from NtQuerySystemInformation
// (SystemProcessorPerformanceInformation), looked up in ntdll at run time,
// for systems whose performance data lacks the Processor object.  Presents
// the processors and, from Windows 2000 on, an aggregate instance last (the
// mean idle time); the time stamp is the system time.
class NtProcessorIdleSource : public IIdleTimeSource {
 public:
  NtProcessorIdleSource();
  void ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) override;
  // The system call alone: the number of processors reported (0 on failure).
  size_t Query();

  struct ProcessorTimes {  // SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION
    LARGE_INTEGER IdleTime;
    LARGE_INTEGER KernelTime;
    LARGE_INTEGER UserTime;
    LARGE_INTEGER DpcTime;
    LARGE_INTEGER InterruptTime;
    ULONG InterruptCount;
  };

 private:
  using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  QueryFn query_ = nullptr;
  std::vector<ProcessorTimes> times_;
};

}  // namespace zt
