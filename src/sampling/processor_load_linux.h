// Linux idle-time source over /proc/stat (exposed for tests and the bench).
#pragma once

#include <string>
#include <vector>

#include "sampling/processor_load.h"

namespace zt {

// Presents the "cpuN" lines as instances, in the order of the first reading,
// followed by the aggregate "cpu" line (as the mean over the processors
// present, so that it means the same as one processor's figure).  Idle time
// is idle + iowait, converted from clock ticks to 100-ns units; the time stamp
// is CLOCK_REALTIME in 100-ns units since 1601.  A processor that later goes
// offline is reported as kIdleTimeMissing; one that appears later is ignored.
class ProcStatIdleSource : public IIdleTimeSource {
 public:
  explicit ProcStatIdleSource(std::string path = "/proc/stat");
  ~ProcStatIdleSource() override;
  ProcStatIdleSource(const ProcStatIdleSource&) = delete;
  ProcStatIdleSource& operator=(const ProcStatIdleSource&) = delete;

  void ReadIdleTimes(std::vector<int64_t>& idle, int64_t& time_100ns) override;

  // Parses the text of /proc/stat (exposed for tests); the rest as above.
  void Parse(const char* text, size_t size, std::vector<int64_t>& idle);
  // The raw file read alone, for the bench: the bytes read, or raises.
  size_t ReadFile();

 private:
  std::string path_;
  int fd_ = -1;
  std::vector<char> buffer_;
  std::vector<long> cpu_numbers_;  // processor numbers of the first reading, in order
  long ticks_per_second_;
};

}  // namespace zt
