#include "sampling/perf_data.h"

#include <algorithm>
#include <cstring>

#include "sampling/processor_load.h"
#include "util/platform.h"

namespace zt {

namespace {

namespace L = perf_layout;

// The data is little-endian on every platform that publishes it.
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int64_t Get64(const uint8_t* p) {
  const uint64_t lo = Get32(p), hi = Get32(p + 4);
  return static_cast<int64_t>(lo | (hi << 32));
}

// Bounds-checked view of the returned bytes.  Offsets are 64-bit so that
// sums of 32-bit lengths cannot wrap.
class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Has(uint64_t offset, uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  const uint8_t* At(uint64_t offset) const { return data_ + offset; }

 private:
  const uint8_t* data_;
  uint64_t size_;
};

[[noreturn]] void NoObject() { throw EProcessorLoad(kMsgNoProcessorObject); }
[[noreturn]] void NoCounter() { throw EProcessorLoad(kMsgNoProcessorCounter); }

// True when the instance definition at `instance`, `length` bytes long,
// carries the name "_Total".  The name must lie inside the definition; one
// that does not is no name.
bool IsAggregateInstance(const Bytes& bytes, uint64_t instance, uint32_t length) {
  static const char kTotal[] = "_Total";
  constexpr uint32_t kChars = sizeof kTotal - 1;
  const uint8_t* definition = bytes.At(instance);
  const uint32_t offset = Get32(definition + L::kInstanceNameOffset);
  const uint32_t name_length = Get32(definition + L::kInstanceNameLength);
  if (name_length < 2 * kChars || offset < L::kInstanceDefinitionSize || offset > length ||
      name_length > length - offset)
    return false;
  const uint8_t* name = definition + offset;
  for (uint32_t i = 0; i < kChars; ++i)
    if (Get16(name + 2 * i) != static_cast<uint8_t>(kTotal[i])) return false;
  return name_length < 2 * kChars + 2 || Get16(name + 2 * kChars) == 0;
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

bool SystemTimeToTicks(const PerfSystemTime& t, int64_t& ticks) {
  static const int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.hour > 23 || t.minute > 59 || t.second > 59 || t.milliseconds > 999)
    return false;
  const int month_days = kDaysInMonth[t.month - 1] + (t.month == 2 && IsLeapYear(t.year) ? 1 : 0);
  if (t.day > month_days) return false;
  const int64_t days = DaysFromCivil(t.year, t.month, t.day) - DaysFromCivil(1601, 1, 1);
  const int64_t ms =
      ((days * 24 + t.hour) * 60 + t.minute) * 60000 + t.second * 1000 + t.milliseconds;
  ticks = ms * 10000;
  return true;
}

void ReadProcessorIdleCounters(const uint8_t* data, size_t size, std::vector<int64_t>& idle,
                               int64_t& time_100ns) {
  idle.clear();
  const Bytes bytes(data, data ? size : 0);
  if (!bytes.Has(0, L::kBlockSize)) NoObject();
  static const uint8_t kSignature[8] = {'P', 0, 'E', 0, 'R', 0, 'F', 0};
  if (std::memcmp(bytes.At(L::kBlockSignature), kSignature, sizeof kSignature) != 0) NoObject();

  // The Processor object: the first object with its title index.  Each
  // object must at least hold its own header, which also guarantees that
  // the walk moves forward and ends at the end of the data.
  const uint32_t num_objects = Get32(bytes.At(L::kBlockNumObjectTypes));
  uint64_t object = Get32(bytes.At(L::kBlockHeaderLength));
  bool found = false;
  for (uint32_t n = 0; n < num_objects; ++n) {
    if (!bytes.Has(object, L::kObjectSize)) break;
    const uint8_t* header = bytes.At(object);
    if (Get32(header + L::kObjectNameTitleIndex) == kProcessorObjectTitleIndex) {
      found = true;
      break;
    }
    const uint32_t length = Get32(header + L::kObjectTotalByteLength);
    if (length < L::kObjectSize) break;
    object += length;
  }
  if (!found) NoObject();
  const uint8_t* header = bytes.At(object);
  const int32_t num_instances = static_cast<int32_t>(Get32(header + L::kObjectNumInstances));
  if (num_instances <= 0) NoObject();

  PerfSystemTime st;
  const uint8_t* stp = bytes.At(L::kBlockSystemTime);
  st.year = Get16(stp);
  st.month = Get16(stp + 2);
  st.day_of_week = Get16(stp + 4);
  st.day = Get16(stp + 6);
  st.hour = Get16(stp + 8);
  st.minute = Get16(stp + 10);
  st.second = Get16(stp + 12);
  st.milliseconds = Get16(stp + 14);
  int64_t ticks = 0;
  if (!SystemTimeToTicks(st, ticks)) NoObject();

  // The processor-time counter definition.
  const uint32_t num_counters = Get32(header + L::kObjectNumCounters);
  uint64_t definition = object + Get32(header + L::kObjectHeaderLength);
  bool counter_found = false;
  uint32_t counter_offset = 0;
  for (uint32_t n = 0; n < num_counters; ++n) {
    if (!bytes.Has(definition, L::kCounterDefinitionSize)) break;
    const uint8_t* def = bytes.At(definition);
    if (Get32(def + L::kCounterNameTitleIndex) == kProcessorTimeCounterTitleIndex) {
      // The index alone does not make it idle time: read as anything else
      // the figures would be plausible-looking nonsense.
      if (Get32(def + L::kCounterType) != kPerf100nsTimerInv ||
          Get32(def + L::kCounterSize) != kProcessorTimeCounterSize)
        NoCounter();
      counter_offset = Get32(def + L::kCounterOffset);
      counter_found = true;
      break;
    }
    const uint32_t length = Get32(def + L::kCounterByteLength);
    if (length < L::kCounterDefinitionSize) break;
    definition += length;
  }
  if (!counter_found) NoCounter();

  // The instances, each an instance definition followed by its counter
  // block; the 64-bit value must lie inside both its block and the data.
  uint64_t instance = object + Get32(header + L::kObjectDefinitionLength);
  size_t aggregate = SIZE_MAX;
  for (int32_t i = 0; i < num_instances; ++i) {
    if (!bytes.Has(instance, L::kInstanceDefinitionSize)) NoCounter();
    const uint32_t instance_length = Get32(bytes.At(instance) + L::kInstanceByteLength);
    if (instance_length < L::kInstanceDefinitionSize) NoCounter();
    const uint64_t block = instance + instance_length;
    if (!bytes.Has(block, L::kCounterBlockSize)) NoCounter();
    const uint32_t block_length = Get32(bytes.At(block) + L::kCounterBlockByteLength);
    if (static_cast<uint64_t>(counter_offset) + 8 > block_length ||
        !bytes.Has(block + counter_offset, 8))
      NoCounter();
    if (aggregate == SIZE_MAX && IsAggregateInstance(bytes, instance, instance_length))
      aggregate = idle.size();
    idle.push_back(Get64(bytes.At(block + counter_offset)));
    instance = block + block_length;
  }
  // The aggregate goes last, the processors keep their order.
  if (aggregate != SIZE_MAX)
    std::rotate(idle.begin() + static_cast<std::ptrdiff_t>(aggregate),
                idle.begin() + static_cast<std::ptrdiff_t>(aggregate) + 1, idle.end());
  time_100ns = ticks;
}

}  // namespace zt
