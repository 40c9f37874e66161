#include "cpuid/rating.h"

namespace zt::cpuid {

namespace {

template <size_t N>
std::string Search(const std::array<TAmdRating, N>& table, uint32_t mhz) {
  for (const TAmdRating& row : table) {
    if (row.speed_mhz == mhz) return row.rating;
  }
  return std::string();
}

}  // namespace

std::string AmdRating(uint32_t normalised_mhz, uint32_t level2_bytes) {
  const uint32_t kb = level2_bytes / 1024;
  if (kb == 256) return Search(kAmdRatings256, normalised_mhz);
  if (kb == 512) return Search(kAmdRatings512, normalised_mhz);
  return std::string();
}

}  // namespace zt::cpuid
