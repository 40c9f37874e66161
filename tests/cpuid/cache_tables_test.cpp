// Cache decoding over raw registers: descriptor collection and bit 31, table
// order (a later row of the same kind wins), the extended leaves per vendor,
// and the associativity codes.
#include <gtest/gtest.h>

#include <initializer_list>
#include <set>

#include "cpuid/cache_tables.h"

namespace zt::cpuid {
namespace {

CacheDescriptorSlots SlotsOf(std::initializer_list<uint32_t> descriptors) {
  CacheDescriptorSlots slots{};
  size_t i = 0;
  for (uint32_t d : descriptors) slots.at(i++) = d;
  return slots;
}

CacheFacts Facts(uint32_t size, uint32_t line, uint8_t assoc) {
  CacheFacts f;
  f.size = size;
  f.line_size = line;
  f.associativity = assoc;
  return f;
}

TEST(CacheAssociativity, CodesMapToRowsAndStrangersToNone) {
  const struct {
    uint32_t code;
    const char* name;
  } known[] = {{0, "None"}, {1, "Direct"}, {2, "2-Way"}, {4, "4-Way"},
               {6, "8-Way"}, {8, "16-Way"}, {15, "Full"}};
  for (const auto& k : known) {
    const uint8_t index = AssociativityIndexOfCode(k.code);
    EXPECT_STREQ(AssociativityName(index), k.name);
    EXPECT_EQ(AssociativityCode(index), k.code);
  }
  for (uint32_t stranger : {3u, 5u, 7u, 9u, 14u, 16u, 0x40u, 0xFFu, 0xFFFFFFFFu}) {
    EXPECT_EQ(AssociativityIndexOfCode(stranger), kAssocNone) << stranger;
  }
}

TEST(CacheDescriptors, BytesLowFirstAndRegistersWithBit31Skipped) {
  const CacheDescriptorSlots slots =
      CollectDescriptorSlots({0x665B5101, 0x80223040, 0x0000002C, 0xFF7B7040});
  const CacheDescriptorSlots expected = {0x01, 0x51, 0x5B, 0x66, 0, 0, 0, 0,
                                         0x2C, 0x00, 0x00, 0x00, 0, 0, 0, 0};
  EXPECT_EQ(slots, expected);
  // Bit 31 alone decides: 0x7FFFFFFF is taken, 0x80000000 is not.
  EXPECT_EQ(CollectDescriptorSlots({0x7FFFFFFF, 0, 0, 0x80000000})[3], 0x7Fu);
  EXPECT_FALSE(SlotsHold(CollectDescriptorSlots({0x80000030, 0x8000002C, 0x80000043, 0x80000070}),
                         0x30));
}

TEST(CacheDescriptors, TableHasNoUnifiedRowAndNoCountOrEmptyDescriptor) {
  std::set<std::pair<uint8_t, uint8_t>> seen;
  for (const CacheDescriptorInfo& row : kCacheDescriptorTable) {
    EXPECT_NE(row.kind, kCacheLevel1Unified);
    EXPECT_GT(row.descriptor, 0x01);
    if ((row.associativity & kAssocWaysFlag) == 0) {
      EXPECT_LT(row.associativity, std::size(kCacheAssociativityTable));
    }
    EXPECT_TRUE(seen.insert({row.descriptor, row.kind}).second) << int{row.descriptor};
  }
  for (uint32_t d = 0; d < 256; ++d) {
    EXPECT_FALSE(DecodeCacheByDescriptors(SlotsOf({d}), kCacheLevel1Unified).available());
  }
}

TEST(CacheByDescriptors, EdgeCasesOfOrderAndEmptyRows) {
  // 0x2C and 0x30: 32 KB 8-Way 64-byte data and code caches.
  const auto l1 = SlotsOf({0x01, 0x2C, 0x30});
  EXPECT_EQ(DecodeCacheByDescriptors(l1, kCacheLevel1Data), Facts(32768, 64, kAssoc8Way));
  EXPECT_EQ(DecodeCacheByDescriptors(l1, kCacheLevel1Code), Facts(32768, 64, kAssoc8Way));
  EXPECT_FALSE(DecodeCacheByDescriptors(l1, kCacheLevel2).available());

  // 0x40 ("none") never hides a cache that another descriptor describes,
  // whether its row comes before or after, whatever the slot order.
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x3C, 0x40}), kCacheLevel2),
            Facts(262144, 64, kAssoc4Way));
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x43, 0x40}), kCacheLevel2),
            Facts(524288, 32, kAssoc4Way));
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x40, 0x43}), kCacheLevel2),
            Facts(524288, 32, kAssoc4Way));
  // Table order, not slot order or size, picks among real level 2 rows.
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x7C, 0x41}), kCacheLevel2),
            Facts(1048576, 64, kAssoc8Way));
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x86, 0x87}), kCacheLevel2),
            Facts(1048576, 64, kAssoc8Way));
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x45, 0x79}), kCacheLevel2),
            Facts(131072, 64, kAssoc8Way));
  // Alone, 0x40 means "none".
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x40}), kCacheLevel2), CacheFacts{});
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x40}), kCacheLevel3), CacheFacts{});
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x22}), kCacheLevel3),
            Facts(524288, 64, kAssoc4Way));
  // Level 1 data: 0x0A before 0x68 in the table.
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x68, 0x0A}), kCacheLevel1Data),
            Facts(32768, 64, kAssoc4Way));
}

TEST(CacheByDescriptors, TraceRowsGiveCapacityAndNoLine) {
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x70}), kCacheTrace), Facts(12288, 0, kAssoc8Way));
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x71}), kCacheTrace), Facts(16384, 0, kAssoc8Way));
  EXPECT_EQ(DecodeCacheByDescriptors(SlotsOf({0x72, 0x70}), kCacheTrace),
            Facts(32768, 0, kAssoc8Way));
}

TEST(ExtendedCache, TheFamily6Level2CodeRuleIsAmdOnly) {
  // A Transmeta family 6 is not AMD: its code byte is read as it stands.
  EXPECT_EQ(DecodeExtendedCache(kCacheLevel2, {0, 0, 0x01048040, 0}, 9, 6),
            Facts(0x0104 * 1024, 0x40, kAssoc4Way));
  EXPECT_EQ(DecodeExtendedCache(kCacheLevel2, {0, 0, 0x01048040, 0}, 3, 6),
            Facts(0x0104 * 1024, 0x40, kAssoc16Way));
}

TEST(ExtendedCache, Level3UnifiedAndTraceNeverAvailable) {
  const CpuidRegisters full{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  for (TCpuCacheKind k : {kCacheLevel1Unified, kCacheLevel3, kCacheTrace}) {
    for (uint8_t vendor : {1, 3, 5, 9}) {
      EXPECT_EQ(DecodeExtendedCache(k, full, vendor, 6), CacheFacts{}) << int{k};
    }
  }
  // Line size and associativity stay empty when the size is 0.
  EXPECT_EQ(DecodeExtendedCache(kCacheLevel1Data, {0, 0, 0x00FF0240, 0}, 3, 6), CacheFacts{});
  // A full-associative code (0xFF) is no table code; 0x0F is.
  EXPECT_EQ(DecodeExtendedCache(kCacheLevel1Data, {0, 0, 0x10FF0140, 0}, 3, 15),
            Facts(16384, 64, kAssocNone));
  EXPECT_EQ(DecodeExtendedCache(kCacheLevel1Code, {0, 0, 0, 0x100F0140}, 3, 15),
            Facts(16384, 64, kAssocFull));
}

}  // namespace
}  // namespace zt::cpuid
