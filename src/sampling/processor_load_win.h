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
// (SystemProcessorPerformanceInformation), looked up in ntdll at run time.
// That call answers for the calling thread's processor group only; on a
// machine with several groups each group is asked for in turn through
// NtQuerySystemInformationEx, which takes the group number.  Presents every
// processor of every group and, from Windows 2000 on, an aggregate instance
// last (the mean idle time); the time stamp is the system time.
class NtProcessorIdleSource : public ProcessorGroupsIdleSource {
 public:
  NtProcessorIdleSource();
  // The system calls alone: the number of processors reported (0 on failure).
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
  std::vector<int64_t> scratch_;
};

// Active processor groups (GetActiveProcessorGroupCount, from Windows 7);
// 1 where the system has no groups.
uint16_t ActiveProcessorGroups();

}  // namespace zt
