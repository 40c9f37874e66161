// Memory query: total and available bytes of physical memory or of the
// commit limit ("page file"), and their conversion into the monitor's
// figures.  Portable interface; the query itself is per platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/seam.h"

namespace zt {

constexpr double kBytesPerMB = 1048576.0;
// What a failed query leaves in both figures.
constexpr uint64_t kMemoryQueryFailed = ~uint64_t{0};

// Fills total and available (bytes).  physical: physical memory; otherwise the
// commit limit and what is left of it.  On failure both are
// kMemoryQueryFailed.  Never raises.
void GetMemoryFigures(bool physical, uint64_t& total, uint64_t& available);

// The memory query as the monitor asks it: GetMemoryFigures unless a test
// has put a fake in its place (ScopedOverride<IMemoryStatus>).
class IMemoryStatus {
 public:
  virtual ~IMemoryStatus() = default;
  virtual void Figures(bool physical, uint64_t& total, uint64_t& available) = 0;
};
template <>
IMemoryStatus& Seam<IMemoryStatus>::Real();

// The monitor's memory figures (MB, MB, per cent).
struct MemorySample {
  double MemoryTotal = 0;
  double MemoryUsage = 0;
  double MemoryUsed = 0;
};

// Turns a query result into the monitor's figures.  The byte counts are read
// as signed 64-bit numbers, so a failed query gives used 0, usage 0 and a
// total just below zero.  A zero total (no commit limit) gives usage 0 instead
// of a division by zero.
MemorySample MemorySampleFromFigures(uint64_t total, uint64_t available);

// Linux: the figures from the text of /proc/meminfo.  Physical: MemTotal and
// MemAvailable; otherwise CommitLimit and CommitLimit - Committed_AS (0 when
// more than the limit is committed).  False, with both figures
// kMemoryQueryFailed, when a needed line is missing or malformed.
bool ParseMemInfo(const std::string& text, bool physical, uint64_t& total, uint64_t& available);
bool ParseMemInfo(const char* text, size_t size, bool physical, uint64_t& total,
                  uint64_t& available);

}  // namespace zt
