#include "cpuid/cache.h"

#include "cpuid/cpu_root.h"
#include "cpuid/cpu_values.h"
#include "cpuid/cpuid_access.h"

namespace zt::cpuid {

namespace {

constexpr uint32_t kDescriptorLeaf = 2;
// Vendor table cache-detect value of the extended-leaf method.
constexpr uint8_t kCacheDetectExtended = 1;

std::shared_ptr<IProcessorInformation> Info(uint8_t processor) {
  return CpuRoot().ProcessorInformation(processor);
}

// Leaf 4, sub-leaf by sub-leaf up to the first that describes no cache, on
// `processor`; nothing where the processor has no leaf 4.
std::vector<CpuidRegisters> ReadDeterministicLeaves(uint8_t processor) {
  constexpr uint32_t kDeterministicLeaf = 4;
  // More than any processor has; a leaf that never ends its list stops here.
  constexpr uint32_t kMaxSubleaves = 32;
  std::vector<CpuidRegisters> subleaves;
  if (!IsLeafAvailable(processor, kDeterministicLeaf)) return subleaves;
  const std::shared_ptr<ICpuAffinity> pin = PinToProcessor(processor);
  for (uint32_t i = 0; i < kMaxSubleaves; ++i) {
    const CpuidRegisters r = Machine().Cpuid(kDeterministicLeaf, i);
    if ((r.eax & 0x1F) == 0) break;
    subleaves.push_back(r);
  }
  return subleaves;
}

}  // namespace

// ---------------------------------------------------------------------------

std::shared_ptr<ICpuNumber> TCpuCacheAssociativity::Value() const {
  return MakeNumber(other_ways_ != 0 ? other_ways_ : AssociativityCode(index_));
}

std::string TCpuCacheAssociativity::Name() const {
  return other_ways_ != 0 ? std::to_string(other_ways_) + "-Way" : AssociativityName(index_);
}

// ---------------------------------------------------------------------------

TCpuCacheDescriptors::TCpuCacheDescriptors(uint8_t processor, TCpuCacheKind kind)
    : processor_(processor), kind_(kind) {
  CpuidRegisters regs;
  if (Info(processor)->Vendor()->Vendor() == kVendorIntel) {
    // The low byte of the first answer says how many times leaf 2 has to run
    // for the full set; the last run's registers are the ones kept.
    const int32_t repeat = static_cast<int32_t>(TCpuid(processor, kDescriptorLeaf, 1).Registers().eax & 0xFF);
    regs = TCpuid(processor, kDescriptorLeaf, repeat).Registers();
    slots_ = CollectDescriptorSlots(regs);
    if (SlotsHold(slots_, kDescriptorSeeLeaf4)) deterministic_ = ReadDeterministicLeaves(processor);
    if (SlotsHold(slots_, kDescriptorLevel2OrXeonMpLevel3)) {
      const uint32_t signature = TCpuid(processor, 1, 1).Registers().eax;
      // Family 15 model 6 with neither extended family nor extended model.
      xeon_mp_ = (signature & 0x0FFF0FF0u) == 0x00000F60u;
    }
    return;
  }
  regs = TCpuid(processor, DescriptorLeafForKind(kind), 1).Registers();
  slots_ = CollectDescriptorSlots(regs);
}

uint32_t TCpuCacheDescriptors::Descriptor(int slot) const {
  if (slot < 1 || slot > static_cast<int>(slots_.size())) return 0;
  return slots_[static_cast<size_t>(slot - 1)];
}

std::shared_ptr<ICpuBoolean> TCpuCacheDescriptors::HasDescriptor(uint32_t value) const {
  return MakeBoolean(SlotsHold(slots_, value));
}

// ---------------------------------------------------------------------------

TCacheByDescriptor::TCacheByDescriptor(uint8_t processor, TCpuCacheKind kind)
    : processor_(processor),
      kind_(kind),
      descriptors_(std::make_shared<TCpuCacheDescriptors>(processor, kind)) {}

CacheFacts TCacheByDescriptor::Facts() const {
  const CacheFacts facts =
      DecodeCacheByDescriptors(descriptors_->Slots(), kind_, descriptors_->XeonMp());
  // Leaf 4 only adds what the descriptors leave out.
  if (facts.available() || descriptors_->Deterministic().empty()) return facts;
  return DecodeDeterministicCache(descriptors_->Deterministic(), kind_);
}

std::shared_ptr<ICpuCacheAssociativity> TCacheByDescriptor::Associativity() const {
  const CacheFacts facts = Facts();
  return std::make_shared<TCpuCacheAssociativity>(facts.associativity, facts.other_ways);
}
std::shared_ptr<ICpuBoolean> TCacheByDescriptor::Available() const {
  return MakeBoolean(Facts().available());
}
std::shared_ptr<ICpuNumber> TCacheByDescriptor::LineSize() const {
  return MakeNumber(Facts().line_size);
}
std::shared_ptr<ICpuNumber> TCacheByDescriptor::Size() const { return MakeNumber(Facts().size); }

// ---------------------------------------------------------------------------

TCacheByExtendedCpuid::TCacheByExtendedCpuid(uint8_t processor, TCpuCacheKind kind)
    : processor_(processor), kind_(kind), leaf_(MakeCpuid(processor, ExtendedCacheLeaf(kind), 1)) {}

CacheFacts TCacheByExtendedCpuid::Facts(bool with_associativity) const {
  const CpuidRegisters regs{leaf_->Eax()->Value(), leaf_->Ebx()->Value(), leaf_->Ecx()->Value(),
                            leaf_->Edx()->Value()};
  // Only the level 2 cache depends on vendor and family; the other kinds do
  // not ask, so they run no further CPUID.
  uint8_t vendor = 0;
  uint32_t family = 0;
  if (kind_ == kCacheLevel2) {
    const auto info = Info(processor_);
    vendor = info->Vendor()->Vendor();
    if (with_associativity && vendor == kVendorAmd) {
      family = info->Signature()->Family()->Value()->Value();
    }
  }
  return DecodeExtendedCache(kind_, regs, vendor, family);
}

std::shared_ptr<ICpuCacheAssociativity> TCacheByExtendedCpuid::Associativity() const {
  return std::make_shared<TCpuCacheAssociativity>(Facts(true).associativity);
}
std::shared_ptr<ICpuBoolean> TCacheByExtendedCpuid::Available() const {
  return MakeBoolean(Facts(false).available());
}
std::shared_ptr<ICpuNumber> TCacheByExtendedCpuid::LineSize() const {
  return MakeNumber(Facts(false).line_size);
}
std::shared_ptr<ICpuNumber> TCacheByExtendedCpuid::Size() const {
  return MakeNumber(Facts(false).size);
}

// ---------------------------------------------------------------------------

std::shared_ptr<ICpuCache> CreateCache(uint8_t processor, TCpuCacheKind kind,
                                       bool use_extended_cpuid) {
  if (use_extended_cpuid) return std::make_shared<TCacheByExtendedCpuid>(processor, kind);
  return std::make_shared<TCacheByDescriptor>(processor, kind);
}

std::shared_ptr<ICpuCache> TCpuSegmentedCache::Code() const {
  return CreateCache(processor_, kCacheLevel1Code, use_extended_cpuid_);
}
std::shared_ptr<ICpuCache> TCpuSegmentedCache::Data() const {
  return CreateCache(processor_, kCacheLevel1Data, use_extended_cpuid_);
}
std::shared_ptr<ICpuCache> TCpuSegmentedCache::Unified() const {
  return CreateCache(processor_, kCacheLevel1Unified, use_extended_cpuid_);
}

TProcessorCache::TProcessorCache(uint8_t processor)
    : processor_(processor),
      use_extended_cpuid_(Info(processor)->Vendor()->CacheDetect() == kCacheDetectExtended) {}

std::shared_ptr<ICpuSegmentedCache> TProcessorCache::Level1() const {
  return std::make_shared<TCpuSegmentedCache>(processor_, use_extended_cpuid_);
}
std::shared_ptr<ICpuCache> TProcessorCache::Level2() const {
  return CreateCache(processor_, kCacheLevel2, use_extended_cpuid_);
}
std::shared_ptr<ICpuCache> TProcessorCache::Level3() const {
  return CreateCache(processor_, kCacheLevel3, use_extended_cpuid_);
}
std::shared_ptr<ICpuCache> TProcessorCache::Trace() const {
  return CreateCache(processor_, kCacheTrace, use_extended_cpuid_);
}

std::shared_ptr<IProcessorCache> CreateProcessorCache(uint8_t index) {
  return std::make_shared<TProcessorCache>(index);
}

}  // namespace zt::cpuid
