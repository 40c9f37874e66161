// Walker over the performance data the NT family publishes through
// HKEY_PERFORMANCE_DATA (PERF_DATA_BLOCK, PERF_OBJECT_TYPE,
// PERF_COUNTER_DEFINITION, PERF_INSTANCE_DEFINITION, PERF_COUNTER_BLOCK).
// Portable: fields are read by their byte offsets in the published layout,
// which is the same for 32- and 64-bit programs (the title pointers of the
// object and counter headers are 32-bit fields on 64-bit Windows).  Every
// offset and length found in the data is checked against the bytes actually
// returned before it is followed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zt {

// Title index of the Processor object and of its processor-time counter,
// which counts idle time in 100-ns units.
constexpr uint32_t kProcessorObjectTitleIndex = 238;
constexpr uint32_t kProcessorTimeCounterTitleIndex = 6;
// The only counter type and size under which that counter is idle time in
// 100-ns units (PERF_100NSEC_TIMER_INV, a 64-bit value).
constexpr uint32_t kPerf100nsTimerInv = 0x21510500;
constexpr uint32_t kProcessorTimeCounterSize = 8;

// Byte offsets and sizes of the fields read.
namespace perf_layout {
// PERF_DATA_BLOCK
constexpr size_t kBlockSignature = 0;  // WCHAR[4] "PERF"
constexpr size_t kBlockTotalByteLength = 20;
constexpr size_t kBlockHeaderLength = 24;
constexpr size_t kBlockNumObjectTypes = 28;
constexpr size_t kBlockSystemTime = 36;  // SYSTEMTIME, 8 WORDs
constexpr size_t kBlockPerfTime = 56;
constexpr size_t kBlockPerfFreq = 64;
constexpr size_t kBlockPerfTime100nSec = 72;
constexpr size_t kBlockSize = 88;
// PERF_OBJECT_TYPE
constexpr size_t kObjectTotalByteLength = 0;
constexpr size_t kObjectDefinitionLength = 4;
constexpr size_t kObjectHeaderLength = 8;
constexpr size_t kObjectNameTitleIndex = 12;
constexpr size_t kObjectNumCounters = 32;
constexpr size_t kObjectNumInstances = 40;
constexpr size_t kObjectSize = 64;
// PERF_COUNTER_DEFINITION
constexpr size_t kCounterByteLength = 0;
constexpr size_t kCounterNameTitleIndex = 4;
constexpr size_t kCounterType = 28;
constexpr size_t kCounterSize = 32;
constexpr size_t kCounterOffset = 36;
constexpr size_t kCounterDefinitionSize = 40;
// PERF_INSTANCE_DEFINITION
constexpr size_t kInstanceByteLength = 0;
constexpr size_t kInstanceNameOffset = 16;
constexpr size_t kInstanceNameLength = 20;  // bytes, the terminating zero included
constexpr size_t kInstanceDefinitionSize = 24;
// PERF_COUNTER_BLOCK
constexpr size_t kCounterBlockByteLength = 0;
constexpr size_t kCounterBlockSize = 4;
}  // namespace perf_layout

// The fields of a SYSTEMTIME.
struct PerfSystemTime {
  uint16_t year = 0, month = 0, day_of_week = 0, day = 0;
  uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// 100-ns intervals since 1601-01-01 for a calendar time, exactly as
// SystemTimeToFileTime computes them (day_of_week is ignored).  False for a
// time SystemTimeToFileTime rejects.
bool SystemTimeToTicks(const PerfSystemTime& time, int64_t& ticks);

// Finds the Processor object in `data` (the `size` bytes returned by the
// query) and its processor-time counter, and stores one counter value per
// instance, in instance order, into `idle` (cleared first; its capacity is
// kept, so a steady state allocates nothing) and the block's SystemTime as
// 100-ns intervals into `time_100ns`.  The instance named "_Total", the
// all-processors aggregate, is moved to the end wherever the data put it,
// because the sampler takes the last instance for the aggregate.  A missing,
// truncated or inconsistent object raises EProcessorLoad "Unable to locate
// the \"Processor\" performance object"; a missing counter, one of another
// type or size than a 64-bit 100-ns inverse timer, or an instance that does
// not fit raises "Unable to locate the \"% of CPU usage\" performance
// counter".  Nothing outside data[0, size) is ever read.
void ReadProcessorIdleCounters(const uint8_t* data, size_t size, std::vector<int64_t>& idle,
                               int64_t& time_100ns);

}  // namespace zt
