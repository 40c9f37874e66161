#include "cpuid/cpuid_access.h"

#include "cpuid/cpu_root.h"
#include "cpuid/cpu_values.h"

namespace zt::cpuid {

namespace {

// The leaf handed to the CPUID routine.  One process-wide variable, as the
// library is used from one thread at a time.
uint32_t g_cpuid_leaf = 0;

}  // namespace

CpuidRegisters ExecuteCpuid(uint32_t leaf, int32_t repeat_count) {
  g_cpuid_leaf = leaf;
  CpuidRegisters regs;
  ICpuMachine& machine = Machine();
  for (int32_t i = 0; i < repeat_count; ++i) regs = machine.Cpuid(g_cpuid_leaf, 0);
  return regs;
}

TCpuidRange ClassifyLeaf(uint32_t leaf) {
  if (leaf >= 0x80000000u && leaf <= 0x80000008u) return kRangeExtended;
  if (leaf >= 0x80860000u && leaf <= 0x80860007u) return kRangeTransmeta;
  return kRangeStandard;
}

uint32_t RangeBaseLeaf(TCpuidRange range) {
  switch (range) {
    case kRangeExtended: return kBaseLeafExtended;
    case kRangeTransmeta: return kBaseLeafTransmeta;
    default: return kBaseLeafStandard;
  }
}

uint32_t RangeMaximum(TCpuidRange range) {
  if (range > kRangeTransmeta) return 0;
  return ExecuteCpuid(RangeBaseLeaf(range), 1).eax;
}

bool IsLeafAvailable(uint8_t processor, uint32_t leaf) {
  const std::shared_ptr<ICpuAffinity> pin = PinToProcessor(processor);
  const uint32_t maximum = RangeMaximum(ClassifyLeaf(leaf));
  return leaf <= maximum;
}

// ---------------------------------------------------------------------------

TCpuAffinity::TCpuAffinity(uint8_t processor) {
  TQuindle& root = CpuRoot();
  if (!root.UseAffinity() || processor >= 32) return;
  ICpuMachine& machine = Machine();
  uint64_t process_mask = 0;
  uint64_t system_mask = 0;
  // A machine that cannot say which processors the process has is left as
  // it is.
  if (!machine.GetProcessAffinity(process_mask, system_mask)) return;

  uint32_t p = processor;
  const uint32_t available = root.ProcessorCount()->AvailableProcessors()->Value();
  if (available == 0 || available - 1 < p) p = 0;
  mask_ = 1u << p;
  if (machine.CanSetThreadAffinity()) {
    saved_thread_mask_ = machine.SetThreadAffinity(mask_);
    changed_ = saved_thread_mask_ != 0;
  }
  // Let the scheduler move this thread onto the allowed processor now.
  machine.SleepMs(0);
}

TCpuAffinity::~TCpuAffinity() {
  if (!changed_) return;
  ICpuMachine& machine = Machine();
  if (machine.CanSetThreadAffinity()) machine.SetThreadAffinity(saved_thread_mask_);
}

std::shared_ptr<ICpuAffinity> PinToProcessor(uint8_t processor) {
  if (!CpuRoot().UseAffinity()) return nullptr;
  return std::make_shared<TCpuAffinity>(processor);
}

// ---------------------------------------------------------------------------

TCpuid::TCpuid(uint8_t processor, uint32_t leaf, int32_t repeat_count)
    : processor_(processor), leaf_(leaf), repeat_count_(repeat_count) {
  const std::shared_ptr<ICpuAffinity> pin = PinToProcessor(processor);
  if (Available()->Value()) regs_ = ExecuteCpuid(leaf, repeat_count);
}

std::string TCpuid::AsString() const {
  return TCpuNumber(regs_.eax).AsChars() + TCpuNumber(regs_.ebx).AsChars() +
         TCpuNumber(regs_.ecx).AsChars() + TCpuNumber(regs_.edx).AsChars();
}

std::shared_ptr<ICpuBoolean> TCpuid::Available() const {
  return MakeBoolean(IsLeafAvailable(processor_, leaf_));
}

std::shared_ptr<ICpuNumber> TCpuid::Eax() const { return MakeNumber(regs_.eax); }
std::shared_ptr<ICpuNumber> TCpuid::Ebx() const { return MakeNumber(regs_.ebx); }
std::shared_ptr<ICpuNumber> TCpuid::Ecx() const { return MakeNumber(regs_.ecx); }
std::shared_ptr<ICpuNumber> TCpuid::Edx() const { return MakeNumber(regs_.edx); }

std::shared_ptr<ICpuid> MakeCpuid(uint8_t processor, uint32_t leaf, int32_t repeat_count) {
  return std::make_shared<TCpuid>(processor, leaf, repeat_count);
}

// ---------------------------------------------------------------------------

TCpuidInformation::TCpuidInformation(uint8_t processor, TCpuidRange range)
    : processor_(processor), range_(range), base_(MakeCpuid(processor, RangeBaseLeaf(range), 1)) {}

std::shared_ptr<ICpuBoolean> TCpuidInformation::Available() const { return base_->Available(); }

std::shared_ptr<ICpuNumber> TCpuidInformation::MaximumLeaf() const { return base_->Eax(); }

std::shared_ptr<ICpuidInformation> TProcessorCpuid::Standard() const {
  return std::make_shared<TCpuidInformation>(processor_, kRangeStandard);
}
std::shared_ptr<ICpuidInformation> TProcessorCpuid::Extended() const {
  return std::make_shared<TCpuidInformation>(processor_, kRangeExtended);
}
std::shared_ptr<ICpuidInformation> TProcessorCpuid::Transmeta() const {
  return std::make_shared<TCpuidInformation>(processor_, kRangeTransmeta);
}

}  // namespace zt::cpuid
