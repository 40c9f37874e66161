// Switch for the system's performance counters, which the processor-load
// source needs on the NT family.  An administrator can turn them off globally
// or for the operating-system counter provider with the registry value
// "Disable Performance Counters" (1 = off).  Portable over the registry seam;
// where there is no registry nothing can be opened, so the counters never
// read as disabled.
#pragma once

#include <string>
#include <vector>

#include "util/registry.h"

namespace zt {

// Services whose own switch is examined, in order.
const std::vector<std::string>& PerfServices();

// True when the global switch or any service's switch is off.
bool PerformanceCountersDisabled(IRegistry& registry);
bool PerformanceCountersDisabled();  // SystemRegistry()

// What writing the switches came to.  Refused: the system refused to let a
// switch be written (a user without administrator rights); nothing was
// changed.  Ok otherwise, switches whose key is missing or cannot be opened
// for another reason included: those are skipped.
enum class PerfSwitchResult { Ok, Refused };

// Writes 0 to every service switch, then to the global one; no key is
// created.  Every key is opened before the first is written, so a refusal
// changes nothing.  A write that fails after its key was opened for it is
// Refused as well (the switches before it may then be written).
PerfSwitchResult EnablePerformanceCounters(IRegistry& registry);
PerfSwitchResult EnablePerformanceCounters();  // SystemRegistry()

// The single switches.  "Off" = the value reads exactly 1; a missing key,
// an unopenable key, a missing value or a value of another type reads as on.
bool GlobalPerfCountersOff(IRegistry& registry);
PerfSwitchResult SetGlobalPerfCountersOff(IRegistry& registry, bool off);
bool ServicePerfCountersOff(IRegistry& registry, const std::string& service);
PerfSwitchResult SetServicePerfCountersOff(IRegistry& registry, const std::string& service,
                                           bool off);

}  // namespace zt
