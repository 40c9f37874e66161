// Priority for the two clock measurements: the clock-speed thread of the
// main window and the processor library's speed thread each raise the
// process and their own thread for a moment, so that the sleep and the
// counter readings around it are not held up by other work.  The process
// goes to the high class at most, never to real time: an elevated run would
// get real time and hold the windows, the mouse and the keyboard behind the
// measurement for half of every second; the measured interval (the
// high-resolution counter around the sleep) no longer needs it.
//
// The process's priority class is shared by every thread of the process.
// The two measurements run on different threads and can overlap, and a
// save/restore of their own each could then put back the other's raised
// class and leave the whole program raised for good.  So they both go
// through one counted owner: the first raise remembers the class, the last
// restore puts it back.  A class that cannot be read is never written back
// (and is then not raised either).  A thread's own priority is that
// thread's alone and is saved per thread.  Portable; the class itself is
// reached through IProcessPriorityClass (Windows: Get/SetPriorityClass;
// Linux has no process-wide class and reports none), the thread's priority
// through process_priority_win.cpp / process_priority_linux.cpp.
#pragma once

#include <cstdint>
#include <mutex>

#include "util/cpu_machine.h"
#include "util/seam.h"

namespace zt {

// HIGH_PRIORITY_CLASS and REALTIME_PRIORITY_CLASS.
inline constexpr uint32_t kHighPriorityClass = 0x80;
inline constexpr uint32_t kRealtimePriorityClass = 0x100;

class IProcessPriorityClass {
 public:
  // The current class; false when it cannot be read.
  virtual bool Read(uint32_t& priority_class) = 0;
  // False when the system refused it.
  virtual bool Write(uint32_t priority_class) = 0;

 protected:
  // Never deleted through this interface.
  ~IProcessPriorityClass() = default;
};

template <>
IProcessPriorityClass& Seam<IProcessPriorityClass>::Real();

class TProcessPriority {
 public:
  // Raises the process to the high class unless another caller already has,
  // or it already runs that high or higher; every Raise needs one Restore.
  void Raise();
  // The last outstanding Restore puts back the class the first Raise found;
  // a Restore without a Raise does nothing.
  void Restore();
  // Outstanding raises (tests).
  int Holders() const;

 private:
  mutable std::mutex lock_;
  int holders_ = 0;
  bool raised_ = false;
  uint32_t saved_class_ = 0;
  // The class object that raised, so the same one restores.
  IProcessPriorityClass* raised_through_ = nullptr;
};

// The program's one owner.
TProcessPriority& ProcessPriority();

// The priority half of every real machine (cpu_machine_win.cpp,
// cpu_machine_linux.cpp), the same on each system: the process through the
// owner, then the calling thread to its highest level; back in the reverse
// order.  Pairs nest on one thread; a Restore without a Raise does nothing.
class TMachinePriority : public ICpuMachine {
 public:
  void RaisePriority() override;
  void RestorePriority() override;

 protected:
  ~TMachinePriority() = default;
};

// The one way a measurement raises: the machine's priority for the life of a
// scope, put back on every way out, an error included (an error ends the
// measuring thread, which must not leave the process raised).
class TRaisedPriority {
 public:
  explicit TRaisedPriority(ICpuMachine& machine) : machine_(machine) { machine_.RaisePriority(); }
  ~TRaisedPriority() { machine_.RestorePriority(); }
  TRaisedPriority(const TRaisedPriority&) = delete;
  TRaisedPriority& operator=(const TRaisedPriority&) = delete;

 private:
  ICpuMachine& machine_;
};

namespace detail {
// The calling thread's priority (process_priority_win.cpp / _linux.cpp):
// set to *level, or to the highest a measurement uses, with the level it
// had left in *level; false (and nothing to put back) when that could not be
// read or the new one was refused.
bool ExchangeThreadPriority(int* level, bool highest);
}  // namespace detail

}  // namespace zt
