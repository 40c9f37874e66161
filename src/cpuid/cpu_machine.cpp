#include "cpuid/cpu_machine.h"

#include <mutex>

namespace zt::cpuid {

namespace {

// The library runs on the user-interface thread, but the speed thread reads
// the counters through the same seam, so the pointers are guarded.
std::mutex& MachineLock() {
  static std::mutex lock;
  return lock;
}

std::shared_ptr<ICpuMachine>& Replacement() {
  static std::shared_ptr<ICpuMachine> replacement;
  return replacement;
}

std::shared_ptr<ICpuMachine>& Native() {
  static std::shared_ptr<ICpuMachine> native;
  return native;
}

}  // namespace

ICpuMachine& Machine() {
  std::lock_guard<std::mutex> guard(MachineLock());
  if (Replacement()) return *Replacement();
  if (!Native()) Native() = CreateNativeMachine();
  return *Native();
}

std::shared_ptr<ICpuMachine> SetMachine(std::shared_ptr<ICpuMachine> machine) {
  std::lock_guard<std::mutex> guard(MachineLock());
  std::shared_ptr<ICpuMachine> previous = std::move(Replacement());
  Replacement() = std::move(machine);
  return previous;
}

}  // namespace zt::cpuid
