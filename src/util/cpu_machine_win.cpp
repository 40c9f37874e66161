// The real machine on Windows.
#include "util/cpu_machine.h"

#include <windows.h>

#include <cpuid.h>
#include <x86intrin.h>

#include "util/dynamic_calls_win.h"
#include "util/process_priority.h"
#include "util/thread_pause.h"

namespace zt {

namespace {

class WindowsMachine final : public TMachinePriority {
 public:
  CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf) override {
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(leaf, subleaf, a, b, c, d);
    CpuidRegisters r;
    r.eax = a;
    r.ebx = b;
    r.ecx = c;
    r.edx = d;
    return r;
  }

  uint32_t ProcessorCount() override {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
  }

  bool GetProcessAffinity(uint64_t& process_mask, uint64_t& system_mask) override {
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) {
      process_mask = system_mask = 0;
      return false;
    }
    process_mask = process;
    system_mask = system;
    return true;
  }

  // The thread, not the process: a process mask would reset the mask of
  // every thread (the clock thread's pin among them) and hold the monitor
  // and the windows on one processor for the length of the read.
  // The affinity calls are missing on Windows 95/98/Me: without them no
  // pinning ever happens.
  uint64_t SetThreadAffinity(uint64_t mask) override {
    const auto native = static_cast<DWORD_PTR>(mask);
    if (!CanSetThreadAffinity() || native != mask) return 0;
    return Kernel32().SetThreadAffinityMask(GetCurrentThread(), native);
  }

  bool CanSetThreadAffinity() override { return Kernel32().SetThreadAffinityMask != nullptr; }

  uint64_t ReadTsc() override { return __rdtsc(); }

  int64_t QueryPerformanceCounter() override {
    LARGE_INTEGER value{};
    if (!::QueryPerformanceCounter(&value)) return 0;
    return value.QuadPart;
  }

  int64_t QueryPerformanceFrequency() override {
    LARGE_INTEGER value{};
    if (!::QueryPerformanceFrequency(&value)) return 0;
    return value.QuadPart;
  }

  void SleepMs(uint32_t ms) override {
    if (ms == 0 || !PauseThroughWaiter(ms)) Sleep(ms);
  }
};

}  // namespace

template <>
ICpuMachine& Seam<ICpuMachine>::Real() {
  // Made on first use; thread-safe as a function-local static.
  static WindowsMachine machine;
  return machine;
}

std::shared_ptr<ICpuMachine> CreateNativeMachine() { return std::make_shared<WindowsMachine>(); }

}  // namespace zt
