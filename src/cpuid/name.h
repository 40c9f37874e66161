// Processor name detection: the processor's own brand text when it has one,
// otherwise the vendor model tables.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "cpuid/interfaces.h"
#include "cpuid/naming_interfaces.h"

namespace zt::cpuid {

// --- Pure helpers.

// Brand text leaves: three leaves of 16 characters on most processors, four
// on Transmeta (its own information range).
inline constexpr uint32_t kBrandFirstLeaf = 0x80000002;
inline constexpr uint32_t kBrandLastLeaf = 0x80000004;
inline constexpr uint32_t kTransmetaBrandFirstLeaf = 0x80860003;
inline constexpr uint32_t kTransmetaBrandLastLeaf = 0x80860006;

// Whether the name has to come from the tables: the brand leaves are beyond
// the highest leaf of their range (compared unsigned).
bool NameNeedsTable(bool is_transmeta, uint32_t maximum_extended_leaf,
                    uint32_t maximum_transmeta_leaf);

// Removes every leading and trailing character of code 32 or less (blank,
// NUL, control characters); what lies between stays as it is, NULs included.
std::string TrimBrandText(std::string_view text);

// --- Objects.

// The name of one processor.  Whether the tables are needed, and whether the
// processor is a Transmeta, is settled once, in the constructor.
class TProcessorName final : public IProcessorName {
 public:
  explicit TProcessorName(uint8_t processor);
  std::string Name() const override;
  std::shared_ptr<ICpuBoolean> FromTable() const override;

  bool IsTransmeta() const { return is_transmeta_; }

 private:
  uint8_t processor_;
  bool from_table_ = false;
  bool is_transmeta_ = false;
};

// The brand text exactly as CPUID returns it (48 characters, 64 on
// Transmeta, NULs and padding included).
class TProcessorNameDetect final : public ICpuName {
 public:
  explicit TProcessorNameDetect(uint8_t processor) : processor_(processor) {}
  std::string Name() const override;

 private:
  uint8_t processor_;
};

// The vendor lookups.  Each reads family, model and stepping afresh on every
// call and never returns an empty text.
class TIntelProcessorLookup final : public ICpuName {
 public:
  explicit TIntelProcessorLookup(uint8_t processor) : processor_(processor) {}
  std::string Name() const override;

 private:
  uint8_t processor_;
};

// The lookups that need nothing but family, model and stepping.
class TFamilyModelLookup : public ICpuName {
 public:
  std::string Name() const override;

 protected:
  TFamilyModelLookup(uint8_t processor, uint8_t vendor) : processor_(processor), vendor_(vendor) {}

 private:
  uint8_t processor_;
  // Selects the model table, and the vendor table's Name that starts the
  // generic text.
  uint8_t vendor_;
};

class TAmdProcessorLookup final : public TFamilyModelLookup {
 public:
  explicit TAmdProcessorLookup(uint8_t p) : TFamilyModelLookup(p, kVendorAmd) {}
};
class TCyrixProcessorLookup final : public TFamilyModelLookup {
 public:
  explicit TCyrixProcessorLookup(uint8_t p) : TFamilyModelLookup(p, kVendorCyrix) {}
};
// Via, the "CentaurHauls" vendor.
class TIdtProcessorLookup final : public TFamilyModelLookup {
 public:
  explicit TIdtProcessorLookup(uint8_t p) : TFamilyModelLookup(p, kVendorVia) {}
};
class TNexGenProcessorLookup final : public TFamilyModelLookup {
 public:
  explicit TNexGenProcessorLookup(uint8_t p)
      : TFamilyModelLookup(p, kVendorNexGen) {}
};
class TUmcProcessorLookup final : public TFamilyModelLookup {
 public:
  explicit TUmcProcessorLookup(uint8_t p) : TFamilyModelLookup(p, kVendorUmc) {}
};
class TRiseProcessorLookup final : public TFamilyModelLookup {
 public:
  explicit TRiseProcessorLookup(uint8_t p) : TFamilyModelLookup(p, kVendorRise) {}
};
class TTransmetaProcessorLookup final : public TFamilyModelLookup {
 public:
  explicit TTransmetaProcessorLookup(uint8_t p)
      : TFamilyModelLookup(p, kVendorTransmeta) {}
};
class TUnknownProcessorLookup final : public TFamilyModelLookup {
 public:
  explicit TUnknownProcessorLookup(uint8_t p)
      : TFamilyModelLookup(p, kVendorUnknown) {}
};

// The lookup for a vendor number (anything outside 2-9 gets the unknown one).
std::shared_ptr<ICpuName> CreateProcessorLookup(uint8_t vendor, uint8_t processor);

}  // namespace zt::cpuid
