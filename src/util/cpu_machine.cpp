#include "util/cpu_machine.h"

namespace zt {

template <>
ICpuMachine& Seam<ICpuMachine>::Real() {
  // Made on first use; thread-safe as a function-local static.
  static const std::shared_ptr<ICpuMachine> native = CreateNativeMachine();
  return *native;
}

}  // namespace zt
