// The real Linux machine behind the seam, held against what the kernel says.
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "util/cpu_machine.h"

namespace zt {
namespace {

std::string Chars(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}

TEST(NativeMachineLinux, CpuidAgreesWithProcCpuinfo) {
  auto machine = CreateNativeMachine();
  CpuidRegisters l0 = machine->Cpuid(0);
  std::string vendor = Chars(l0.ebx) + Chars(l0.edx) + Chars(l0.ecx);
  std::ifstream in("/proc/cpuinfo");
  if (!in) GTEST_SKIP() << "no /proc/cpuinfo";
  std::string line, proc_vendor;
  unsigned family = 0, model = 0, stepping = 0;
  while (std::getline(in, line)) {
    auto value = [&] { return line.substr(line.find(':') + 2); };
    if (line.rfind("vendor_id", 0) == 0 && proc_vendor.empty()) proc_vendor = value();
    if (line.rfind("cpu family", 0) == 0 && !family) family = std::stoul(value());
    if (line.rfind("model\t", 0) == 0 && !model) model = std::stoul(value());
    if (line.rfind("stepping", 0) == 0 && !stepping) stepping = std::stoul(value());
  }
  EXPECT_EQ(vendor, proc_vendor);
  // The kernel's display family and model: extended fields shifted in.
  uint32_t sig = machine->Cpuid(1).eax;
  uint32_t f = (sig >> 8) & 0xF, m = (sig >> 4) & 0xF;
  if (f == 15) f += (sig >> 20) & 0xFF;
  if (f == 6 || f >= 15) m |= ((sig >> 16) & 0xF) << 4;
  EXPECT_EQ(f, family);
  EXPECT_EQ(m, model);
  EXPECT_EQ(sig & 0xF, stepping);
  // The subleaf reaches the processor: leaf 0xD subleaf 0 lists the state
  // components, subleaf 1 the XSAVE variants.
  if (l0.eax >= 0xD && (machine->Cpuid(1).ecx & (1u << 26))) {
    EXPECT_FALSE(machine->Cpuid(0xD, 0) == machine->Cpuid(0xD, 1));
  }
  EXPECT_EQ(machine->ProcessorCount(), static_cast<uint32_t>(sysconf(_SC_NPROCESSORS_ONLN)));
}

TEST(NativeMachineLinux, AffinityPinsTheCallingThreadAndComesBack) {
  auto machine = CreateNativeMachine();
  uint64_t process = 0, system = 0;
  ASSERT_TRUE(machine->GetProcessAffinity(process, system));
  EXPECT_NE(process, 0u);
  EXPECT_EQ(process & ~system, 0u);
  EXPECT_TRUE(machine->CanSetThreadAffinity());
  EXPECT_EQ(machine->SetThreadAffinity(0), 0u);
  uint64_t expected_before = process;
  for (int cpu = 0; cpu < 64; ++cpu) {
    if (!(process & (uint64_t{1} << cpu))) continue;
    ASSERT_EQ(machine->SetThreadAffinity(uint64_t{1} << cpu), expected_before);
    expected_before = uint64_t{1} << cpu;
    machine->SleepMs(0);
    EXPECT_EQ(sched_getcpu(), cpu);
  }
  ASSERT_EQ(machine->SetThreadAffinity(process), expected_before);
  uint64_t again = 0;
  machine->GetProcessAffinity(again, system);
  EXPECT_EQ(again, process);
}

TEST(NativeMachineLinux, CountersRunAndSleepWaits) {
  auto machine = CreateNativeMachine();
  EXPECT_EQ(machine->QueryPerformanceFrequency(), 1000000000);
  int64_t q0 = machine->QueryPerformanceCounter();
  uint64_t t0 = machine->ReadTsc();
  machine->RaisePriority();  // may be refused; must not fail
  machine->SleepMs(20);
  machine->RestorePriority();
  int64_t q1 = machine->QueryPerformanceCounter();
  uint64_t t1 = machine->ReadTsc();
  EXPECT_GE(q1 - q0, 19000000);
  EXPECT_GT(t1, t0);
}

TEST(MachineSeam, ReplacementAndBack) {
  ICpuMachine* native = &Seam<ICpuMachine>::Get();
  auto fake = CreateNativeMachine();
  {
    ScopedOverride<ICpuMachine> use(*fake);
    EXPECT_EQ(&Seam<ICpuMachine>::Get(), fake.get());
  }
  EXPECT_EQ(&Seam<ICpuMachine>::Get(), native);
}

}  // namespace
}  // namespace zt
