// The one fake machine (util/cpu_machine.h), under the processor library
// and the clock thread alike.  CPUID answers from a register map per
// processor, the answering processor chosen by the calling thread's affinity
// mask, and every affinity, sleep and CPUID call counted.  Each thread has
// its own mask, all processors until it sets one, as on Windows.  A leaf may
// have a list of answers: successive executions of the same leaf in a row
// walk through it (the last one repeats), as leaf 2 does on the processors
// that need several calls; running another leaf starts the walk again.  A
// leaf without an entry answers zeros.
//
// Time is the machine's own: it stands still but for the sleeps, which move
// it on by what they asked for (plus sleep_extra_us, as a sleep that ends
// on the system's tick does), and both counters follow it at their rates.
// The affinity, sleep, counter and priority calls may come from two threads
// at once (a clock thread beside a library read); CPUID is for one.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cpuid/cpu_root.h"
#include "util/cpu_machine.h"

namespace zt::cpuid::testing {

struct FakeCpu {
  std::map<uint32_t, std::vector<CpuidRegisters>> leaves;

  FakeCpu& Leaf(uint32_t leaf, uint32_t eax, uint32_t ebx, uint32_t ecx, uint32_t edx) {
    leaves[leaf] = {CpuidRegisters{eax, ebx, ecx, edx}};
    return *this;
  }
  // Leaf 0 with the vendor text spread over EBX, EDX, ECX.
  FakeCpu& Vendor(const char* text12, uint32_t max_standard) {
    uint32_t regs[3] = {0, 0, 0};
    std::memcpy(regs, text12, 12);
    return Leaf(0, max_standard, regs[0], regs[2], regs[1]);
  }
  FakeCpu& Extended(uint32_t max_extended) {
    std::vector<CpuidRegisters>& r = leaves[0x80000000];
    if (r.empty()) r.resize(1);
    r[0].eax = max_extended;
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
  explicit FakeMachine(std::vector<FakeCpu> cpus = {FakeCpu{}}) : cpus_(std::move(cpus)) {}

  CpuidRegisters Cpuid(uint32_t leaf, uint32_t) override {
    ++cpuid_calls;
    leaves_asked.push_back(leaf);
    run_ = (leaf == last_leaf_) ? run_ + 1 : 1;
    last_leaf_ = leaf;
    ++executions_[leaf];
    const FakeCpu& cpu = cpus_[CurrentProcessor()];
    auto it = cpu.leaves.find(leaf);
    if (it == cpu.leaves.end() || it->second.empty()) return {};
    return it->second[std::min(run_, it->second.size()) - 1];
  }
  uint32_t ProcessorCount() override { return reported_count ? reported_count : static_cast<uint32_t>(cpus_.size()); }
  bool GetProcessAffinity(uint64_t& process_mask, uint64_t& system_mask) override {
    ++get_affinity_calls;
    if (!get_affinity_works) return false;
    process_mask = system_mask = AllMask();
    return true;
  }
  uint64_t SetThreadAffinity(uint64_t mask) override {
    std::lock_guard<std::mutex> lock(affinity_mutex_);
    set_affinity_masks.push_back(mask);
    {
      std::lock_guard<std::mutex> time_lock(time_mutex_);
      log_.push_back("affinity " + std::to_string(mask));
    }
    const uint64_t before = MaskOfLocked(std::this_thread::get_id());
    thread_masks_[std::this_thread::get_id()] = mask;
    return before;
  }
  bool CanSetThreadAffinity() override { return can_set_affinity; }
  uint64_t ReadTsc() override {
    std::lock_guard<std::mutex> lock(time_mutex_);
    log_.push_back("tsc");
    return tsc_base + Ticks(tsc_hz);
  }
  int64_t QueryPerformanceCounter() override {
    std::lock_guard<std::mutex> lock(time_mutex_);
    log_.push_back("qpc");
    return static_cast<int64_t>(Ticks(static_cast<uint64_t>(frequency)));
  }
  int64_t QueryPerformanceFrequency() override { return frequency; }
  void SleepMs(uint32_t ms) override {
    {
      std::lock_guard<std::mutex> lock(time_mutex_);
      sleeps.push_back(ms);
      log_.push_back("sleep " + std::to_string(ms));
      now_us_ += ms * uint64_t{1000} + (ms != 0 ? sleep_extra_us : 0);
    }
    if (on_sleep) on_sleep(ms);
    // Real time passes a little, so that a test's loop gets to run beside
    // a thread that does nothing but sleep here.
    if (real_pause_us != 0) std::this_thread::sleep_for(std::chrono::microseconds(real_pause_us));
  }
  void RaisePriority() override {
    std::lock_guard<std::mutex> lock(time_mutex_);
    ++raise_calls;
    log_.push_back("raise");
  }
  void RestorePriority() override {
    std::lock_guard<std::mutex> lock(time_mutex_);
    ++restore_calls;
    log_.push_back("restore");
  }

  // The sleeps, counter readings and priority calls in order ("sleep 500",
  // "tsc", "qpc", "raise", "restore"), and the affinity calls ("affinity 1").
  std::vector<std::string> Log() const {
    std::lock_guard<std::mutex> lock(time_mutex_);
    return log_;
  }
  // Machine time in microseconds.
  uint64_t NowUs() const {
    std::lock_guard<std::mutex> lock(time_mutex_);
    return now_us_;
  }

  uint32_t CurrentProcessor() const {
    const uint64_t mask = Mask();
    for (uint32_t p = 0; p < cpus_.size() && p < 64; ++p) {
      if ((mask >> p) & 1) return p;
    }
    return 0;
  }
  uint64_t AllMask() const {
    return cpus_.size() >= 64 ? ~uint64_t{0} : (uint64_t{1} << cpus_.size()) - 1;
  }
  // The calling thread's mask, or another thread's.
  void SetMask(uint64_t mask) {
    std::lock_guard<std::mutex> lock(affinity_mutex_);
    thread_masks_[std::this_thread::get_id()] = mask;
  }
  uint64_t Mask() const { return MaskOf(std::this_thread::get_id()); }
  uint64_t MaskOf(std::thread::id thread) const {
    std::lock_guard<std::mutex> lock(affinity_mutex_);
    return MaskOfLocked(thread);
  }

  // The first processor's leaves, set directly (name and cache tests).
  void Set(uint32_t leaf, CpuidRegisters regs) { cpus_[0].leaves[leaf] = {regs}; }
  void SetSequence(uint32_t leaf, std::vector<CpuidRegisters> answers) {
    cpus_[0].leaves[leaf] = std::move(answers);
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

  // Knobs and records for the tests.
  uint32_t reported_count = 0;  // 0: the number of fake processors
  bool can_set_affinity = true;
  bool get_affinity_works = true;
  std::vector<uint64_t> set_affinity_masks;  // every thread's, in order
  int get_affinity_calls = 0;
  int cpuid_calls = 0;
  std::vector<uint32_t> leaves_asked;
  std::vector<uint32_t> sleeps;  // read it once the other threads are done
  int raise_calls = 0;
  int restore_calls = 0;
  uint64_t tsc_hz = 0;     // the time-stamp counter's rate
  uint64_t tsc_base = 0;   // its reading at machine time 0
  int64_t frequency = 0;   // the high-resolution counter's rate; 0: none
  uint64_t sleep_extra_us = 0;
  uint32_t real_pause_us = 0;
  // Runs after every SleepMs, on the sleeping thread (a test can hold a
  // measurement there).  Set it before any other thread runs.
  std::function<void(uint32_t)> on_sleep;

 private:
  // Counts of a counter at `hz` since machine time 0, split so that a long
  // run of sleeps cannot overflow the product.
  uint64_t Ticks(uint64_t hz) const {
    return now_us_ * (hz / 1000000) + now_us_ * (hz % 1000000) / 1000000;
  }
  uint64_t MaskOfLocked(std::thread::id thread) const {
    auto it = thread_masks_.find(thread);
    return it == thread_masks_.end() ? AllMask() : it->second;
  }

  std::vector<FakeCpu> cpus_;
  mutable std::mutex affinity_mutex_;
  std::map<std::thread::id, uint64_t> thread_masks_;
  std::map<uint32_t, size_t> executions_;
  uint32_t last_leaf_ = 0xFFFFFFFF;
  size_t run_ = 0;
  mutable std::mutex time_mutex_;
  uint64_t now_us_ = 0;
  std::vector<std::string> log_;
};

// Installs a fake machine (and a fresh root for it) for one scope; without
// processors given, one blank processor to be filled with Set/SetBasics.
class ScopedFake {
 public:
  explicit ScopedFake(std::vector<FakeCpu> cpus = {FakeCpu{}}) : machine_(std::move(cpus)), use_(machine_) {
    ResetCpuRoot();
  }
  ~ScopedFake() { ResetCpuRoot(); }
  ScopedFake(const ScopedFake&) = delete;
  ScopedFake& operator=(const ScopedFake&) = delete;
  FakeMachine& operator*() { return machine_; }
  FakeMachine* operator->() { return &machine_; }

 private:
  FakeMachine machine_;
  ScopedOverride<ICpuMachine> use_;
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
