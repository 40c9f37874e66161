// Cache description tables and the decoding of cache information from raw
// CPUID registers.  Two methods: descriptor bytes (leaf 2 on Intel, the same
// bytes taken from the extended leaves elsewhere) matched against a fixed
// table, and the AMD-style extended cache leaves 0x80000005/0x80000006.
// Everything here is a pure function of register values; the objects in
// cache.h run CPUID and hand the results out.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <vector>

#include "cpuid/cpu_machine.h"
#include "cpuid/naming_interfaces.h"

namespace zt::cpuid {

// --- Associativity: the codes are those of the 4-bit field of the extended
// cache leaves (6 means 8 ways, 8 means 16 ways, 15 fully associative).

struct CacheAssociativityInfo {
  uint8_t code;
  const char* name;
};

inline constexpr CacheAssociativityInfo kCacheAssociativityTable[] = {
    {0, "None"},    // 0
    {1, "Direct"},  // 1
    {2, "2-Way"},   // 2
    {4, "4-Way"},   // 3
    {6, "8-Way"},   // 4
    {8, "16-Way"},  // 5
    {15, "Full"},   // 6
};
static_assert(std::size(kCacheAssociativityTable) == 7);

// Table indexes, as the descriptor rows name them.
inline constexpr uint8_t kAssocNone = 0;
inline constexpr uint8_t kAssocDirect = 1;
inline constexpr uint8_t kAssoc2Way = 2;
inline constexpr uint8_t kAssoc4Way = 3;
inline constexpr uint8_t kAssoc8Way = 4;
inline constexpr uint8_t kAssoc16Way = 5;
inline constexpr uint8_t kAssocFull = 6;

// A number of ways no row names (6, 12, 20 ...): the descriptor rows write
// it as AssocWays(n), the decoded facts carry it beside row 0.
inline constexpr uint8_t kAssocWaysFlag = 0x80;
constexpr uint8_t AssocWays(uint8_t ways) { return static_cast<uint8_t>(kAssocWaysFlag | ways); }

// The row whose code equals `code`; a code that is in no row gives row 0
// ("None"), so every cache has an associativity to show.
uint8_t AssociativityIndexOfCode(uint32_t code);
// Name and code of a row; an index outside the table reads as row 0.
const char* AssociativityName(uint8_t index);
uint8_t AssociativityCode(uint8_t index);

// --- Descriptor table, searched in this order (a later match of the same
// kind wins).  Sizes in KB, line sizes in bytes; the trace rows carry the
// trace capacity in the size column.

struct CacheDescriptorInfo {
  uint8_t descriptor;
  TCpuCacheKind kind;
  uint8_t associativity;  // index into kCacheAssociativityTable
  uint32_t size_kb;
  uint32_t line_size;
};

inline constexpr CacheDescriptorInfo kCacheDescriptorTable[] = {
    {0x06, kCacheLevel1Code, kAssoc4Way, 8, 32},        // 1
    {0x08, kCacheLevel1Code, kAssoc4Way, 16, 32},       // 2
    {0x30, kCacheLevel1Code, kAssoc8Way, 32, 64},       // 3
    {0x0A, kCacheLevel1Data, kAssoc2Way, 8, 32},        // 4
    {0x0C, kCacheLevel1Data, kAssoc4Way, 16, 32},       // 5
    {0x2C, kCacheLevel1Data, kAssoc8Way, 32, 64},       // 6
    {0x66, kCacheLevel1Data, kAssoc4Way, 8, 64},        // 7
    {0x67, kCacheLevel1Data, kAssoc4Way, 16, 64},       // 8
    {0x68, kCacheLevel1Data, kAssoc4Way, 32, 64},       // 9
    {0x39, kCacheLevel2, kAssoc4Way, 128, 64},          // 10
    {0x3B, kCacheLevel2, kAssoc2Way, 128, 64},          // 11
    {0x3C, kCacheLevel2, kAssoc4Way, 256, 64},          // 12
    {0x40, kCacheLevel2, kAssocNone, 0, 0},             // 13
    {0x41, kCacheLevel2, kAssoc4Way, 128, 32},          // 14
    {0x42, kCacheLevel2, kAssoc4Way, 256, 32},          // 15
    {0x43, kCacheLevel2, kAssoc4Way, 512, 32},          // 16
    {0x44, kCacheLevel2, kAssoc4Way, 1024, 32},         // 17
    {0x45, kCacheLevel2, kAssoc4Way, 2048, 32},         // 18
    {0x79, kCacheLevel2, kAssoc8Way, 128, 64},          // 19
    {0x7A, kCacheLevel2, kAssoc8Way, 256, 64},          // 20
    {0x7B, kCacheLevel2, kAssoc8Way, 512, 64},          // 21
    {0x7C, kCacheLevel2, kAssoc8Way, 1024, 64},         // 22
    {0x82, kCacheLevel2, kAssoc8Way, 256, 32},          // 23
    {0x83, kCacheLevel2, kAssoc8Way, 512, 32},          // 24
    {0x84, kCacheLevel2, kAssoc8Way, 1024, 32},         // 25
    {0x85, kCacheLevel2, kAssoc8Way, 2048, 32},         // 26
    {0x86, kCacheLevel2, kAssoc4Way, 512, 64},          // 27
    {0x87, kCacheLevel2, kAssoc8Way, 1024, 64},         // 28
    {0x22, kCacheLevel3, kAssoc4Way, 512, 64},          // 29
    {0x23, kCacheLevel3, kAssoc8Way, 1024, 64},         // 30
    {0x25, kCacheLevel3, kAssoc8Way, 2048, 64},         // 31
    {0x29, kCacheLevel3, kAssoc8Way, 4096, 64},         // 32
    {0x40, kCacheLevel3, kAssocNone, 0, 0},             // 33
    {0x70, kCacheTrace, kAssoc8Way, 12, 0},             // 34
    {0x71, kCacheTrace, kAssoc8Way, 16, 0},             // 35
    {0x72, kCacheTrace, kAssoc8Way, 32, 0},             // 36
    // The descriptors of the processors since, as Intel lists them today.
    {0x09, kCacheLevel1Code, kAssoc4Way, 32, 64},       // 37
    {0x0D, kCacheLevel1Data, kAssoc4Way, 16, 64},       // 38
    {0x0E, kCacheLevel1Data, AssocWays(6), 24, 64},     // 39
    {0x60, kCacheLevel1Data, kAssoc8Way, 16, 64},       // 40
    {0x1D, kCacheLevel2, kAssoc2Way, 128, 64},          // 41
    {0x21, kCacheLevel2, kAssoc8Way, 256, 64},          // 42
    {0x24, kCacheLevel2, kAssoc16Way, 1024, 64},        // 43
    {0x48, kCacheLevel2, AssocWays(12), 3072, 64},      // 44
    {0x49, kCacheLevel2, kAssoc16Way, 4096, 64},        // 45 (level 3 on family 15 model 6)
    {0x4E, kCacheLevel2, AssocWays(24), 6144, 64},      // 46
    {0x78, kCacheLevel2, kAssoc4Way, 1024, 64},         // 47
    {0x7D, kCacheLevel2, kAssoc8Way, 2048, 64},         // 48
    {0x7F, kCacheLevel2, kAssoc2Way, 512, 64},          // 49
    {0x80, kCacheLevel2, kAssoc8Way, 512, 64},          // 50
    {0x46, kCacheLevel3, kAssoc4Way, 4096, 64},         // 51
    {0x47, kCacheLevel3, kAssoc8Way, 8192, 64},         // 52
    {0x49, kCacheLevel3, kAssoc16Way, 4096, 64},        // 53 (family 15 model 6 only)
    {0x4A, kCacheLevel3, AssocWays(12), 6144, 64},      // 54
    {0x4B, kCacheLevel3, kAssoc16Way, 8192, 64},        // 55
    {0x4C, kCacheLevel3, AssocWays(12), 12288, 64},     // 56
    {0x4D, kCacheLevel3, kAssoc16Way, 16384, 64},       // 57
    {0xD0, kCacheLevel3, kAssoc4Way, 512, 64},          // 58
    {0xD1, kCacheLevel3, kAssoc4Way, 1024, 64},         // 59
    {0xD2, kCacheLevel3, kAssoc4Way, 2048, 64},         // 60
    {0xD6, kCacheLevel3, kAssoc8Way, 1024, 64},         // 61
    {0xD7, kCacheLevel3, kAssoc8Way, 2048, 64},         // 62
    {0xD8, kCacheLevel3, kAssoc8Way, 4096, 64},         // 63
    {0xDC, kCacheLevel3, AssocWays(12), 1536, 64},      // 64
    {0xDD, kCacheLevel3, AssocWays(12), 3072, 64},      // 65
    {0xDE, kCacheLevel3, AssocWays(12), 6144, 64},      // 66
    {0xE2, kCacheLevel3, kAssoc16Way, 2048, 64},        // 67
    {0xE3, kCacheLevel3, kAssoc16Way, 4096, 64},        // 68
    {0xE4, kCacheLevel3, kAssoc16Way, 8192, 64},        // 69
    {0xEA, kCacheLevel3, AssocWays(24), 12288, 64},     // 70
    {0xEB, kCacheLevel3, AssocWays(24), 18432, 64},     // 71
    {0xEC, kCacheLevel3, AssocWays(24), 24576, 64},     // 72
};
static_assert(std::size(kCacheDescriptorTable) == 72);

// Descriptor 0x49 names the level 3 cache on family 15 model 6 (a Xeon MP)
// and the level 2 cache everywhere else.
inline constexpr uint8_t kDescriptorLevel2OrXeonMpLevel3 = 0x49;
// "The caches are described by leaf 4."
inline constexpr uint8_t kDescriptorSeeLeaf4 = 0xFF;

// --- Decoding.

// What one cache looks like; `Available` is size != 0, and a cache that is
// not available has line size 0 and associativity row 0.
struct CacheFacts {
  uint32_t size = 0;       // bytes
  uint32_t line_size = 0;  // bytes
  uint8_t associativity = kAssocNone;
  // A number of ways that no associativity row names; 0 when the row says it.
  uint32_t other_ways = 0;
  bool available() const { return size != 0; }
  bool operator==(const CacheFacts& o) const {
    return size == o.size && line_size == o.line_size && associativity == o.associativity &&
           other_ways == o.other_ways;
  }
};

using CacheDescriptorSlots = std::array<uint32_t, 16>;

// The 16 descriptor bytes of one register set: EAX, EBX, ECX, EDX in turn,
// each least significant byte first; a register with bit 31 set contributes
// nothing (its four slots stay 0).  Descriptor(i) counts slots from 1, so
// its slot i is element i - 1.
CacheDescriptorSlots CollectDescriptorSlots(const CpuidRegisters& regs);
bool SlotsHold(const CacheDescriptorSlots& slots, uint32_t value);

// The leaf a non-Intel processor's descriptor bytes come from.
uint32_t DescriptorLeafForKind(TCpuCacheKind kind);

// The descriptor method: the last table row of `kind` whose descriptor is in
// the slots decides.  `xeon_mp` (family 15 model 6) moves descriptor 0x49
// from level 2 to level 3.
CacheFacts DecodeCacheByDescriptors(const CacheDescriptorSlots& slots, TCpuCacheKind kind,
                                    bool xeon_mp = false);

// The deterministic cache parameters (leaf 4, one register set per
// sub-leaf, in sub-leaf order, up to the first of type 0): the first
// sub-leaf that describes `kind` gives its size (ways × partitions × line ×
// sets), line size and ways.  Level 1 is split by type (data, instruction,
// unified); level 2 and 3 take any type; there is no trace cache here.
CacheFacts DecodeDeterministicCache(const std::vector<CpuidRegisters>& subleaves,
                                    TCpuCacheKind kind);

// The leaf the extended method reads for `kind`.  Kinds without an extended
// leaf read 0x80000099, above every range, which answers zeros.
inline constexpr uint32_t kNoCacheLeaf = 0x80000099;
uint32_t ExtendedCacheLeaf(TCpuCacheKind kind);

// The extended method over the registers of ExtendedCacheLeaf(kind).  Vendor
// numbers as the vendor table has them (3 AMD, 5 Via); `family` is the
// decoded family.  Level 1 unified, level 3 and trace are never available.
CacheFacts DecodeExtendedCache(TCpuCacheKind kind, const CpuidRegisters& regs, uint8_t vendor,
                               uint32_t family);

}  // namespace zt::cpuid
