// The real machine on Linux.  Linux has no process-wide affinity mask: the
// mask belongs to each thread, so the calling thread's mask stands in for the
// process mask.
#include "util/cpu_machine.h"

#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "util/process_priority.h"
#include "util/thread_pause.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#define ZT_HAVE_X86 1
#else
#define ZT_HAVE_X86 0
#endif

namespace zt {

namespace {

class LinuxMachine final : public TMachinePriority {
 public:
  CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf) override {
    CpuidRegisters r;
#if ZT_HAVE_X86
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(leaf, subleaf, a, b, c, d);
    r.eax = a;
    r.ebx = b;
    r.ecx = c;
    r.edx = d;
#else
    (void)leaf;
    (void)subleaf;
#endif
    return r;
  }

  uint32_t ProcessorCount() override {
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<uint32_t>(n) : 1u;
  }

  bool GetProcessAffinity(uint64_t& process_mask, uint64_t& system_mask) override {
    process_mask = 0;
    system_mask = 0;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) != 0) return false;
    for (int cpu = 0; cpu < 64; ++cpu) {
      if (CPU_ISSET(cpu, &set)) process_mask |= uint64_t{1} << cpu;
    }
    uint32_t count = ProcessorCount();
    system_mask = count >= 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
    return true;
  }

  uint64_t SetThreadAffinity(uint64_t mask) override {
    uint64_t before = 0, system = 0;
    if (mask == 0 || !GetProcessAffinity(before, system) || before == 0) return 0;
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int cpu = 0; cpu < 64; ++cpu) {
      if (mask & (uint64_t{1} << cpu)) CPU_SET(cpu, &set);
    }
    return sched_setaffinity(0, sizeof(set), &set) == 0 ? before : 0;
  }

  bool CanSetThreadAffinity() override { return true; }

  uint64_t ReadTsc() override {
#if ZT_HAVE_X86
    return __rdtsc();
#else
    return 0;
#endif
  }

  int64_t QueryPerformanceCounter() override {
    timespec ts{};
    if (clock_gettime(CLOCK_MONOTONIC, &ts) != 0) return 0;
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
  }

  int64_t QueryPerformanceFrequency() override { return 1000000000; }

  void SleepMs(uint32_t ms) override {
    if (ms != 0 && PauseThroughWaiter(ms)) return;
    if (ms == 0) {
      // Like Sleep(0): give up the rest of the time slice so that a new
      // affinity mask takes effect before the caller goes on.
      sched_yield();
      return;
    }
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
  }
};

}  // namespace

template <>
ICpuMachine& Seam<ICpuMachine>::Real() {
  // Made on first use; thread-safe as a function-local static.
  static LinuxMachine machine;
  return machine;
}

std::shared_ptr<ICpuMachine> CreateNativeMachine() { return std::make_shared<LinuxMachine>(); }

}  // namespace zt
