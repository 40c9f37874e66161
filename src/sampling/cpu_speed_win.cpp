#include <windows.h>

#include "sampling/cpu_speed.h"

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
  void Sleep(uint32_t ms) override { ::Sleep(ms); }
  void RaisePriority() override {
    process_class_ = GetPriorityClass(GetCurrentProcess());
    thread_priority_ = GetThreadPriority(GetCurrentThread());
    SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  }
  void RestorePriority() override {
    SetThreadPriority(GetCurrentThread(), thread_priority_);
    SetPriorityClass(GetCurrentProcess(), process_class_);
  }
  void PinToFirstProcessor() override { SetThreadAffinityMask(GetCurrentThread(), 1); }

 private:
  DWORD process_class_ = NORMAL_PRIORITY_CLASS;
  int thread_priority_ = THREAD_PRIORITY_NORMAL;
};

}  // namespace

template <>
ICpuSpeedPlatform& Seam<ICpuSpeedPlatform>::Real() {
  static WindowsCpuSpeedPlatform platform;
  return platform;
}

}  // namespace zt
