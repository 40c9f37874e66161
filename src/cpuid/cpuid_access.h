// Executing CPUID through the machine seam, the leaf ranges, the guard that
// pins the reading thread to one processor while CPUID runs, and the objects
// for one executed leaf and for the three leaf ranges.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cpuid/cpu_machine.h"
#include "cpuid/interfaces.h"

namespace zt::cpuid {

inline constexpr uint32_t kBaseLeafStandard = 0x00000000;
inline constexpr uint32_t kBaseLeafExtended = 0x80000000;
inline constexpr uint32_t kBaseLeafTransmeta = 0x80860000;

// Runs CPUID `repeat_count` times in a row on the current processor and keeps
// the last registers; a count below 1 runs nothing and gives zeros.
CpuidRegisters ExecuteCpuid(uint32_t leaf, int32_t repeat_count);
// 0x80000000-0x80000008 Extended, 0x80860000-0x80860007 Transmeta, else Standard.
TCpuidRange ClassifyLeaf(uint32_t leaf);
// EAX of the range's base leaf (one CPUID); 0 for a value outside the ranges.
uint32_t RangeMaximum(TCpuidRange range);
// Base leaf of a range; any other value gives the standard base leaf.
uint32_t RangeBaseLeaf(TCpuidRange range);
// Whether `leaf` is at most the highest leaf of its range on that processor.
bool IsLeafAvailable(uint8_t processor, uint32_t leaf);

// Pins the calling thread to one processor while it lives (only when the
// root says more than one processor is available and the index is below 32)
// and puts the thread's mask from before back when it goes.  Only this
// thread: the other threads keep their own masks (the clock thread stays on
// the processor it pinned itself to) and all the processors they had.
class TCpuAffinity final : public ICpuAffinity {
 public:
  explicit TCpuAffinity(uint8_t processor);
  ~TCpuAffinity() override;
  TCpuAffinity(const TCpuAffinity&) = delete;
  TCpuAffinity& operator=(const TCpuAffinity&) = delete;

  bool Changed() const { return changed_; }
  uint32_t Mask() const { return mask_; }

 private:
  bool changed_ = false;
  uint32_t mask_ = 0;
  // The whole mask, so that processors above 31 come back too.
  uint64_t saved_thread_mask_ = 0;
};

// A guard for `processor` when the root asks for pinning, otherwise null.
std::shared_ptr<ICpuAffinity> PinToProcessor(uint8_t processor);

class TCpuid final : public ICpuid {
 public:
  TCpuid(uint8_t processor, uint32_t leaf, int32_t repeat_count);
  uint8_t Processor() const override { return processor_; }
  uint32_t Leaf() const override { return leaf_; }
  int32_t RepeatCount() const override { return repeat_count_; }
  std::string AsString() const override;
  std::shared_ptr<ICpuBoolean> Available() const override;
  std::shared_ptr<ICpuNumber> Eax() const override;
  std::shared_ptr<ICpuNumber> Ebx() const override;
  std::shared_ptr<ICpuNumber> Ecx() const override;
  std::shared_ptr<ICpuNumber> Edx() const override;

  const CpuidRegisters& Registers() const { return regs_; }

 private:
  uint8_t processor_;
  uint32_t leaf_;
  int32_t repeat_count_;
  CpuidRegisters regs_;
};

// Shorthand: a new TCpuid as its interface.
std::shared_ptr<ICpuid> MakeCpuid(uint8_t processor, uint32_t leaf, int32_t repeat_count = 1);

class TCpuidInformation final : public ICpuidInformation {
 public:
  TCpuidInformation(uint8_t processor, TCpuidRange range);
  std::shared_ptr<ICpuBoolean> Available() const override;
  std::shared_ptr<ICpuNumber> MaximumLeaf() const override;

 private:
  uint8_t processor_;
  TCpuidRange range_;
  std::shared_ptr<ICpuid> base_;
};

class TProcessorCpuid final : public IProcessorCpuid {
 public:
  explicit TProcessorCpuid(uint8_t processor) : processor_(processor) {}
  std::shared_ptr<ICpuidInformation> Standard() const override;
  std::shared_ptr<ICpuidInformation> Extended() const override;
  std::shared_ptr<ICpuidInformation> Transmeta() const override;

 private:
  uint8_t processor_;
};

}  // namespace zt::cpuid
