#include "cpuid/cache_tables.h"

#include "cpuid/interfaces.h"

namespace zt::cpuid {

namespace {

// On an AMD family 6 part the level 2 code is taken as 8, whatever the leaf
// says.
constexpr uint32_t kAmdFamily6Level2Code = 8;

uint32_t Bits(uint32_t value, unsigned first, unsigned count) {
  return (value >> first) & ((count >= 32) ? 0xFFFFFFFFu : ((1u << count) - 1u));
}

}  // namespace

uint8_t AssociativityIndexOfCode(uint32_t code) {
  for (size_t i = 0; i < std::size(kCacheAssociativityTable); ++i) {
    if (kCacheAssociativityTable[i].code == code) return static_cast<uint8_t>(i);
  }
  return kAssocNone;
}

const char* AssociativityName(uint8_t index) {
  if (index >= std::size(kCacheAssociativityTable)) index = kAssocNone;
  return kCacheAssociativityTable[index].name;
}

uint8_t AssociativityCode(uint8_t index) {
  if (index >= std::size(kCacheAssociativityTable)) index = kAssocNone;
  return kCacheAssociativityTable[index].code;
}

CacheDescriptorSlots CollectDescriptorSlots(const CpuidRegisters& regs) {
  CacheDescriptorSlots slots{};
  const uint32_t in_order[4] = {regs.eax, regs.ebx, regs.ecx, regs.edx};
  for (size_t r = 0; r < 4; ++r) {
    if ((in_order[r] & 0x80000000u) != 0) continue;
    for (size_t b = 0; b < 4; ++b) slots[4 * r + b] = Bits(in_order[r], 8 * b, 8);
  }
  return slots;
}

bool SlotsHold(const CacheDescriptorSlots& slots, uint32_t value) {
  for (uint32_t slot : slots) {
    if (slot == value) return true;
  }
  return false;
}

uint32_t DescriptorLeafForKind(TCpuCacheKind kind) {
  return (kind == kCacheLevel2 || kind == kCacheLevel3) ? 0x80000006u : 0x80000005u;
}

CacheFacts DecodeCacheByDescriptors(const CacheDescriptorSlots& slots, TCpuCacheKind kind,
                                    bool xeon_mp) {
  const CacheDescriptorInfo* last = nullptr;
  for (const CacheDescriptorInfo& row : kCacheDescriptorTable) {
    if (row.descriptor == kDescriptorLevel2OrXeonMpLevel3 &&
        (row.kind == kCacheLevel3) != xeon_mp)
      continue;
    // A row that says "no such cache" (0x40) speaks only when no other
    // descriptor of the processor describes one: beside a level 2 cache,
    // 0x40 means that there is no level 3.
    if (row.kind == kind && row.size_kb != 0 && SlotsHold(slots, row.descriptor)) last = &row;
  }
  CacheFacts facts;
  if (last == nullptr) return facts;
  facts.size = last->size_kb * 1024u;
  facts.line_size = last->line_size;
  if ((last->associativity & kAssocWaysFlag) != 0) {
    facts.other_ways = last->associativity & ~kAssocWaysFlag;
  } else {
    facts.associativity = last->associativity;
  }
  return facts;
}

namespace {

// Ways the associativity rows name by their extended-leaf codes.
void SetWays(CacheFacts& facts, uint32_t ways, bool fully_associative) {
  if (fully_associative) {
    facts.associativity = kAssocFull;
    return;
  }
  const struct {
    uint32_t ways;
    uint8_t row;
  } named[] = {{1, kAssocDirect}, {2, kAssoc2Way}, {4, kAssoc4Way}, {8, kAssoc8Way}, {16, kAssoc16Way}};
  for (const auto& n : named) {
    if (n.ways == ways) {
      facts.associativity = n.row;
      return;
    }
  }
  facts.other_ways = ways;
}

}  // namespace

CacheFacts DecodeDeterministicCache(const std::vector<CpuidRegisters>& subleaves,
                                    TCpuCacheKind kind) {
  enum : uint32_t { kNull = 0, kData = 1, kInstruction = 2, kUnified = 3 };
  for (const CpuidRegisters& r : subleaves) {
    const uint32_t type = Bits(r.eax, 0, 5);
    if (type == kNull) break;
    const uint32_t level = Bits(r.eax, 5, 3);
    TCpuCacheKind found;
    if (level == 1 && type == kData) found = kCacheLevel1Data;
    else if (level == 1 && type == kInstruction) found = kCacheLevel1Code;
    else if (level == 1 && type == kUnified) found = kCacheLevel1Unified;
    else if (level == 2) found = kCacheLevel2;
    else if (level == 3) found = kCacheLevel3;
    else continue;
    if (found != kind) continue;
    const uint64_t ways = Bits(r.ebx, 22, 10) + 1;
    const uint64_t partitions = Bits(r.ebx, 12, 10) + 1;
    const uint64_t line = Bits(r.ebx, 0, 12) + 1;
    const uint64_t sets = static_cast<uint64_t>(r.ecx) + 1;
    const uint64_t size = ways * partitions * line * sets;
    CacheFacts facts;
    // The size is reported in 32 bits; a cache beyond that is no real one.
    if (size > 0xFFFFFFFFu) return facts;
    facts.size = static_cast<uint32_t>(size);
    facts.line_size = static_cast<uint32_t>(line);
    SetWays(facts, static_cast<uint32_t>(ways), (r.eax & (1u << 9)) != 0);
    return facts;
  }
  return CacheFacts{};
}

uint32_t ExtendedCacheLeaf(TCpuCacheKind kind) {
  switch (kind) {
    case kCacheLevel1Code:
    case kCacheLevel1Data:
      return 0x80000005u;
    case kCacheLevel2:
      return 0x80000006u;
    default:
      return kNoCacheLeaf;
  }
}

CacheFacts DecodeExtendedCache(TCpuCacheKind kind, const CpuidRegisters& regs, uint8_t vendor,
                               uint32_t family) {
  uint32_t size = 0;
  uint32_t line = 0;
  uint32_t code = 0;
  switch (kind) {
    case kCacheLevel1Code:
      size = Bits(regs.edx, 24, 8) * 1024u;
      line = Bits(regs.edx, 0, 8);
      code = Bits(regs.edx, 16, 8);
      break;
    case kCacheLevel1Data:
      size = Bits(regs.ecx, 24, 8) * 1024u;
      line = Bits(regs.ecx, 0, 8);
      code = Bits(regs.ecx, 16, 8);
      break;
    case kCacheLevel2:
      size = (vendor == kVendorVia ? Bits(regs.ecx, 24, 8) : Bits(regs.ecx, 16, 16)) * 1024u;
      line = Bits(regs.ecx, 0, 8);
      code = (vendor == kVendorAmd && family == 6) ? kAmdFamily6Level2Code
                                                   : Bits(regs.ecx, 16, 8);
      break;
    default:
      break;
  }
  CacheFacts facts;
  if (size == 0) return facts;
  facts.size = size;
  facts.line_size = line;
  facts.associativity = AssociativityIndexOfCode(code);
  return facts;
}

}  // namespace zt::cpuid
