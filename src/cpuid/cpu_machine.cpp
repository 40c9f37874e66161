#include "cpuid/cpu_machine.h"

namespace zt {

template <>
cpuid::ICpuMachine& Seam<cpuid::ICpuMachine>::Real() {
  // Made on first use; thread-safe as a function-local static.
  static const std::shared_ptr<cpuid::ICpuMachine> native = cpuid::CreateNativeMachine();
  return *native;
}

namespace cpuid {

ICpuMachine& Machine() { return Seam<ICpuMachine>::Get(); }

}  // namespace cpuid
}  // namespace zt
