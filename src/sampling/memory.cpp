#include "sampling/memory.h"

#include <cctype>
#include <cstring>
#include <limits>

namespace zt {

MemorySample MemorySampleFromFigures(uint64_t total, uint64_t available) {
  // Signed on purpose: a failed query (all bits set) must come out as a used
  // figure of 0 and a total just below zero, not as 16 EB.
  const auto stotal = static_cast<int64_t>(total);
  const auto savail = static_cast<int64_t>(available);
  MemorySample s;
  s.MemoryUsed = static_cast<double>(static_cast<int64_t>(total - available)) / kBytesPerMB;
  if (stotal != 0)
    s.MemoryUsage = (1.0 - static_cast<double>(savail) / static_cast<double>(stotal)) * 100.0;
  s.MemoryTotal = static_cast<double>(stotal) / kBytesPerMB;
  return s;
}

namespace {

// The number after "Name:" on a line starting at p (spaces, digits, an
// optional "kB"); false when it is missing or does not fit in 64 bits.
bool ParseMemInfoValue(const char* p, const char* end, uint64_t& bytes) {
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  if (p >= end || !std::isdigit(static_cast<unsigned char>(*p))) return false;
  uint64_t value = 0;
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  for (; p < end && std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    const uint64_t digit = static_cast<uint64_t>(*p - '0');
    if (value > (kMax - digit) / 10) return false;
    value = value * 10 + digit;
  }
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  uint64_t unit = 1;
  if (end - p >= 2 && p[0] == 'k' && p[1] == 'B') unit = 1024;
  if (value > kMax / unit) return false;
  bytes = value * unit;
  return true;
}

// Finds the line "<name>:" and reads its value.
bool FindMemInfoValue(const char* text, size_t size, const char* name, uint64_t& bytes) {
  const size_t len = std::strlen(name);
  const char* const end = text + size;
  for (const char* line = text; line < end;) {
    const char* eol = static_cast<const char*>(std::memchr(line, '\n', static_cast<size_t>(end - line)));
    if (!eol) eol = end;
    if (static_cast<size_t>(eol - line) > len && std::memcmp(line, name, len) == 0 &&
        line[len] == ':')
      return ParseMemInfoValue(line + len + 1, eol, bytes);
    line = eol + 1;
  }
  return false;
}

}  // namespace

bool ParseMemInfo(const char* text, size_t size, bool physical, uint64_t& total,
                  uint64_t& available) {
  total = kMemoryQueryFailed;
  available = kMemoryQueryFailed;
  uint64_t t = 0, o = 0;
  if (!FindMemInfoValue(text, size, physical ? "MemTotal" : "CommitLimit", t) ||
      !FindMemInfoValue(text, size, physical ? "MemAvailable" : "Committed_AS", o))
    return false;
  total = t;
  // Linux lets programs commit more than the limit; nothing is left then.
  available = physical ? o : (o >= t ? 0 : t - o);
  return true;
}

bool ParseMemInfo(const std::string& text, bool physical, uint64_t& total, uint64_t& available) {
  return ParseMemInfo(text.data(), text.size(), physical, total, available);
}

template <>
IMemoryStatus& Seam<IMemoryStatus>::Real() {
  class SystemMemoryStatus final : public IMemoryStatus {
   public:
    void Figures(bool physical, uint64_t& total, uint64_t& available) override {
      GetMemoryFigures(physical, total, available);
    }
  };
  static SystemMemoryStatus status;
  return status;
}

}  // namespace zt
