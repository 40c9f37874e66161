// Builds performance-data buffers in the layout the NT family publishes, for
// the walker's tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "sampling/perf_data.h"

namespace zt::testing {

inline void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
inline void Put64(std::vector<uint8_t>& b, size_t at, int64_t v) {
  const uint64_t u = static_cast<uint64_t>(v);
  Put32(b, at, static_cast<uint32_t>(u));
  Put32(b, at + 4, static_cast<uint32_t>(u >> 32));
}
inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
  return v;
}

struct PerfObjectSpec {
  uint32_t title = kProcessorObjectTitleIndex;
  std::vector<uint32_t> counters = {kProcessorTimeCounterTitleIndex};  // 8-byte counters
  // values[instance][counter]
  std::vector<std::vector<int64_t>> values;
  // Instance names (ASCII); instances beyond the list are named "0", "1", ...
  std::vector<std::string> names;
};

// Where the builder put things, for tests that corrupt them.
struct PerfLayoutInfo {
  size_t header_length = 0;
  std::vector<size_t> objects;          // offset of each object
  std::vector<size_t> first_instance;   // offset of each object's first instance
  std::vector<size_t> first_definition; // offset of each object's first counter definition
};

struct PerfBufferBuilder {
  PerfSystemTime time{2024, 5, 5, 17, 12, 30, 15, 250};
  std::vector<PerfObjectSpec> objects;
  PerfLayoutInfo layout;

  std::vector<uint8_t> Build() {
    namespace Lay = perf_layout;
    std::vector<uint8_t> b(Lay::kBlockSize + 8, 0);  // + system name L"PC\0" padded
    const char sig[8] = {'P', 0, 'E', 0, 'R', 0, 'F', 0};
    std::memcpy(b.data(), sig, 8);
    Put32(b, 8, 1);    // LittleEndian
    Put32(b, 12, 1);   // Version
    Put32(b, 16, 1);   // Revision
    Put32(b, Lay::kBlockHeaderLength, static_cast<uint32_t>(b.size()));
    Put32(b, Lay::kBlockNumObjectTypes, static_cast<uint32_t>(objects.size()));
    const uint16_t st[8] = {time.year, time.month,  time.day_of_week, time.day,
                            time.hour, time.minute, time.second,      time.milliseconds};
    for (int i = 0; i < 8; ++i) Put16(b, Lay::kBlockSystemTime + 2 * static_cast<size_t>(i), st[i]);
    Put64(b, Lay::kBlockPerfTime, 123456789);
    Put64(b, Lay::kBlockPerfFreq, 10000000);
    Put64(b, Lay::kBlockPerfTime100nSec, 987654321);
    Put32(b, 80, 6);                     // SystemNameLength
    Put32(b, 84, Lay::kBlockSize);       // SystemNameOffset
    b[Lay::kBlockSize] = 'P';
    b[Lay::kBlockSize + 2] = 'C';
    layout = PerfLayoutInfo{};
    layout.header_length = b.size();

    for (const PerfObjectSpec& o : objects) {
      const size_t object = b.size();
      layout.objects.push_back(object);
      const size_t n = o.counters.size();
      const size_t definition_length = Lay::kObjectSize + Lay::kCounterDefinitionSize * n;
      b.resize(object + definition_length, 0);
      Put32(b, object + Lay::kObjectDefinitionLength, static_cast<uint32_t>(definition_length));
      Put32(b, object + Lay::kObjectHeaderLength, Lay::kObjectSize);
      Put32(b, object + Lay::kObjectNameTitleIndex, o.title);
      Put32(b, object + 20, o.title + 1);  // help title
      Put32(b, object + 28, 100);          // detail level
      Put32(b, object + Lay::kObjectNumCounters, static_cast<uint32_t>(n));
      Put32(b, object + Lay::kObjectNumInstances, static_cast<uint32_t>(o.values.size()));
      layout.first_definition.push_back(object + Lay::kObjectSize);
      for (size_t k = 0; k < n; ++k) {
        const size_t d = object + Lay::kObjectSize + Lay::kCounterDefinitionSize * k;
        Put32(b, d + Lay::kCounterByteLength, Lay::kCounterDefinitionSize);
        Put32(b, d + Lay::kCounterNameTitleIndex, o.counters[k]);
        Put32(b, d + Lay::kCounterType, kPerf100nsTimerInv);
        Put32(b, d + Lay::kCounterSize, 8);
        Put32(b, d + Lay::kCounterOffset, static_cast<uint32_t>(8 + 8 * k));
      }
      layout.first_instance.push_back(b.size());
      for (size_t i = 0; i < o.values.size(); ++i) {
        // Instance definition with its name (UTF-16 with its terminating
        // zero, padded to 8 bytes).
        const std::string name =
            i < o.names.size() ? o.names[i] : std::string(1, static_cast<char>('0' + i % 10));
        const size_t name_length = 2 * (name.size() + 1);
        const size_t padded = (name_length + 7) / 8 * 8;
        const size_t inst = b.size();
        b.resize(inst + Lay::kInstanceDefinitionSize + padded, 0);
        Put32(b, inst + Lay::kInstanceByteLength,
              static_cast<uint32_t>(Lay::kInstanceDefinitionSize + padded));
        Put32(b, inst + Lay::kInstanceNameOffset, Lay::kInstanceDefinitionSize);
        Put32(b, inst + Lay::kInstanceNameLength, static_cast<uint32_t>(name_length));
        for (size_t c = 0; c < name.size(); ++c)
          b[inst + Lay::kInstanceDefinitionSize + 2 * c] = static_cast<uint8_t>(name[c]);
        const size_t block = b.size();
        const size_t block_length = 8 + 8 * n;
        b.resize(block + block_length, 0);
        Put32(b, block, static_cast<uint32_t>(block_length));
        for (size_t k = 0; k < n; ++k)
          Put64(b, block + 8 + 8 * k, k < o.values[i].size() ? o.values[i][k] : 0);
      }
      Put32(b, object + Lay::kObjectTotalByteLength, static_cast<uint32_t>(b.size() - object));
    }
    Put32(b, Lay::kBlockTotalByteLength, static_cast<uint32_t>(b.size()));
    return b;
  }
};

// A Processor object with one processor-time counter and these idle values.
inline std::vector<uint8_t> ProcessorBuffer(const std::vector<int64_t>& idle,
                                            PerfSystemTime time = {2024, 5, 5, 17, 12, 30, 15, 250}) {
  PerfBufferBuilder builder;
  builder.time = time;
  PerfObjectSpec o;
  for (int64_t v : idle) o.values.push_back({v});
  builder.objects.push_back(o);
  return builder.Build();
}

}  // namespace zt::testing
