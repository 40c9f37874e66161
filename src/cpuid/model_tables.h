// Model names for processors without a brand text: one fixed decision table
// per vendor over family, model and (for Intel) a few further hints.  The
// tables are constant data and the lookups are pure functions of the decoded
// values, so they can be checked without any processor at hand; the objects
// in name.h feed them from CPUID.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

namespace zt::cpuid {

// Models a table row applies to: a bit per model number below 64, or every
// model.
using ModelSet = uint64_t;
inline constexpr ModelSet kAnyModel = ~ModelSet{0};

constexpr ModelSet Models(std::initializer_list<uint32_t> models) {
  ModelSet set = 0;
  for (uint32_t m : models) set |= ModelSet{1} << m;
  return set;
}

constexpr bool ModelSetHas(ModelSet set, uint32_t model) {
  if (set == kAnyModel) return true;
  return model < 64 && ((set >> model) & 1U) != 0;
}

// One row of a plain family/model table.
struct ModelNameRow {
  uint32_t family;
  ModelSet models;
  const char* name;
};

// --- Intel, stage 1: by brand index, sometimes split by the raw signature.

enum class BrandRule : uint8_t {
  kNone,              // no name here; stage 2 decides
  kName,              // always `name`
  kSignatureEquals,   // signature == limit ? name : otherwise
  kSignatureBelow,    // signature <  limit ? name : otherwise
};

struct IntelBrandRow {
  uint32_t first_brand;  // brand indexes first_brand..last_brand
  uint32_t last_brand;
  BrandRule rule;
  uint32_t limit;
  const char* name;
  const char* otherwise;
};

inline constexpr IntelBrandRow kIntelBrandTable[] = {
    {0, 0, BrandRule::kNone, 0, nullptr, nullptr},
    {1, 1, BrandRule::kName, 0, "Intel Celeron", nullptr},
    {2, 2, BrandRule::kName, 0, "Intel Pentium III", nullptr},
    {3, 3, BrandRule::kSignatureEquals, 0x000006B1, "Intel Celeron", "Intel Pentium III Xeon"},
    {4, 4, BrandRule::kName, 0, "Intel Pentium III", nullptr},
    {5, 5, BrandRule::kNone, 0, nullptr, nullptr},
    {6, 6, BrandRule::kName, 0, "Intel Mobile Pentium III", nullptr},
    {7, 7, BrandRule::kName, 0, "Intel Mobile Celeron", nullptr},
    {8, 9, BrandRule::kSignatureBelow, 0x00000F13, "Intel Pentium 4", "Intel Geniune Processor"},
    {10, 10, BrandRule::kName, 0, "Intel Celeron", nullptr},
    {11, 11, BrandRule::kSignatureBelow, 0x00000F13, "Intel Xeon MP", "Intel Xeon"},
    {12, 12, BrandRule::kName, 0, "Intel Xeon MP", nullptr},
    {13, 13, BrandRule::kNone, 0, nullptr, nullptr},
    {14, 14, BrandRule::kSignatureBelow, 0x00000F13, "Intel Xeon", "Intel Mobile Pentium 4"},
    {15, 15, BrandRule::kName, 0, "Intel Mobile Celeron", nullptr},
    {16, 0xFFFFFFFF, BrandRule::kNone, 0, nullptr, nullptr},
};
static_assert(std::size(kIntelBrandTable) == 16);

// --- Intel, stage 2: by family and model, some rows split by further hints.

enum class IntelModelRule : uint8_t {
  kName,          // `names[0]`
  kByType,        // processor type 1 ? names[0] : names[1]
  kL2ThreeSteps,  // L2 < 128 KB ? names[0] : L2 < 1 MB ? names[1] : names[2]
  kL2Mobile,      // L2 >= 128 KB ? names[0] : serial-number bit ? names[1] : names[2]
  kL2Xeon,        // L2 < 1 MB ? names[0] : names[1]
  kFallback,      // the generic text
};

struct IntelModelRow {
  uint32_t family;
  ModelSet models;
  IntelModelRule rule;
  std::array<const char*, 3> names;
};

// Searched in order; the first row whose family and model match decides.
inline constexpr uint32_t kAnyFamily = 0xFFFFFFFF;

inline constexpr IntelModelRow kIntelModelTable[] = {
    {4, Models({4}), IntelModelRule::kName, {"Intel 80486SX"}},
    {4, Models({7}), IntelModelRule::kName, {"Intel 80486DX2"}},
    {4, Models({8}), IntelModelRule::kName, {"Intel 80486DX4"}},
    {4, kAnyModel, IntelModelRule::kFallback, {}},
    {5, Models({0, 1, 2, 7}), IntelModelRule::kName, {"Intel Pentium"}},
    {5, Models({3}), IntelModelRule::kName, {"Intel Pentium Overdrive"}},
    {5, Models({4}), IntelModelRule::kName, {"Intel Pentium MMX"}},
    {5, kAnyModel, IntelModelRule::kFallback, {}},
    {6, Models({0, 1}), IntelModelRule::kName, {"Intel Pentium Pro"}},
    {6, Models({3}), IntelModelRule::kByType,
     {"Intel Pentium II Overdrive", "Intel Pentium II"}},
    {6, Models({5}), IntelModelRule::kL2ThreeSteps,
     {"Intel Celeron", "Intel Pentium II", "Intel Pentium II Xeon"}},
    {6, Models({6}), IntelModelRule::kL2Mobile,
     {"Intel Mobile Pentium II", "Intel Mobile Celeron", "Intel Celeron"}},
    {6, Models({7}), IntelModelRule::kL2Xeon, {"Intel Pentium III", "Intel Pentium III Xeon"}},
    {6, kAnyModel, IntelModelRule::kFallback, {}},
    {kAnyFamily, kAnyModel, IntelModelRule::kFallback, {}},
};
static_assert(std::size(kIntelModelTable) == 15);

// Level 2 thresholds of the family 6 rows, in bytes.
inline constexpr uint32_t kL2CeleronLimit = 131072;
inline constexpr uint32_t kL2XeonLimit = 1048576;

// --- The other vendors: one name per family/model row, anything else falls
// back to the generic text.

inline constexpr ModelNameRow kAmdModelTable[] = {
    {4, Models({3, 7, 8, 9}), "AMD AM486DX2"},
    {4, Models({14, 15}), "AMD AM5x86"},
    {5, Models({0, 1, 2, 3}), "AMD K5"},
    {5, Models({6, 7}), "AMD K6"},
    {5, Models({8}), "AMD K6 2"},
    {5, Models({9, 13}), "AMD K6 III"},
};
static_assert(std::size(kAmdModelTable) == 6);

inline constexpr ModelNameRow kCyrixModelTable[] = {
    {4, Models({4}), "Cyrix Media GX"},
    {4, Models({9}), "Cyrix Cx5x86"},
    {5, Models({2}), "Cyrix 6x86"},
    {5, Models({4}), "Cyrix GXm"},
    {6, Models({0}), "Cyrix 6x86MX"},
    {6, Models({5}), "Cyrix M2"},
    {6, Models({6, 7, 8}), "Via Cyrix III"},
};
static_assert(std::size(kCyrixModelTable) == 7);

// Via, the "CentaurHauls" vendor (the IDT WinChip line).
inline constexpr ModelNameRow kIdtModelTable[] = {
    {5, Models({4}), "IDT WinChip"},
    {5, Models({8}), "IDT WinChip 2"},
    {5, Models({9}), "IDT WinChip 3"},
};
static_assert(std::size(kIdtModelTable) == 3);

inline constexpr ModelNameRow kNexGenModelTable[] = {
    {5, Models({0}), "NexGen Nx586"},
};
static_assert(std::size(kNexGenModelTable) == 1);

inline constexpr ModelNameRow kUmcModelTable[] = {
    {4, Models({1, 2}), "UMC U5D"},
};
static_assert(std::size(kUmcModelTable) == 1);

inline constexpr ModelNameRow kRiseModelTable[] = {
    {5, Models({0}), "Rise iDragon"},
    {5, Models({2}), "Rise iDragon II"},
};
static_assert(std::size(kRiseModelTable) == 2);

// --- Lookups over decoded values.

// The generic text every lookup falls back to: the vendor's table name (which
// ends in one blank) followed by "x86 Family %d Model %d Stepping %d".
std::string GenericProcessorName(std::string_view vendor_name, uint32_t family, uint32_t model,
                                 uint32_t stepping);

struct IntelNameHints {
  std::string_view vendor_name = "Intel ";
  uint32_t brand = 0;           // brand index (EBX of leaf 1, low byte)
  uint32_t signature = 0;       // EAX of leaf 1
  uint32_t processor_type = 0;  // signature bits 12-13
  uint32_t family = 0;
  uint32_t model = 0;
  uint32_t stepping = 0;
  uint32_t level2_size = 0;     // bytes
  bool serial_number = false;   // standard feature bit 18 ("PSN")
};

// Stage 1 alone: the brand-index name, or empty when the brand index names
// nothing.
std::string IntelBrandName(uint32_t brand, uint32_t signature);

// The whole Intel lookup (stage 1, then stage 2, then the generic text).
std::string IntelModelName(const IntelNameHints& hints);

// The table lookup of one of the other vendors by vendor number: 3 AMD,
// 4 Cyrix, 5 Via (IDT WinChip table), 6 NexGen, 7 UMC, 8 Rise; every other
// number (Unknown, Transmeta, and Intel, whose lookup needs the hints above)
// has no table here.  Never empty: without a matching row, the generic text
// with `vendor_name`.
std::string VendorModelName(uint8_t vendor, std::string_view vendor_name, uint32_t family,
                            uint32_t model, uint32_t stepping);

}  // namespace zt::cpuid
