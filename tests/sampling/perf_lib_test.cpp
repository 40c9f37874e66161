#include "sampling/perf_lib.h"

#include <gtest/gtest.h>

#include "support/fake_registry.h"

namespace zt {
namespace {

constexpr char kGlobal[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
constexpr char kPerfOS[] = "SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance";
constexpr char kValue[] = "Disable Performance Counters";

void PutDword(FakeRegistry& reg, const char* path, uint32_t v) {
  reg.PutDword(RegRoot::LocalMachine, path, kValue, v);
}

std::optional<uint32_t> GetDword(FakeRegistry& reg, const char* path) {
  auto key = reg.OpenKey(RegRoot::LocalMachine, path, RegAccess::Read);
  if (!key) return std::nullopt;
  return key->ReadDword("Disable Performance Counters");
}

TEST(PerfLib, DisabledCases) {
  {
    FakeRegistry reg;  // nothing there at all
    EXPECT_FALSE(PerformanceCountersDisabled(reg));
  }
  {
    FakeRegistry reg;  // global 1, service value absent
    PutDword(reg, kGlobal, 1);
    reg.At(RegRoot::LocalMachine, kPerfOS);
    EXPECT_TRUE(PerformanceCountersDisabled(reg));
  }
  {
    FakeRegistry reg;  // global absent, PerfOS 1
    reg.At(RegRoot::LocalMachine, kGlobal);
    PutDword(reg, kPerfOS, 1);
    EXPECT_TRUE(PerformanceCountersDisabled(reg));
  }
  {
    FakeRegistry reg;  // both 0
    PutDword(reg, kGlobal, 0);
    PutDword(reg, kPerfOS, 0);
    EXPECT_FALSE(PerformanceCountersDisabled(reg));
  }
  {
    FakeRegistry reg;  // 2 is not "off"
    PutDword(reg, kGlobal, 2);
    PutDword(reg, kPerfOS, 2);
    EXPECT_FALSE(PerformanceCountersDisabled(reg));
  }
  {
    FakeRegistry reg;  // an unopenable key counts as on
    PutDword(reg, kGlobal, 1);
    reg.At(RegRoot::LocalMachine, kGlobal).unopenable = true;
    EXPECT_FALSE(PerformanceCountersDisabled(reg));
  }
  {
    FakeRegistry reg;  // a value of another type reads as on instead of failing
    FakeRegistry::Value text;
    text.kind = FakeRegistry::Value::String;
    text.bytes = {'1'};
    reg.At(RegRoot::LocalMachine, kGlobal).values["disable performance counters"] = text;
    EXPECT_FALSE(PerformanceCountersDisabled(reg));
  }
}

TEST(PerfLib, EnableWritesZeroToExistingKeysOnly) {
  {
    FakeRegistry reg;
    PutDword(reg, kGlobal, 1);
    PutDword(reg, kPerfOS, 1);
    EXPECT_EQ(EnablePerformanceCounters(reg), PerfSwitchResult::Ok);
    EXPECT_EQ(GetDword(reg, kGlobal), 0u);
    EXPECT_EQ(GetDword(reg, kPerfOS), 0u);
    EXPECT_FALSE(PerformanceCountersDisabled(reg));
  }
  {
    FakeRegistry reg;  // the service key is missing: it is not created
    PutDword(reg, kGlobal, 1);
    EXPECT_EQ(EnablePerformanceCounters(reg), PerfSwitchResult::Ok);
    EXPECT_EQ(GetDword(reg, kGlobal), 0u);
    EXPECT_FALSE(reg.HasKey(RegRoot::LocalMachine, kPerfOS));
  }
  {
    FakeRegistry reg;  // the key exists without the value: the value is written
    reg.At(RegRoot::LocalMachine, kPerfOS);
    PutDword(reg, kGlobal, 1);
    EnablePerformanceCounters(reg);
    EXPECT_EQ(GetDword(reg, kPerfOS), 0u);
  }
  {
    FakeRegistry reg;  // a key that cannot be opened for another reason is skipped
    PutDword(reg, kGlobal, 1);
    PutDword(reg, kPerfOS, 1);
    reg.At(RegRoot::LocalMachine, kPerfOS).unopenable = true;
    EXPECT_EQ(EnablePerformanceCounters(reg), PerfSwitchResult::Ok);
    EXPECT_EQ(GetDword(reg, kGlobal), 0u);
  }
}

// Without administrator rights the system refuses to open the switches for
// writing: that is said, and no switch is changed, not even one the user
// could write.
TEST(PerfLib, ARefusedSwitchIsReportedAndNothingIsWritten) {
  {
    FakeRegistry reg;
    PutDword(reg, kGlobal, 1);
    PutDword(reg, kPerfOS, 1);
    reg.At(RegRoot::LocalMachine, kGlobal).read_only = true;
    EXPECT_EQ(EnablePerformanceCounters(reg), PerfSwitchResult::Refused);
    EXPECT_EQ(GetDword(reg, kGlobal), 1u);
    EXPECT_EQ(GetDword(reg, kPerfOS), 1u);
    EXPECT_TRUE(PerformanceCountersDisabled(reg));
  }
  {
    FakeRegistry reg;  // the service refused, the global switch missing
    PutDword(reg, kPerfOS, 1);
    reg.At(RegRoot::LocalMachine, kPerfOS).read_only = true;
    EXPECT_EQ(EnablePerformanceCounters(reg), PerfSwitchResult::Refused);
    EXPECT_EQ(GetDword(reg, kPerfOS), 1u);
    EXPECT_FALSE(reg.HasKey(RegRoot::LocalMachine, kGlobal));
  }
  {
    FakeRegistry reg;  // the single switches say so too
    PutDword(reg, kGlobal, 1);
    reg.At(RegRoot::LocalMachine, kGlobal).read_only = true;
    EXPECT_EQ(SetGlobalPerfCountersOff(reg, false), PerfSwitchResult::Refused);
    EXPECT_EQ(SetServicePerfCountersOff(reg, "PerfOS", false), PerfSwitchResult::Ok);
    EXPECT_EQ(GetDword(reg, kGlobal), 1u);
  }
}

TEST(PerfLib, SingleSwitchesAndEmptyServiceName) {
  FakeRegistry reg;
  reg.At(RegRoot::LocalMachine, kGlobal);
  reg.At(RegRoot::LocalMachine, kPerfOS);
  SetGlobalPerfCountersOff(reg, true);
  EXPECT_EQ(GetDword(reg, kGlobal), 1u);
  EXPECT_TRUE(GlobalPerfCountersOff(reg));
  SetServicePerfCountersOff(reg, "PerfOS", true);
  EXPECT_TRUE(ServicePerfCountersOff(reg, "PerfOS"));
  EXPECT_FALSE(ServicePerfCountersOff(reg, ""));
  SetServicePerfCountersOff(reg, "", true);  // does nothing
  EXPECT_FALSE(reg.HasKey(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\\\Performance"));
  EXPECT_EQ(PerfServices(), std::vector<std::string>{"PerfOS"});
}

TEST(PerfLib, SystemRegistryOverrideIsUsed) {
  FakeRegistry reg;
  PutDword(reg, kPerfOS, 1);
  ScopedOverride<IRegistry> use(reg);
  EXPECT_TRUE(PerformanceCountersDisabled());
  EXPECT_EQ(EnablePerformanceCounters(), PerfSwitchResult::Ok);
  EXPECT_FALSE(PerformanceCountersDisabled());
}

#ifndef _WIN32
TEST(PerfLib, NoRegistryMeansNotDisabled) {
  EXPECT_FALSE(PerformanceCountersDisabled());
  EXPECT_EQ(EnablePerformanceCounters(), PerfSwitchResult::Ok);  // nothing to write
}
#endif

}  // namespace
}  // namespace zt
