#include <fstream>
#include <sstream>

#include "sampling/memory.h"

namespace zt {

void GetMemoryFigures(bool physical, uint64_t& total, uint64_t& available) {
  total = kMemoryQueryFailed;
  available = kMemoryQueryFailed;
  std::ifstream file("/proc/meminfo");
  if (!file) return;
  std::ostringstream text;
  text << file.rdbuf();
  ParseMemInfo(text.str(), physical, total, available);
}

}  // namespace zt
