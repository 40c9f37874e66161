// A one-processor machine answering CPUID from a table, for the name and
// cache tests.  Successive executions of the same leaf in a row walk through
// that leaf's list of answers (the last one repeats), as leaf 2 does on the
// processors that need several calls; running another leaf starts the walk
// again.  A leaf without an entry answers zeros.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cpuid/cpu_machine.h"
#include "cpuid/cpu_root.h"

namespace zt::cpuid::testing {

class NamingFakeMachine : public ICpuMachine {
 public:
  CpuidRegisters Cpuid(uint32_t leaf, uint32_t /*subleaf*/) override {
    run_ = (leaf == last_leaf_) ? run_ + 1 : 1;
    last_leaf_ = leaf;
    ++executions_[leaf];
    auto it = leaves_.find(leaf);
    if (it == leaves_.end() || it->second.empty()) return {};
    const size_t i = std::min(run_, it->second.size()) - 1;
    return it->second[i];
  }
  uint32_t ProcessorCount() override { return 1; }
  bool GetProcessAffinity(uint64_t& process_mask, uint64_t& system_mask) override {
    process_mask = system_mask = 1;
    return true;
  }
  bool SetProcessAffinity(uint64_t) override {
    ++affinity_calls_;
    return true;
  }
  bool CanSetProcessAffinity() override { return true; }
  uint64_t ReadTsc() override { return 0; }
  int64_t QueryPerformanceCounter() override { return 0; }
  int64_t QueryPerformanceFrequency() override { return 0; }
  void SleepMs(uint32_t) override {}
  void RaisePriority() override {}
  void RestorePriority() override {}

  void Set(uint32_t leaf, CpuidRegisters regs) { leaves_[leaf] = {regs}; }
  void SetSequence(uint32_t leaf, std::vector<CpuidRegisters> answers) {
    leaves_[leaf] = std::move(answers);
  }
  // Leaf 0 with the vendor text, leaf 1 with the signature and EBX, and the
  // base of the extended range (0 = the processor has none).
  void SetBasics(const char* vendor12, uint32_t max_standard, uint32_t signature,
                 uint32_t leaf1_ebx = 0, uint32_t max_extended = 0, uint32_t leaf1_edx = 0) {
    uint32_t v[3];
    std::memcpy(v, vendor12, 12);  // EBX, EDX, ECX order of the text
    Set(0, {max_standard, v[0], v[2], v[1]});
    Set(1, {signature, leaf1_ebx, 0, leaf1_edx});
    if (max_extended != 0) Set(0x80000000, {max_extended, 0, 0, 0});
  }
  // Brand text into the leaves from `first`, 16 bytes a leaf, NUL padded.
  void SetText(uint32_t first, uint32_t leaves, const std::string& text) {
    std::string padded = text;
    padded.resize(16 * leaves, '\0');
    for (uint32_t i = 0; i < leaves; ++i) {
      uint32_t r[4];
      std::memcpy(r, padded.data() + 16 * i, 16);
      Set(first + i, {r[0], r[1], r[2], r[3]});
    }
  }
  size_t Executions(uint32_t leaf) const {
    auto it = executions_.find(leaf);
    return it == executions_.end() ? 0 : it->second;
  }
  int affinity_calls() const { return affinity_calls_; }

 private:
  std::map<uint32_t, std::vector<CpuidRegisters>> leaves_;
  std::map<uint32_t, size_t> executions_;
  uint32_t last_leaf_ = 0xFFFFFFFF;
  size_t run_ = 0;
  int affinity_calls_ = 0;
};

// Installs a fake machine for one test and puts the previous one back.
class ScopedNamingMachine {
 public:
  ScopedNamingMachine() : machine_(std::make_shared<NamingFakeMachine>()) {
    previous_ = SetMachine(machine_);
    ResetCpuRoot();
  }
  ~ScopedNamingMachine() {
    SetMachine(previous_);
    ResetCpuRoot();
  }
  NamingFakeMachine& operator*() { return *machine_; }
  NamingFakeMachine* operator->() { return machine_.get(); }

 private:
  std::shared_ptr<NamingFakeMachine> machine_;
  std::shared_ptr<ICpuMachine> previous_;
};

}  // namespace zt::cpuid::testing
