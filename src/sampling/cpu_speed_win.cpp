#include <windows.h>

#include "sampling/cpu_speed.h"
#include "util/process_priority.h"

#if defined(__i386__) || defined(__x86_64__)
#include <x86intrin.h>
#endif

namespace zt {

namespace {

class WindowsCpuSpeedPlatform : public ICpuSpeedPlatform {
 public:
  uint64_t ReadCounter() override {
#if defined(__i386__) || defined(__x86_64__)
    return __rdtsc();
#else
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<uint64_t>(now.QuadPart);
#endif
  }
  void Sleep(uint32_t ms) override { SleepUnlessTerminated(ms); }
  // The process class is shared with the processor library's speed thread:
  // the counted owner raises it and puts it back.  The thread priority is
  // this thread's own; one that could not be read is left alone.  A restore
  // without a raise gives back nothing, so it cannot take another thread's
  // raise away.
  void RaisePriority() override {
    Saved& saved = SavedPriority();
    if (saved.holding) return;
    saved.holding = true;
    ProcessPriority().Raise();
    saved.thread_priority = GetThreadPriority(GetCurrentThread());
    if (saved.thread_priority != THREAD_PRIORITY_ERROR_RETURN) {
      SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    }
  }
  void RestorePriority() override {
    Saved& saved = SavedPriority();
    if (!saved.holding) return;
    saved.holding = false;
    if (saved.thread_priority != THREAD_PRIORITY_ERROR_RETURN) {
      SetThreadPriority(GetCurrentThread(), saved.thread_priority);
    }
    ProcessPriority().Restore();
  }
  void PinToFirstProcessor() override { SetThreadAffinityMask(GetCurrentThread(), 1); }

 private:
  struct Saved {
    bool holding = false;
    int thread_priority = THREAD_PRIORITY_ERROR_RETURN;
  };
  // Raise and restore happen on the thread that measures.
  static Saved& SavedPriority() {
    thread_local Saved saved;
    return saved;
  }
};

}  // namespace

template <>
ICpuSpeedPlatform& Seam<ICpuSpeedPlatform>::Real() {
  static WindowsCpuSpeedPlatform platform;
  return platform;
}

}  // namespace zt
