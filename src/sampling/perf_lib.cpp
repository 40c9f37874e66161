#include "sampling/perf_lib.h"

#include <memory>
#include <utility>

namespace zt {

namespace {

constexpr char kPerflibKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
constexpr char kValueName[] = "Disable Performance Counters";

std::string ServiceKey(const std::string& service) {
  return "SYSTEM\\CurrentControlSet\\Services\\" + service + "\\Performance";
}

bool ReadSwitchOff(IRegistry& registry, const std::string& path) {
  auto key = registry.OpenKey(RegRoot::LocalMachine, path, RegAccess::Read);
  if (!key) return false;
  // A value stored with another type reads as nothing and so as "on": the
  // start-up question must not end the program over a stray value.
  const auto value = key->ReadDword(kValueName);
  return value && *value == 1;
}

// Opens a switch's key for writing, never creating it: a switch whose key
// is missing stays missing.  Nothing (and not `refused`) when the key is
// missing or cannot be opened for another reason than rights.
std::unique_ptr<IRegistryKey> OpenSwitch(IRegistry& registry, const std::string& path,
                                         bool& refused) {
  RegStatus status = RegStatus::Failed;
  auto key = registry.OpenKeyWithStatus(RegRoot::LocalMachine, path, RegAccess::AllAccess, status);
  refused = status == RegStatus::AccessDenied;
  return key;
}

PerfSwitchResult WriteSwitch(IRegistry& registry, const std::string& path, bool off) {
  bool refused = false;
  auto key = OpenSwitch(registry, path, refused);
  if (refused) return PerfSwitchResult::Refused;
  if (key && !key->WriteDword(kValueName, off ? 1u : 0u)) return PerfSwitchResult::Refused;
  return PerfSwitchResult::Ok;
}

}  // namespace

const std::vector<std::string>& PerfServices() {
  static const std::vector<std::string> services{"PerfOS"};
  return services;
}

bool GlobalPerfCountersOff(IRegistry& registry) { return ReadSwitchOff(registry, kPerflibKey); }

PerfSwitchResult SetGlobalPerfCountersOff(IRegistry& registry, bool off) {
  return WriteSwitch(registry, kPerflibKey, off);
}

bool ServicePerfCountersOff(IRegistry& registry, const std::string& service) {
  if (service.empty()) return false;
  return ReadSwitchOff(registry, ServiceKey(service));
}

PerfSwitchResult SetServicePerfCountersOff(IRegistry& registry, const std::string& service,
                                           bool off) {
  if (service.empty()) return PerfSwitchResult::Ok;
  return WriteSwitch(registry, ServiceKey(service), off);
}

bool PerformanceCountersDisabled(IRegistry& registry) {
  if (GlobalPerfCountersOff(registry)) return true;
  for (const auto& service : PerfServices())
    if (ServicePerfCountersOff(registry, service)) return true;
  return false;
}

bool PerformanceCountersDisabled() { return PerformanceCountersDisabled(SystemRegistry()); }

PerfSwitchResult EnablePerformanceCounters(IRegistry& registry) {
  // Services first, the global switch last.
  std::vector<std::string> paths;
  for (const auto& service : PerfServices())
    if (!service.empty()) paths.push_back(ServiceKey(service));
  paths.push_back(kPerflibKey);

  // All keys are opened before the first write: without the right to write
  // one of them, the switches stay exactly as they were rather than half on.
  std::vector<std::unique_ptr<IRegistryKey>> keys;
  for (const auto& path : paths) {
    bool refused = false;
    auto key = OpenSwitch(registry, path, refused);
    if (refused) return PerfSwitchResult::Refused;
    if (key) keys.push_back(std::move(key));
  }
  for (auto& key : keys)
    if (!key->WriteDword(kValueName, 0)) return PerfSwitchResult::Refused;
  return PerfSwitchResult::Ok;
}

PerfSwitchResult EnablePerformanceCounters() { return EnablePerformanceCounters(SystemRegistry()); }

}  // namespace zt
