// The core decoding over real processors, replayed from the dumps in
// tests/data/cpuid-dumps, held against facts known about each processor family.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cpuid/cpu_root.h"
#include "cpuid/dump_parser.h"
#include "cpuid/replay.h"

namespace zt::cpuid {
namespace {

namespace fs = std::filesystem;

fs::path DumpFolder() { return fs::path(ZT_TEST_DATA_DIR) / "cpuid-dumps"; }

// What is known about a micro-architecture, matched against the file name.
struct Known {
  const char* name_part;
  uint32_t family;  // family as this library computes it (15 + extended)
  int has_3dnow;    // -1: not checked
  int has_lm;
};

constexpr Known kKnown[] = {
    {"amd__k5__", 5, 0, 0},         {"amd__k6__", 5, 1, 0},         {"amd__k7__", 6, 1, 0},
    {"amd__k8__", 15, 1, 1},        {"amd__k10__", 18, 1, 1},       {"amd__bobcat__", 20, 0, 1},
    {"amd__bulldozer__", 21, 0, 1}, {"amd__jaguar__", 22, 0, 1},    {"amd__zen__", 23, 0, 1},
    {"amd__zen+__", 23, 0, 1},      {"amd__zen2__", 23, 0, 1},      {"amd__zen3__", 25, 0, 1},
    {"amd__zen3+__", 25, 0, 1},     {"amd__zen4__", 25, 0, 1},      {"amd__zen5__", 26, 0, 1},
    {"__netburst__", 15, -1, -1},   {"__p6__", 6, -1, -1},          {"intel__x86-64__core__", 6, -1, -1},
    {"__sandy-bridge__", 6, -1, -1}, {"__haswell__", 6, -1, -1},    {"__skylake__", 6, -1, -1},
    {"intel__x86-atom__", 6, -1, -1}, {"hygon__dhyana__", 24, -1, -1},
};

TCpuVendor VendorOfFile(const std::string& name) {
  if (name.rfind("amd__", 0) == 0) return kVendorAmd;
  if (name.rfind("intel__", 0) == 0) return kVendorIntel;
  // Zhaoxin processors still call themselves "CentaurHauls".
  if (name.rfind("via__", 0) == 0 || name.rfind("zhaoxin__", 0) == 0) return kVendorVia;
  return kVendorUnknown;  // Hygon is not in the vendor table
}

TEST(CoreOnRealDumps, FamiliesFeaturesAndErrata) {
  ASSERT_TRUE(fs::is_directory(DumpFolder())) << "no dump folder at " << DumpFolder();
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(DumpFolder())) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".cpuid-r") continue;
    SCOPED_TRACE(name);
    const auto machine = CreateReplayMachine(ParseDumpFile(entry.path().string()));
    ScopedMachine scoped(machine);
    ResetCpuRoot();

    const auto cpu = CpuRoot().ProcessorInformation(0);
    const TCpuVendor vendor = cpu->Vendor()->Vendor();
    EXPECT_EQ(vendor, VendorOfFile(name));
    const auto sig = cpu->Signature();
    const uint32_t family = sig->Family()->Value()->Value();
    EXPECT_EQ(sig->Family()->IsExtended()->Value(), family >= 15);
    for (const Known& k : kKnown) {
      if (name.find(k.name_part) == std::string::npos) continue;
      EXPECT_EQ(family, k.family);
      const auto features = cpu->Features();
      if (k.has_3dnow >= 0) {
        EXPECT_EQ(features->FeatureByName("3dnow")->Available()->Value(), k.has_3dnow == 1);
      }
      if (k.has_lm >= 0) {
        EXPECT_EQ(features->FeatureByName("LM")->Available()->Value(), k.has_lm == 1);
      }
    }
    if (name.find("x86-64") != std::string::npos || family >= 15) {
      EXPECT_TRUE(cpu->Features()->FeatureByName("SSE2")->Available()->Value());
    }
    // Intel's long-mode bit has no row for Intel: the name finds no feature.
    if (vendor == kVendorIntel) {
      EXPECT_EQ(cpu->Features()->FeatureByName("LM")->ShortName(), "RES");
    }
    EXPECT_EQ(cpu->Features()->Standard()->FeatureCount()->Value(), 30u);
    EXPECT_FALSE(cpu->Errata()->FDivError()->Value());
    EXPECT_FALSE(cpu->Errata()->DuronCache()->Value());
    EXPECT_EQ(cpu->Serial()->AsDashedText().size(), 29u);
    EXPECT_GE(CpuRoot().ProcessorCount()->VirtualProcessors()->Value(), 1u);
    EXPECT_EQ(cpu->Speed()->NormalisedSpeed()->AsFrequency(), "0 Mhz");
    EXPECT_EQ(cpu->Speed()->Rating(), "");
    // One processor: nothing is ever pinned.
    EXPECT_TRUE(machine->AffinityCalls().empty());
    ++checked;
  }
  ResetCpuRoot();
  EXPECT_GE(checked, 40);
}

TEST(CoreOnRealDumps, TwoDifferentProcessorsEachAnswerForThemselves) {
  const fs::path intel = DumpFolder() / "intel__ia-32__netburst__intel-pentium-4-cpu-2.40ghz.cpuid-r";
  const fs::path amd = DumpFolder() / "amd__k7__amd-athlon-xp.cpuid-r";
  ASSERT_TRUE(fs::exists(intel)) << intel;
  ASSERT_TRUE(fs::exists(amd)) << amd;
  CpuidDump dump = ParseDumpFile(intel.string());
  dump.cpus.push_back(ParseDumpFile(amd.string()).cpus.at(0));
  const auto machine = CreateReplayMachine(dump);
  ScopedMachine scoped(machine);
  ResetCpuRoot();
  const uint64_t mask_before = machine->CurrentMask();

  EXPECT_TRUE(CpuRoot().UseAffinity());
  EXPECT_EQ(CpuRoot().ProcessorInformation(1)->Vendor()->Vendor(), kVendorAmd);
  EXPECT_EQ(CpuRoot().ProcessorInformation(0)->Vendor()->Vendor(), kVendorIntel);
  EXPECT_EQ(CpuRoot().ProcessorInformation(1)->Signature()->AsString(), "x86 Family 6 Model 8 Stepping 1");
  EXPECT_EQ(CpuRoot().ProcessorInformation(0)->Signature()->Family()->Value()->Value(), 15u);
  EXPECT_TRUE(CpuRoot().ProcessorInformation(1)->Features()->Extended()->FeatureByName("MMX+")->Available()->Value());
  EXPECT_EQ(CpuRoot().ProcessorInformation(0)->Features()->Extended()->Feature(22)->ShortName(), "RES");

  const std::vector<uint64_t> calls = machine->AffinityCalls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.size() % 2, 0u);  // every pin has its restore
  EXPECT_EQ(calls.back(), mask_before);
  EXPECT_EQ(machine->CurrentMask(), mask_before);
  ResetCpuRoot();
}

}  // namespace
}  // namespace zt::cpuid
