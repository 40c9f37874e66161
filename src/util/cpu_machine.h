// The machine under both clock measurements and the processor library:
// running CPUID on the current processor, the processor count, the calling
// thread's affinity, the time-stamp and high-resolution counters, sleeping
// and the measuring thread's priority.  The main window's clock thread
// (sampling) and the processor identification library (cpuid) both stand on
// it, so it lives below them; one seam (Seam<ICpuMachine>) replaces all of it
// at once, for a test or for a replay of a recorded processor.  Portable
// interface; the real machines are cpu_machine_win.cpp and
// cpu_machine_linux.cpp.
#pragma once

#include <cstdint>
#include <memory>

#include "util/seam.h"

namespace zt {

struct CpuidRegisters {
  uint32_t eax = 0;
  uint32_t ebx = 0;
  uint32_t ecx = 0;
  uint32_t edx = 0;
  bool operator==(const CpuidRegisters& o) const {
    return eax == o.eax && ebx == o.ebx && ecx == o.ecx && edx == o.edx;
  }
};

// Never deleted through this interface (a machine is a program-long object,
// or owned by a shared_ptr made for its own type), so it needs no virtual
// destructor, and the real one none run at exit.
class ICpuMachine {
 public:
  // Executes CPUID with EAX = leaf (and ECX = subleaf) on the processor the
  // calling thread runs on now.
  virtual CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf = 0) = 0;
  // Number of processors the system reports (GetSystemInfo).
  virtual uint32_t ProcessorCount() = 0;
  // Process affinity: false when unavailable.
  virtual bool GetProcessAffinity(uint64_t& process_mask, uint64_t& system_mask) = 0;
  // Restricts the calling thread, and no other, to the processors of mask
  // and gives the thread's mask from before; 0 when the call is unavailable
  // or fails, and then nothing changed.
  virtual uint64_t SetThreadAffinity(uint64_t mask) = 0;
  // False on systems without the call (Windows 95/98/Me): nothing is pinned.
  virtual bool CanSetThreadAffinity() = 0;
  // The time-stamp counter.  (Not named ReadTimeStampCounter: the 64-bit
  // winnt.h defines that name as a macro for __rdtsc, and a Windows file
  // that includes this header after <windows.h> would get a different
  // method.)
  virtual uint64_t ReadTsc() = 0;
  // High-resolution counter; frequency 0 means there is none.
  virtual int64_t QueryPerformanceCounter() = 0;
  virtual int64_t QueryPerformanceFrequency() = 0;
  // Sleeps ms milliseconds (0: gives up the rest of the time slice).  On a
  // thread that can be asked to stop (util/thread_pause.h) the request ends
  // the sleep early; the caller checks for it afterwards.
  virtual void SleepMs(uint32_t ms) = 0;
  // Raises the calling thread, and the process through the program's one
  // counted owner (util/process_priority.h), for a measurement; Restore puts
  // back what Raise found.  Pairs nest.  Failures are not examined: the
  // measurement goes on at whatever priority was obtained.
  virtual void RaisePriority() = 0;
  virtual void RestorePriority() = 0;

 protected:
  ~ICpuMachine() = default;
};

// The real machine unless a replay or a test has put another in its place
// (ScopedOverride<ICpuMachine>).
template <>
ICpuMachine& Seam<ICpuMachine>::Real();
// The real machine of this platform, newly made.
std::shared_ptr<ICpuMachine> CreateNativeMachine();

}  // namespace zt
