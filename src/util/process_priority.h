// The process's priority class, which every thread of the process shares.
// Two measurements raise it to real time for a moment: the clock-speed
// thread of the main window and the processor library's speed thread.  They
// run on different threads and can overlap, and a save/restore of their own
// each could then put back the other's raised class and leave the whole
// program at real-time priority for good.  So they both go through one
// counted owner: the first raise remembers the class, the last restore puts
// it back.  A class that cannot be read is never written back (and is then
// not raised either).  Portable; the class itself is reached through
// IProcessPriorityClass (Windows: Get/SetPriorityClass; Linux has no
// process-wide class and reports none).
#pragma once

#include <cstdint>
#include <mutex>

#include "util/seam.h"

namespace zt {

// REALTIME_PRIORITY_CLASS.
inline constexpr uint32_t kRealtimePriorityClass = 0x100;

class IProcessPriorityClass {
 public:
  virtual ~IProcessPriorityClass() = default;
  // The current class; false when it cannot be read.
  virtual bool Read(uint32_t& priority_class) = 0;
  // False when the system refused it.
  virtual bool Write(uint32_t priority_class) = 0;
};

template <>
IProcessPriorityClass& Seam<IProcessPriorityClass>::Real();

class TProcessPriority {
 public:
  // Raises the process to real time unless it already is raised by another
  // caller; every Raise needs one Restore.
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

// Raise for the life of a scope: restored on every way out, errors included.
class TRaisedProcessPriority {
 public:
  explicit TRaisedProcessPriority(TProcessPriority& owner = ProcessPriority()) : owner_(owner) { owner_.Raise(); }
  ~TRaisedProcessPriority() { owner_.Restore(); }
  TRaisedProcessPriority(const TRaisedProcessPriority&) = delete;
  TRaisedProcessPriority& operator=(const TRaisedProcessPriority&) = delete;

 private:
  TProcessPriority& owner_;
};

}  // namespace zt
