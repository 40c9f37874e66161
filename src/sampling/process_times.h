// Who was busy: the processor time each process has used, read from the
// system's process list, and the time each used between two readings.
// Portable; the list comes through Seam<IProcessTimes> (Windows: the
// kernel's process information; Linux: /proc).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/seam.h"

namespace zt {

// One process as the list gives it.  A process id may be reused once its
// process has ended: id and creation time together name one process.
struct ProcessTime {
  uint32_t id = 0;
  uint64_t created = 0;    // in the system's own units; only compared
  uint64_t cpu_100ns = 0;  // user + kernel time so far
  std::string name;        // image name, UTF-8
  uint64_t io_bytes = 0;   // bytes read, written and otherwise moved so far (0 where not told)
};

class IProcessTimes {
 public:
  virtual ~IProcessTimes() = default;
  // Every running process, the idle pseudo-process left out; false when the
  // list cannot be read.
  virtual bool Read(std::vector<ProcessTime>& out) = 0;
};
template <>
IProcessTimes& Seam<IProcessTimes>::Real();

// The time one process used, and the bytes it moved, between two readings.
struct ProcessUse {
  uint32_t id = 0;
  uint64_t created = 0;
  uint64_t used_100ns = 0;
  std::string name;
  uint64_t io_bytes = 0;
};

// Compares each reading with the one before.
class ProcessIntervals {
 public:
  // The first reading (and the first after Reset) only sets the base and
  // answers false.  Later ones answer true with every process that used
  // time or moved bytes since the reading before: a process that appeared since then
  // started since then, and all its time counts; a process that has gone
  // since then is not in the list and so is not in `used`.  `now` is taken
  // over (and sorted).
  bool Next(std::vector<ProcessTime>& now, std::vector<ProcessUse>& used);
  void Reset() { previous_.clear(), have_base_ = false; }

 private:
  std::vector<ProcessTime> previous_;  // sorted by id, then creation time
  bool have_base_ = false;
};

// The kernel's process list (SystemProcessInformation) as the system lays
// it out for a program of this pointer size, read without trusting it: an
// entry or a name outside the buffer ends the walk or is left out.  `base`
// is the address the buffer had when the system filled it (the names point
// into it).  Portable, so that it can be tested on any machine.
void ParseSystemProcessList(const unsigned char* buffer, size_t size, size_t pointer_size,
                            uint64_t base, std::vector<ProcessTime>& out);

// The text of a /proc/<pid>/stat line: name, start time and user + kernel
// time (clock ticks turned into 100 ns); false when it cannot be read.
bool ParseProcStat(const std::string& line, uint64_t ticks_per_second, ProcessTime* out);

}  // namespace zt
