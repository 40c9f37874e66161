#include "cpuid/replay.h"

#include <utility>

namespace zt::cpuid {

namespace {
constexpr size_t kMaxLoggedCalls = 1u << 20;
}  // namespace

TReplayMachine::TReplayMachine(CpuidDump dump) : dump_(std::move(dump)), mask_(SystemMask()) {
  // Looked up per call, so a large dump must not make every call a scan.
  answers_.resize(dump_.cpus.size());
  for (size_t p = 0; p < dump_.cpus.size(); ++p) {
    for (const CpuidRecord& r : dump_.cpus[p].records) {
      if (r.leaf == 2) {
        answers_[p].leaf2.push_back(r.regs);
      } else {
        answers_[p].leaves.emplace(std::make_pair(r.leaf, r.subleaf), r.regs);
      }
    }
  }
}

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
  if (leaf != 2) {
    leaf2_run_ = 0;
  } else if (leaf2_run_ < UINT32_MAX) {
    ++leaf2_run_;
  }
  if (processor >= answers_.size()) return {};
  const Answers& answers = answers_[processor];
  if (leaf == 2) {
    // The k-th call in a row gets the k-th recorded answer; calls beyond
    // the recorded ones keep getting the last.
    if (answers.leaf2.empty()) return {};
    size_t index = leaf2_run_ < answers.leaf2.size() ? leaf2_run_ - 1 : answers.leaf2.size() - 1;
    return answers.leaf2[index];
  }
  auto found = answers.leaves.find(std::make_pair(leaf, subleaf));
  return found == answers.leaves.end() ? CpuidRegisters{} : found->second;
}

uint32_t TReplayMachine::ProcessorCount() {
  return static_cast<uint32_t>(dump_.cpus.size());
}

bool TReplayMachine::GetProcessAffinity(uint64_t& process_mask, uint64_t& system_mask) {
  process_mask = system_mask = SystemMask();
  return true;
}

uint64_t TReplayMachine::SetThreadAffinity(uint64_t mask) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!can_set_) return 0;
  affinity_calls_.push_back(mask);
  // As on Windows: an empty mask or one naming absent processors fails.
  if (mask == 0 || (mask & ~SystemMask()) != 0) return 0;
  return std::exchange(mask_, mask);
}

bool TReplayMachine::CanSetThreadAffinity() {
  std::lock_guard<std::mutex> guard(lock_);
  return can_set_;
}

uint64_t TReplayMachine::ReadTsc() { return 0; }
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

}  // namespace zt::cpuid
