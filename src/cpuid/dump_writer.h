// Writes CPUID registers as a dump in the AIDA64/InstLatx64 text layout, so
// that a user can send in the registers of a machine the program reads
// wrongly (`zettrim-cpuinfo --save FILE`); the dump parser reads it back.
#pragma once

#include <string>

#include "cpuid/cpu_machine.h"
#include "cpuid/dump_parser.h"

namespace zt::cpuid {

// Reads every leaf and subleaf the processors of `machine` report, one CPU
// block per processor (at most 64, the width of an affinity mask), pinning
// the calling thread to each in turn and restoring its mask afterwards.
// Leaf 2 is executed as many times as its first answer asks and each call
// recorded.
CpuidDump CaptureDump(ICpuMachine& machine);

// The dump as text: a "------[ CPUID Registers / Logical CPU #n ]------"
// header per block and one "CPUID LLLLLLLL: EAX-EBX-ECX-EDX [SL nn]" line per
// record (no tag on records that were untagged).
std::string FormatAidaDump(const CpuidDump& dump);

}  // namespace zt::cpuid
