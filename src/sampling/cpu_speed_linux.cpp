#include <pthread.h>
#include <sched.h>

#include <chrono>

#include "sampling/cpu_speed.h"
#include "util/process_priority.h"

#if defined(__i386__) || defined(__x86_64__)
#include <x86intrin.h>
#endif

namespace zt {

namespace {

// Only the measuring thread is raised (to the highest FIFO priority, which
// needs the right to do so); making the whole process real-time, as on
// Windows, is not something a desktop program should do here.
class LinuxCpuSpeedPlatform : public ICpuSpeedPlatform {
 public:
  uint64_t ReadCounter() override {
#if defined(__i386__) || defined(__x86_64__)
    return __rdtsc();
#else
    // No time-stamp counter: nanoseconds, so the figure reads as 1000 MHz.
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
#endif
  }
  void Sleep(uint32_t ms) override { SleepUnlessTerminated(ms); }
  // The shared process-class owner does nothing on Linux; it is asked all
  // the same so that both platforms pair their raises and restores alike.
  // A restore without a raise gives back nothing.
  void RaisePriority() override {
    Saved& saved = SavedPriority();
    if (saved.holding) return;
    saved.holding = true;
    ProcessPriority().Raise();
    saved.raised = false;
    if (pthread_getschedparam(pthread_self(), &saved.policy, &saved.param) != 0) return;
    sched_param high{};
    high.sched_priority = sched_get_priority_max(SCHED_FIFO);
    saved.raised = pthread_setschedparam(pthread_self(), SCHED_FIFO, &high) == 0;
  }
  void RestorePriority() override {
    Saved& saved = SavedPriority();
    if (!saved.holding) return;
    saved.holding = false;
    if (saved.raised) pthread_setschedparam(pthread_self(), saved.policy, &saved.param);
    saved.raised = false;
    ProcessPriority().Restore();
  }
  void PinToFirstProcessor() override {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(0, &set);
    pthread_setaffinity_np(pthread_self(), sizeof(set), &set);
  }

 private:
  struct Saved {
    bool holding = false;
    bool raised = false;
    int policy = SCHED_OTHER;
    sched_param param{};
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
  static LinuxCpuSpeedPlatform platform;
  return platform;
}

}  // namespace zt
