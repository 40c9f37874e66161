#include "sampling/perf_lib.h"

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

void WriteSwitch(IRegistry& registry, const std::string& path, bool off) {
  // Opened, never created: a switch whose key is missing stays missing.
  auto key = registry.OpenKey(RegRoot::LocalMachine, path, RegAccess::AllAccess);
  if (!key) return;
  key->WriteDword(kValueName, off ? 1u : 0u);
}

}  // namespace

const std::vector<std::string>& PerfServices() {
  static const std::vector<std::string> services{"PerfOS"};
  return services;
}

bool GlobalPerfCountersOff(IRegistry& registry) { return ReadSwitchOff(registry, kPerflibKey); }

void SetGlobalPerfCountersOff(IRegistry& registry, bool off) {
  WriteSwitch(registry, kPerflibKey, off);
}

bool ServicePerfCountersOff(IRegistry& registry, const std::string& service) {
  if (service.empty()) return false;
  return ReadSwitchOff(registry, ServiceKey(service));
}

void SetServicePerfCountersOff(IRegistry& registry, const std::string& service, bool off) {
  if (service.empty()) return;
  WriteSwitch(registry, ServiceKey(service), off);
}

bool PerformanceCountersDisabled(IRegistry& registry) {
  if (GlobalPerfCountersOff(registry)) return true;
  for (const auto& service : PerfServices())
    if (ServicePerfCountersOff(registry, service)) return true;
  return false;
}

bool PerformanceCountersDisabled() { return PerformanceCountersDisabled(SystemRegistry()); }

void EnablePerformanceCounters(IRegistry& registry) {
  for (const auto& service : PerfServices()) SetServicePerfCountersOff(registry, service, false);
  SetGlobalPerfCountersOff(registry, false);
}

void EnablePerformanceCounters() { EnablePerformanceCounters(SystemRegistry()); }

}  // namespace zt
