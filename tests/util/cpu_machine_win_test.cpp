// The real Windows machine behind the seam.
#include "util/cpu_machine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

namespace zt {
namespace {

TEST(NativeMachineWin, CountsAndCpuidAnswer) {
  auto machine = CreateNativeMachine();
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  EXPECT_EQ(machine->ProcessorCount(), info.dwNumberOfProcessors);
  CpuidRegisters l0 = machine->Cpuid(0);
  EXPECT_GE(l0.eax, 1u);
  EXPECT_NE(l0.ebx, 0u);  // the vendor text
  EXPECT_EQ(machine->Cpuid(0x80000000).eax & 0x80000000u, 0x80000000u);
}

TEST(NativeMachineWin, AffinityIsLookedUpAndPinsOnlyTheCallingThread) {
  auto machine = CreateNativeMachine();
  ASSERT_TRUE(machine->CanSetThreadAffinity());
  uint64_t process = 0, system = 0;
  ASSERT_TRUE(machine->GetProcessAffinity(process, system));
  EXPECT_NE(process, 0u);
  EXPECT_EQ(process & ~system, 0u);
  const uint64_t lowest = process & (~process + 1);
  const uint64_t before = machine->SetThreadAffinity(lowest);
  ASSERT_NE(before, 0u);
  // The process and its other threads keep every processor.
  uint64_t now = 0;
  machine->GetProcessAffinity(now, system);
  EXPECT_EQ(now, process);
  uint64_t other = 0;
  std::thread([&] { other = machine->SetThreadAffinity(process); }).join();
  EXPECT_EQ(other, process);
  EXPECT_EQ(machine->SetThreadAffinity(before), lowest);
  EXPECT_EQ(machine->SetThreadAffinity(0), 0u);
}

TEST(NativeMachineWin, CountersPriorityAndSleep) {
  auto machine = CreateNativeMachine();
  int64_t f = machine->QueryPerformanceFrequency();
  ASSERT_GT(f, 0);
  int64_t q0 = machine->QueryPerformanceCounter();
  uint64_t t0 = machine->ReadTsc();
  int thread_before = GetThreadPriority(GetCurrentThread());
  DWORD class_before = GetPriorityClass(GetCurrentProcess());
  machine->RaisePriority();
  machine->SleepMs(20);
  machine->RestorePriority();
  EXPECT_EQ(GetThreadPriority(GetCurrentThread()), thread_before);
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), class_before);
  int64_t q1 = machine->QueryPerformanceCounter();
  EXPECT_GE((q1 - q0) * 1000 / f, 15);
  EXPECT_GT(machine->ReadTsc(), t0);
}

}  // namespace
}  // namespace zt
