// The AMD performance rating ("2400+") by clock speed and level 2 cache size.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zt::cpuid {

struct TAmdRating {
  uint32_t speed_mhz;
  const char* rating;
};

// Processors with 256 KB of level 2 cache.
inline constexpr std::array<TAmdRating, 18> kAmdRatings256 = {{
    {950, "1100+"},  {1000, "1200+"}, {1100, "1300+"}, {1200, "1400+"}, {1300, "1500+"},
    {1333, "1500+"}, {1400, "1600+"}, {1467, "1700+"}, {1500, "1800+"}, {1533, "1800+"},
    {1600, "1900+"}, {1667, "2000+"}, {1733, "2100+"}, {1800, "2200+"}, {2000, "2400+"},
    {2083, "2600+"}, {2167, "2700+"}, {2250, "2800+"},
}};
static_assert(kAmdRatings256.size() == 18, "table A has 18 rows");

// Processors with 512 KB of level 2 cache.
inline constexpr std::array<TAmdRating, 16> kAmdRatings512 = {{
    {1300, "1700+"}, {1400, "1800+"}, {1467, "1900+"}, {1533, "2000+"}, {1600, "2100+"},
    {1667, "2200+"}, {1800, "2400+"}, {1833, "2500+"}, {1867, "2500+"}, {1917, "2600+"},
    {2000, "2600+"}, {2083, "2800+"}, {2100, "3000+"}, {2133, "2800+"}, {2167, "3000+"},
    {2200, "3200+"},
}};
static_assert(kAmdRatings512.size() == 16, "table B has 16 rows");

// Rating for a normalised speed and a level 2 size in bytes; empty when the
// size is neither 256 nor 512 KB or no row has exactly that speed.
std::string AmdRating(uint32_t normalised_mhz, uint32_t level2_bytes);

}  // namespace zt::cpuid
