#include <pthread.h>
#include <sched.h>

#include <chrono>
#include <thread>

#include "sampling/cpu_speed.h"

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
  void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  void RaisePriority() override {
    raised_ = false;
    if (pthread_getschedparam(pthread_self(), &policy_, &param_) != 0) return;
    sched_param high{};
    high.sched_priority = sched_get_priority_max(SCHED_FIFO);
    raised_ = pthread_setschedparam(pthread_self(), SCHED_FIFO, &high) == 0;
  }
  void RestorePriority() override {
    if (raised_) pthread_setschedparam(pthread_self(), policy_, &param_);
    raised_ = false;
  }
  void PinToFirstProcessor() override {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(0, &set);
    pthread_setaffinity_np(pthread_self(), sizeof(set), &set);
  }

 private:
  bool raised_ = false;
  int policy_ = SCHED_OTHER;
  sched_param param_{};
};

}  // namespace

template <>
ICpuSpeedPlatform& Seam<ICpuSpeedPlatform>::Real() {
  static LinuxCpuSpeedPlatform platform;
  return platform;
}

}  // namespace zt
