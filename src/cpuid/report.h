// The text report of `zettrim-cpuinfo`: everything the CPU information
// window shows, one row per line, three fields separated by a TAB (page,
// caption, value), UTF-8, lines ending in "\n" on every platform.
#pragma once

#include <string>

namespace zt::cpuid {

// Builds the report for the machine the library uses now (Machine()).
std::string BuildReport();

}  // namespace zt::cpuid
