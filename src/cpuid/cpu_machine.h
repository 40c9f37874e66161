// The processor identification library's one way to the machine: the seam
// of util/cpu_machine.h, which it shares with the main window's clock
// thread.  Everything else in src/cpuid is pure decoding of what the
// machine returns.  Implementations: the real machine (Windows, Linux) and
// a replay of a recorded CPUID dump (tests, `zettrim-cpuinfo --load`).
#pragma once

#include "util/cpu_machine.h"

namespace zt::cpuid {

// The machine the library uses: the real one unless a replay or a test has
// put another in its place (ScopedOverride<ICpuMachine>, util/seam.h).
inline ICpuMachine& Machine() { return Seam<ICpuMachine>::Get(); }

}  // namespace zt::cpuid
