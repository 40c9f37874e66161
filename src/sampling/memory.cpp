#include "sampling/memory.h"

#include <cctype>
#include <limits>
#include <map>
#include <sstream>

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

// One "Name:   12345 kB" line; false when the number is missing or too big.
bool ParseMemInfoValue(const std::string& rest, uint64_t& bytes) {
  size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
  if (i >= rest.size() || !std::isdigit(static_cast<unsigned char>(rest[i]))) return false;
  uint64_t value = 0;
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  for (; i < rest.size() && std::isdigit(static_cast<unsigned char>(rest[i])); ++i) {
    const uint64_t digit = static_cast<uint64_t>(rest[i] - '0');
    if (value > (kMax - digit) / 10) return false;
    value = value * 10 + digit;
  }
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
  uint64_t unit = 1;
  if (rest.compare(i, 2, "kB") == 0) unit = 1024;
  if (value > kMax / unit) return false;
  bytes = value * unit;
  return true;
}

}  // namespace

bool ParseMemInfo(const std::string& text, bool physical, uint64_t& total, uint64_t& available) {
  total = kMemoryQueryFailed;
  available = kMemoryQueryFailed;
  std::map<std::string, uint64_t> values;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    uint64_t bytes = 0;
    if (ParseMemInfoValue(line.substr(colon + 1), bytes)) values[line.substr(0, colon)] = bytes;
  }
  const char* total_name = physical ? "MemTotal" : "CommitLimit";
  const char* other_name = physical ? "MemAvailable" : "Committed_AS";
  auto t = values.find(total_name);
  auto o = values.find(other_name);
  if (t == values.end() || o == values.end()) return false;
  total = t->second;
  if (physical) {
    available = o->second;
  } else {
    // Linux lets programs commit more than the limit; nothing is left then.
    available = o->second >= t->second ? 0 : t->second - o->second;
  }
  return true;
}

}  // namespace zt
