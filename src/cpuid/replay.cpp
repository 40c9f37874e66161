#include "cpuid/replay.h"

#include <utility>

namespace zt::cpuid {

namespace {
constexpr size_t kMaxLoggedCalls = 1u << 20;
}  // namespace

TReplayMachine::TReplayMachine(CpuidDump dump) : dump_(std::move(dump)), mask_(SystemMask()) {}

uint64_t TReplayMachine::SystemMask() const {
  size_t n = dump_.cpus.size();
  if (n == 0) return 1;
  return n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
}

uint32_t TReplayMachine::CurrentProcessorLocked() const {
  for (uint32_t p = 0; p < 64; ++p) {
    if (mask_ & (uint64_t{1} << p)) return p;
  }
  return 0;
}

CpuidRegisters TReplayMachine::Cpuid(uint32_t leaf, uint32_t subleaf) {
  std::lock_guard<std::mutex> guard(lock_);
  uint32_t processor = CurrentProcessorLocked();
  // The log is for tests; a long replay must not grow it without end.
  if (cpuid_calls_.size() < kMaxLoggedCalls) cpuid_calls_.push_back({processor, leaf, subleaf});
  leaf2_run_ = leaf == 2 ? leaf2_run_ + 1 : 0;
  if (processor >= dump_.cpus.size()) return {};
  const std::vector<CpuidRecord>& records = dump_.cpus[processor].records;
  if (leaf == 2) {
    // The k-th call in a row gets the k-th recorded answer; calls beyond
    // the recorded ones keep getting the last.
    const CpuidRecord* last = nullptr;
    uint32_t seen = 0;
    for (const CpuidRecord& r : records) {
      if (r.leaf != 2) continue;
      last = &r;
      if (++seen == leaf2_run_) break;
    }
    return last ? last->regs : CpuidRegisters{};
  }
  for (const CpuidRecord& r : records) {
    if (r.leaf == leaf && r.subleaf == subleaf) return r.regs;
  }
  return {};
}

uint32_t TReplayMachine::ProcessorCount() {
  return static_cast<uint32_t>(dump_.cpus.size());
}

bool TReplayMachine::GetProcessAffinity(uint64_t& process_mask, uint64_t& system_mask) {
  std::lock_guard<std::mutex> guard(lock_);
  process_mask = mask_;
  system_mask = SystemMask();
  return true;
}

bool TReplayMachine::SetProcessAffinity(uint64_t mask) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!can_set_) return false;
  affinity_calls_.push_back(mask);
  // As on Windows: an empty mask or one naming absent processors fails.
  if (mask == 0 || (mask & ~SystemMask()) != 0) return false;
  mask_ = mask;
  return true;
}

bool TReplayMachine::CanSetProcessAffinity() {
  std::lock_guard<std::mutex> guard(lock_);
  return can_set_;
}

uint64_t TReplayMachine::ReadTimeStampCounter() { return 0; }
int64_t TReplayMachine::QueryPerformanceCounter() { return 0; }
int64_t TReplayMachine::QueryPerformanceFrequency() { return 0; }

void TReplayMachine::SleepMs(uint32_t) {
  std::lock_guard<std::mutex> guard(lock_);
  ++sleep_calls_;
}

void TReplayMachine::RaisePriority() {}
void TReplayMachine::RestorePriority() {}

void TReplayMachine::SetAffinityCallAvailable(bool available) {
  std::lock_guard<std::mutex> guard(lock_);
  can_set_ = available;
}

std::vector<uint64_t> TReplayMachine::AffinityCalls() const {
  std::lock_guard<std::mutex> guard(lock_);
  return affinity_calls_;
}

std::vector<TReplayMachine::CpuidCall> TReplayMachine::CpuidCalls() const {
  std::lock_guard<std::mutex> guard(lock_);
  return cpuid_calls_;
}

size_t TReplayMachine::SleepCalls() const {
  std::lock_guard<std::mutex> guard(lock_);
  return sleep_calls_;
}

uint64_t TReplayMachine::CurrentMask() const {
  std::lock_guard<std::mutex> guard(lock_);
  return mask_;
}

uint32_t TReplayMachine::CurrentProcessor() const {
  std::lock_guard<std::mutex> guard(lock_);
  return CurrentProcessorLocked();
}

void TReplayMachine::ClearLog() {
  std::lock_guard<std::mutex> guard(lock_);
  affinity_calls_.clear();
  cpuid_calls_.clear();
  sleep_calls_ = 0;
}

std::shared_ptr<TReplayMachine> CreateReplayMachine(CpuidDump dump) {
  return std::make_shared<TReplayMachine>(std::move(dump));
}

ScopedMachine::ScopedMachine(std::shared_ptr<ICpuMachine> machine)
    : previous_(SetMachine(std::move(machine))) {}

ScopedMachine::~ScopedMachine() { SetMachine(std::move(previous_)); }

}  // namespace zt::cpuid
