// Interfaces of the processor name and cache objects.  Everything is handed
// out as std::shared_ptr to the interface; every getter builds new objects,
// which read CPUID in their constructors, and nothing is cached.
//
// The value objects (ICpuBoolean, ICpuNumber) live in cpuid/interfaces.h;
// only forward declarations are needed here, so this header can be included
// from there without a cycle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zt::cpuid {

class ICpuBoolean;
class ICpuNumber;

// ---------------------------------------------------------------------------
// Names

// One way of naming a processor: its brand text, or one vendor's model table.
class ICpuName {
 public:
  virtual ~ICpuName() = default;
  virtual std::string Name() const = 0;
};

// The name shown for a processor.  Name is the trimmed brand text when the
// processor has one, otherwise the vendor table's answer (untrimmed).
class IProcessorName {
 public:
  virtual ~IProcessorName() = default;
  virtual std::string Name() const = 0;
  // True when the name comes from the vendor tables (no brand text).
  virtual std::shared_ptr<ICpuBoolean> FromTable() const = 0;
};

// ---------------------------------------------------------------------------
// Caches

// Cache kind, numbered as the descriptor table and the objects use it.
using TCpuCacheKind = uint8_t;
inline constexpr TCpuCacheKind kCacheLevel1Code = 0;
inline constexpr TCpuCacheKind kCacheLevel1Data = 1;
inline constexpr TCpuCacheKind kCacheLevel1Unified = 2;
inline constexpr TCpuCacheKind kCacheLevel2 = 3;
inline constexpr TCpuCacheKind kCacheLevel3 = 4;
inline constexpr TCpuCacheKind kCacheTrace = 5;

class ICpuCacheAssociativity {
 public:
  virtual ~ICpuCacheAssociativity() = default;
  // The table code (0, 1, 2, 4, 6, 8 or 15).
  virtual std::shared_ptr<ICpuNumber> Value() const = 0;
  // "None", "Direct", "2-Way", "4-Way", "8-Way", "16-Way" or "Full".
  virtual std::string Name() const = 0;
};

class ICpuCache {
 public:
  virtual ~ICpuCache() = default;
  virtual std::shared_ptr<ICpuCacheAssociativity> Associativity() const = 0;
  virtual std::shared_ptr<ICpuBoolean> Available() const = 0;
  virtual std::shared_ptr<ICpuNumber> LineSize() const = 0;  // bytes
  virtual std::shared_ptr<ICpuNumber> Size() const = 0;      // bytes
};

// The three level 1 caches.
class ICpuSegmentedCache {
 public:
  virtual ~ICpuSegmentedCache() = default;
  virtual std::shared_ptr<ICpuCache> Code() const = 0;
  virtual std::shared_ptr<ICpuCache> Data() const = 0;
  virtual std::shared_ptr<ICpuCache> Unified() const = 0;
};

class IProcessorCache {
 public:
  virtual ~IProcessorCache() = default;
  virtual std::shared_ptr<ICpuSegmentedCache> Level1() const = 0;
  virtual std::shared_ptr<ICpuCache> Level2() const = 0;
  virtual std::shared_ptr<ICpuCache> Level3() const = 0;
  virtual std::shared_ptr<ICpuCache> Trace() const = 0;
};

// The 16 descriptor bytes collected for one cache kind.
class ICpuCacheDescriptors {
 public:
  virtual ~ICpuCacheDescriptors() = default;
  // Slot 1 to 16; any other slot number reads 0.
  virtual uint32_t Descriptor(int slot) const = 0;
  virtual std::shared_ptr<ICpuBoolean> HasDescriptor(uint32_t value) const = 0;
};

// ---------------------------------------------------------------------------
// Factories the per-processor facade calls (IProcessorInformation::Name and
// IProcessorInformation::Cache).

std::shared_ptr<IProcessorName> CreateProcessorName(uint8_t index);
std::shared_ptr<IProcessorCache> CreateProcessorCache(uint8_t index);

}  // namespace zt::cpuid
