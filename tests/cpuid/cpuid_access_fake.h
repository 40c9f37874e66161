// A small in-test machine: CPUID answers from a register map per processor,
// the answering processor chosen by the process affinity mask, and every
// affinity, sleep and CPUID call counted.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cpuid/cpu_machine.h"
#include "cpuid/cpu_root.h"

namespace zt::cpuid::testing {

struct FakeCpu {
  std::map<uint32_t, CpuidRegisters> leaves;

  FakeCpu& Leaf(uint32_t leaf, uint32_t eax, uint32_t ebx, uint32_t ecx, uint32_t edx) {
    leaves[leaf] = CpuidRegisters{eax, ebx, ecx, edx};
    return *this;
  }
  // Leaf 0 with the vendor text spread over EBX, EDX, ECX.
  FakeCpu& Vendor(const char* text12, uint32_t max_standard) {
    uint32_t regs[3] = {0, 0, 0};
    std::memcpy(regs, text12, 12);
    return Leaf(0, max_standard, regs[0], regs[2], regs[1]);
  }
  FakeCpu& Extended(uint32_t max_extended) {
    CpuidRegisters& r = leaves[0x80000000];
    r.eax = max_extended;
    return *this;
  }
  // Leaf 1: signature, EBX, ECX and EDX feature words.
  FakeCpu& Signature(uint32_t eax, uint32_t ebx = 0, uint32_t ecx = 0, uint32_t edx = 0) {
    return Leaf(1, eax, ebx, ecx, edx);
  }
};

inline uint32_t Chars(const char* four) {
  uint32_t v = 0;
  std::memcpy(&v, four, 4);
  return v;
}

class FakeMachine final : public ICpuMachine {
 public:
  explicit FakeMachine(std::vector<FakeCpu> cpus) : cpus_(std::move(cpus)) {
    mask_ = AllMask();
  }

  CpuidRegisters Cpuid(uint32_t leaf, uint32_t) override {
    ++cpuid_calls;
    leaves_asked.push_back(leaf);
    const FakeCpu& cpu = cpus_[CurrentProcessor()];
    auto it = cpu.leaves.find(leaf);
    return it == cpu.leaves.end() ? CpuidRegisters{} : it->second;
  }
  uint32_t ProcessorCount() override { return reported_count ? reported_count : static_cast<uint32_t>(cpus_.size()); }
  bool GetProcessAffinity(uint64_t& process_mask, uint64_t& system_mask) override {
    ++get_affinity_calls;
    if (!get_affinity_works) return false;
    process_mask = mask_;
    system_mask = AllMask();
    return true;
  }
  bool SetProcessAffinity(uint64_t mask) override {
    set_affinity_masks.push_back(mask);
    mask_ = mask;
    return true;
  }
  bool CanSetProcessAffinity() override { return can_set_affinity; }
  uint64_t ReadTsc() override { return tsc += tsc_step; }
  int64_t QueryPerformanceCounter() override { return qpc += qpc_step; }
  int64_t QueryPerformanceFrequency() override { return frequency; }
  void SleepMs(uint32_t ms) override { sleeps.push_back(ms); }
  void RaisePriority() override { ++raise_calls; }
  void RestorePriority() override { ++restore_calls; }

  uint32_t CurrentProcessor() const {
    for (uint32_t p = 0; p < cpus_.size() && p < 64; ++p) {
      if ((mask_ >> p) & 1) return p;
    }
    return 0;
  }
  uint64_t AllMask() const {
    return cpus_.size() >= 64 ? ~uint64_t{0} : (uint64_t{1} << cpus_.size()) - 1;
  }
  void SetMask(uint64_t mask) { mask_ = mask; }
  uint64_t Mask() const { return mask_; }

  // Knobs and records for the tests.
  uint32_t reported_count = 0;  // 0: the number of fake processors
  bool can_set_affinity = true;
  bool get_affinity_works = true;
  std::vector<uint64_t> set_affinity_masks;
  int get_affinity_calls = 0;
  int cpuid_calls = 0;
  std::vector<uint32_t> leaves_asked;
  std::vector<uint32_t> sleeps;
  int raise_calls = 0;
  int restore_calls = 0;
  uint64_t tsc = 0;
  uint64_t tsc_step = 0;
  int64_t qpc = 0;
  int64_t qpc_step = 0;
  int64_t frequency = 0;

 private:
  std::vector<FakeCpu> cpus_;
  uint64_t mask_;
};

// Installs a fake machine (and a fresh root for it) for one scope.
class ScopedFake {
 public:
  explicit ScopedFake(std::vector<FakeCpu> cpus) : machine_(std::make_shared<FakeMachine>(std::move(cpus))) {
    previous_ = SetMachine(machine_);
    ResetCpuRoot();
  }
  ~ScopedFake() {
    SetMachine(previous_);
    ResetCpuRoot();
  }
  ScopedFake(const ScopedFake&) = delete;
  ScopedFake& operator=(const ScopedFake&) = delete;
  FakeMachine& operator*() { return *machine_; }
  FakeMachine* operator->() { return machine_.get(); }

 private:
  std::shared_ptr<FakeMachine> machine_;
  std::shared_ptr<ICpuMachine> previous_;
};

// Typical processors.
inline FakeCpu IntelCpu(uint32_t signature = 0x00000683) {
  FakeCpu cpu;
  cpu.Vendor("GenuineIntel", 3).Signature(signature, 0x00010E02, 0, 0x0383FBFF).Extended(0x80000004);
  return cpu;
}

inline FakeCpu AmdCpu(uint32_t signature = 0x00000622) {
  FakeCpu cpu;
  cpu.Vendor("AuthenticAMD", 1).Signature(signature, 0, 0, 0x0183F9FF).Extended(0x80000008);
  cpu.Leaf(0x80000001, signature, 0, 0, 0xC1C3F9FF);
  return cpu;
}

}  // namespace zt::cpuid::testing
