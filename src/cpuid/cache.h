// Cache objects of one processor: level 1 code, data and unified, level 2,
// level 3 and trace, each by the descriptor method or the extended-leaf
// method as the vendor table's cache-detect column says.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cpuid/cache_tables.h"
#include "cpuid/interfaces.h"
#include "cpuid/naming_interfaces.h"

namespace zt::cpuid {

class TCpuCacheAssociativity final : public ICpuCacheAssociativity {
 public:
  // An index outside the table reads as row 0 ("None").  A number of ways
  // that no row names (other_ways, not 0) is shown as "12-Way" and is its
  // own value.
  explicit TCpuCacheAssociativity(uint8_t index, uint32_t other_ways = 0)
      : index_(index < std::size(kCacheAssociativityTable) ? index : kAssocNone),
        other_ways_(other_ways) {}
  std::shared_ptr<ICpuNumber> Value() const override;
  std::string Name() const override;

 private:
  uint8_t index_;
  uint32_t other_ways_;
};

// The 16 descriptor bytes for one cache kind, collected in the constructor:
// leaf 2 (run as often as its first answer asks) on Intel, the extended
// cache leaf of the kind on every other vendor.  On an Intel processor whose
// descriptors send to leaf 4 (0xFF), its sub-leaves are read as well; one
// whose descriptors hold 0x49 has its signature read to place that cache.
class TCpuCacheDescriptors final : public ICpuCacheDescriptors {
 public:
  TCpuCacheDescriptors(uint8_t processor, TCpuCacheKind kind);
  uint32_t Descriptor(int slot) const override;
  std::shared_ptr<ICpuBoolean> HasDescriptor(uint32_t value) const override;

  const CacheDescriptorSlots& Slots() const { return slots_; }
  const std::vector<CpuidRegisters>& Deterministic() const { return deterministic_; }
  bool XeonMp() const { return xeon_mp_; }

 private:
  uint8_t processor_;
  TCpuCacheKind kind_;
  CacheDescriptorSlots slots_{};
  std::vector<CpuidRegisters> deterministic_;
  bool xeon_mp_ = false;
};

class TCacheByDescriptor final : public ICpuCache {
 public:
  TCacheByDescriptor(uint8_t processor, TCpuCacheKind kind);
  std::shared_ptr<ICpuCacheAssociativity> Associativity() const override;
  std::shared_ptr<ICpuBoolean> Available() const override;
  std::shared_ptr<ICpuNumber> LineSize() const override;
  std::shared_ptr<ICpuNumber> Size() const override;

 private:
  CacheFacts Facts() const;

  uint8_t processor_;
  TCpuCacheKind kind_;
  std::shared_ptr<TCpuCacheDescriptors> descriptors_;
};

class TCacheByExtendedCpuid final : public ICpuCache {
 public:
  TCacheByExtendedCpuid(uint8_t processor, TCpuCacheKind kind);
  std::shared_ptr<ICpuCacheAssociativity> Associativity() const override;
  std::shared_ptr<ICpuBoolean> Available() const override;
  std::shared_ptr<ICpuNumber> LineSize() const override;
  std::shared_ptr<ICpuNumber> Size() const override;

 private:
  // `with_associativity` also asks for the family the level 2 code may need.
  CacheFacts Facts(bool with_associativity) const;

  uint8_t processor_;
  TCpuCacheKind kind_;
  std::shared_ptr<ICpuid> leaf_;
};

class TCpuSegmentedCache final : public ICpuSegmentedCache {
 public:
  TCpuSegmentedCache(uint8_t processor, bool use_extended_cpuid)
      : processor_(processor), use_extended_cpuid_(use_extended_cpuid) {}
  std::shared_ptr<ICpuCache> Code() const override;
  std::shared_ptr<ICpuCache> Data() const override;
  std::shared_ptr<ICpuCache> Unified() const override;

 private:
  uint8_t processor_;
  bool use_extended_cpuid_;
};

class TProcessorCache final : public IProcessorCache {
 public:
  explicit TProcessorCache(uint8_t processor);
  std::shared_ptr<ICpuSegmentedCache> Level1() const override;
  std::shared_ptr<ICpuCache> Level2() const override;
  std::shared_ptr<ICpuCache> Level3() const override;
  std::shared_ptr<ICpuCache> Trace() const override;

  bool UseExtendedCpuid() const { return use_extended_cpuid_; }

 private:
  uint8_t processor_;
  bool use_extended_cpuid_ = false;
};

// A new cache object of `kind` by the chosen method.
std::shared_ptr<ICpuCache> CreateCache(uint8_t processor, TCpuCacheKind kind,
                                       bool use_extended_cpuid);

}  // namespace zt::cpuid
