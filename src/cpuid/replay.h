// A machine that answers from a recorded CPUID dump instead of the
// processor: each CPU block is one processor; the processor that answers is
// the lowest one the thread's affinity mask allows, so the library's pinning
// selects the block.  It plays one thread, in a process that has every
// processor of the dump.  Nothing here sleeps or measures: the high-resolution
// counter has frequency 0, so measured speeds read 0.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <mutex>
#include <vector>

#include "cpuid/cpu_machine.h"
#include "cpuid/dump_parser.h"

namespace zt::cpuid {

class TReplayMachine final : public ICpuMachine {
 public:
  explicit TReplayMachine(CpuidDump dump);

  CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf = 0) override;
  uint32_t ProcessorCount() override;
  bool GetProcessAffinity(uint64_t& process_mask, uint64_t& system_mask) override;
  uint64_t SetThreadAffinity(uint64_t mask) override;
  bool CanSetThreadAffinity() override;
  uint64_t ReadTsc() override;
  int64_t QueryPerformanceCounter() override;
  int64_t QueryPerformanceFrequency() override;
  void SleepMs(uint32_t ms) override;
  void RaisePriority() override;
  void RestorePriority() override;

  // Acts like a system without the affinity calls (Windows 95/98/Me).
  void SetAffinityCallAvailable(bool available);

  // What the library did, for tests.
  struct CpuidCall {
    uint32_t processor;
    uint32_t leaf;
    uint32_t subleaf;
  };
  std::vector<uint64_t> AffinityCalls() const;  // masks passed, in order
  std::vector<CpuidCall> CpuidCalls() const;
  size_t SleepCalls() const;
  uint64_t CurrentMask() const;  // the thread's
  uint32_t CurrentProcessor() const;
  void ClearLog();

  const CpuidDump& Dump() const { return dump_; }

 private:
  uint32_t CurrentProcessorLocked() const;
  uint64_t SystemMask() const;

  // The dump's answers by (leaf, subleaf), and leaf 2's answers by call.
  struct Answers {
    std::map<std::pair<uint32_t, uint32_t>, CpuidRegisters> leaves;
    std::vector<CpuidRegisters> leaf2;
  };

  mutable std::mutex lock_;
  CpuidDump dump_;
  std::vector<Answers> answers_;
  uint64_t mask_;
  bool can_set_ = true;
  // Leaf 2 may have to be executed several times in a row; the dump records
  // the successive answers, so the run of consecutive leaf-2 calls picks one.
  uint32_t leaf2_run_ = 0;
  std::vector<uint64_t> affinity_calls_;
  std::vector<CpuidCall> cpuid_calls_;
  size_t sleep_calls_ = 0;
};

std::shared_ptr<TReplayMachine> CreateReplayMachine(CpuidDump dump);

// Runs the library on `machine` for the life of the scope (keeping it alive)
// and puts the previous one back afterwards: ScopedOverride<ICpuMachine> for a
// machine held by a shared pointer.  A null machine changes nothing.
class ScopedMachine {
 public:
  explicit ScopedMachine(std::shared_ptr<ICpuMachine> machine) : machine_(std::move(machine)) {
    if (machine_) use_.emplace(*machine_);
  }
  ScopedMachine(const ScopedMachine&) = delete;
  ScopedMachine& operator=(const ScopedMachine&) = delete;

 private:
  std::shared_ptr<ICpuMachine> machine_;
  std::optional<ScopedOverride<ICpuMachine>> use_;
};

}  // namespace zt::cpuid
