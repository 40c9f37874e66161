// The library on this very machine, held against what the kernel reports in
// /proc/cpuinfo.
#include <gtest/gtest.h>

#include <sched.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "cpuid/cpu_root.h"

namespace zt::cpuid {
namespace {

// The first processor's block of /proc/cpuinfo.
std::map<std::string, std::string> FirstCpuInfo() {
  std::map<std::string, std::string> fields;
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) break;
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string key = line.substr(0, colon);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.pop_back();
    std::string value = colon + 1 < line.size() ? line.substr(colon + 1) : "";
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    fields[key] = value;
  }
  return fields;
}

TEST(LiveMachine, AgreesWithTheKernel) {
#if !defined(__i386__) && !defined(__x86_64__)
  GTEST_SKIP() << "not an x86 processor";
#endif
  const auto info = FirstCpuInfo();
  if (info.count("vendor_id") == 0 || info.count("cpu family") == 0) GTEST_SKIP() << "no /proc/cpuinfo";
  cpu_set_t before;
  CPU_ZERO(&before);
  ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);

  ResetCpuRoot();
  const auto cpu = CpuRoot().ProcessorInformation(0);
  EXPECT_EQ(cpu->Vendor()->Signature(), info.at("vendor_id"));
  const auto sig = cpu->Signature();
  EXPECT_EQ(sig->Family()->Value()->AsString(), info.at("cpu family"));
  EXPECT_EQ(sig->Stepping()->Value()->AsString(), info.at("stepping"));
  // The kernel shifts the extended model above the nibble; the library adds
  // it only when the nibble is 15.
  const uint32_t kernel_model = static_cast<uint32_t>(std::stoul(info.at("model")));
  const uint32_t nibble = kernel_model & 0xF;
  EXPECT_EQ(sig->Model()->Value()->Value(), nibble + (nibble == 15 ? kernel_model >> 4 : 0));

  std::set<std::string> flags;
  std::istringstream words(info.count("flags") ? info.at("flags") : "");
  for (std::string w; words >> w;) flags.insert(w);
  const auto features = cpu->Features();
  for (const char* name : {"fpu", "tsc", "cmov", "mmx", "sse", "sse2", "pse36"}) {
    EXPECT_EQ(features->FeatureByName(name)->Available()->Value(), flags.count(name) == 1) << name;
  }
  if (cpu->Vendor()->FeatureFamily() == 2) {
    EXPECT_EQ(features->FeatureByName("lm")->Available()->Value(), flags.count("lm") == 1);
    EXPECT_EQ(features->Extended()->FeatureByName("NX")->Available()->Value(), flags.count("nx") == 1);
  }
  if (info.count("model name") && cpu->Name()->FromTable()->Value() == false) {
    EXPECT_EQ(cpu->Name()->Name(), info.at("model name"));
  }

  // Every pin the library made has been undone.
  cpu_set_t after;
  CPU_ZERO(&after);
  ASSERT_EQ(sched_getaffinity(0, sizeof after, &after), 0);
  EXPECT_TRUE(CPU_EQUAL(&before, &after));
}

}  // namespace
}  // namespace zt::cpuid
