// The Windows layer: the walker's layout against the system headers, the
// time conversion against SystemTimeToFileTime, and live readings.
#include <windows.h>
#include <winperf.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <random>
#include <string>
#include <thread>

#include "sampling/perf_data.h"
#include "sampling/processor_load_win.h"
#include "util/platform.h"

namespace zt {
namespace {

namespace Lay = perf_layout;

static_assert(offsetof(PERF_DATA_BLOCK, TotalByteLength) == Lay::kBlockTotalByteLength);
static_assert(offsetof(PERF_DATA_BLOCK, HeaderLength) == Lay::kBlockHeaderLength);
static_assert(offsetof(PERF_DATA_BLOCK, NumObjectTypes) == Lay::kBlockNumObjectTypes);
static_assert(offsetof(PERF_DATA_BLOCK, SystemTime) == Lay::kBlockSystemTime);
static_assert(offsetof(PERF_DATA_BLOCK, PerfTime) == Lay::kBlockPerfTime);
static_assert(offsetof(PERF_DATA_BLOCK, PerfFreq) == Lay::kBlockPerfFreq);
static_assert(offsetof(PERF_DATA_BLOCK, PerfTime100nSec) == Lay::kBlockPerfTime100nSec);
static_assert(sizeof(PERF_DATA_BLOCK) == Lay::kBlockSize);
static_assert(offsetof(PERF_OBJECT_TYPE, TotalByteLength) == Lay::kObjectTotalByteLength);
static_assert(offsetof(PERF_OBJECT_TYPE, DefinitionLength) == Lay::kObjectDefinitionLength);
static_assert(offsetof(PERF_OBJECT_TYPE, HeaderLength) == Lay::kObjectHeaderLength);
static_assert(offsetof(PERF_OBJECT_TYPE, ObjectNameTitleIndex) == Lay::kObjectNameTitleIndex);
static_assert(offsetof(PERF_OBJECT_TYPE, NumCounters) == Lay::kObjectNumCounters);
static_assert(offsetof(PERF_OBJECT_TYPE, NumInstances) == Lay::kObjectNumInstances);
static_assert(sizeof(PERF_OBJECT_TYPE) == Lay::kObjectSize);
static_assert(offsetof(PERF_COUNTER_DEFINITION, ByteLength) == Lay::kCounterByteLength);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterNameTitleIndex) ==
              Lay::kCounterNameTitleIndex);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterSize) == Lay::kCounterSize);
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterOffset) == Lay::kCounterOffset);
static_assert(sizeof(PERF_COUNTER_DEFINITION) == Lay::kCounterDefinitionSize);
static_assert(offsetof(PERF_INSTANCE_DEFINITION, ByteLength) == Lay::kInstanceByteLength);
static_assert(sizeof(PERF_INSTANCE_DEFINITION) == Lay::kInstanceDefinitionSize);
static_assert(sizeof(PERF_COUNTER_BLOCK) == Lay::kCounterBlockSize);
static_assert(sizeof(NtProcessorIdleSource::ProcessorTimes) == 48);

std::string DateText(const SYSTEMTIME& st) {
  return std::to_string(st.wYear) + "-" + std::to_string(st.wMonth) + "-" +
         std::to_string(st.wDay) + " " + std::to_string(st.wHour) + ":" +
         std::to_string(st.wMinute) + ":" + std::to_string(st.wSecond) + "." +
         std::to_string(st.wMilliseconds);
}

TEST(WinPerfTime, ConversionMatchesSystemTimeToFileTime) {
  std::mt19937 rng(42);
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  int compared = 0;
  for (int i = 0; i < 20000; ++i) {
    SYSTEMTIME st{};
    // Mostly valid dates, with some out-of-range fields mixed in.
    st.wYear = static_cast<WORD>(rng() % 8 == 0 ? rng() % 40000 : 1590 + rng() % 600);
    st.wMonth = static_cast<WORD>(rng() % 14);
    st.wDay = static_cast<WORD>(rng() % 33);
    st.wDayOfWeek = static_cast<WORD>(rng() % 7);
    st.wHour = static_cast<WORD>(rng() % 25);
    st.wMinute = static_cast<WORD>(rng() % 61);
    st.wSecond = static_cast<WORD>(rng() % 61);
    st.wMilliseconds = static_cast<WORD>(rng() % 1001);
    FILETIME ft{};
    const bool system_ok = SystemTimeToFileTime(&st, &ft) != FALSE;
    const PerfSystemTime ours_in{st.wYear, st.wMonth, st.wDayOfWeek, st.wDay,
                                 st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
    int64_t ticks = 0;
    const bool ours_ok = SystemTimeToTicks(ours_in, ticks);
    // Wine converts some times Windows rejects (29 February of any year,
    // years after 30827); everything accepted here must still match.
    if (wine) {
      ASSERT_TRUE(!ours_ok || system_ok) << DateText(st);
    } else {
      ASSERT_EQ(ours_ok, system_ok) << DateText(st);
    }
    if (ours_ok) {
      const int64_t expected =
          static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
      ASSERT_EQ(ticks, expected);
      ++compared;
    }
  }
  EXPECT_GT(compared, 1000);
}

// The query answers with a performance-data block, in a buffer that grew in
// 4096-byte steps from 8192 bytes and is kept for the next queries.  (Wine's
// block lacks the Processor object; the walk is tested on built blocks.)
TEST(WinProcessorLoad, PerformanceDataQueryKeepsItsBuffer) {
  PerfDataIdleSource perf;
  const size_t returned = perf.Query();
  ASSERT_GE(returned, sizeof(PERF_DATA_BLOCK)) << "the performance-data query failed";
  const size_t size = perf.buffer_size();
  EXPECT_GE(size, 8192u);
  EXPECT_LE(returned, size);
  EXPECT_EQ((size - 8192) % 4096, 0u);
  for (int i = 0; i < 3; ++i) EXPECT_GE(perf.Query(), sizeof(PERF_DATA_BLOCK));
  EXPECT_EQ(perf.buffer_size(), size);
}

TEST(WinProcessorLoad, SystemProcessorTimesGiveProcessorsAndAggregate) {
  NtProcessorIdleSource nt;
  std::vector<int64_t> idle;
  int64_t t = 0;
  nt.ReadIdleTimes(idle, t);
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  ASSERT_EQ(idle.size(), info.dwNumberOfProcessors + (IsWindows2000OrLater() ? 1u : 0u));
  int64_t total = 0;
  for (size_t i = 0; i + 1 < idle.size(); ++i) total += idle[i];
  EXPECT_EQ(idle.back(), total / static_cast<int64_t>(idle.size() - 1));
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const int64_t now_ticks =
      static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
  EXPECT_LE(t, now_ticks);
  EXPECT_GT(t, now_ticks - 10 * 10000000LL);
}

TEST(WinProcessorLoad, LiveReadingsGiveLoadsBetweenZeroAndOne) {
  auto load = CreatePlatformProcessorLoad();
  const int32_t count = load->GetProcessorCount();
  ASSERT_GE(count, 1);
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  EXPECT_EQ(count, static_cast<int32_t>(info.dwNumberOfProcessors) + (IsWindows2000OrLater() ? 1 : 0));
  std::atomic<bool> stop{false};
  std::thread busy([&] {
    while (!stop) {
    }
  });
  Sleep(700);
  load->RefreshProcessorCounters();
  stop = true;
  busy.join();
  for (int32_t i = 0; i < count; ++i) {
    const double f = load->GetProcessorLoad(i);
    EXPECT_GE(f, -0.05) << i;
    EXPECT_LE(f, 1.05) << i;
  }
  // A busy thread keeps at least one processor's share of the machine busy.
  const int32_t cpus = count > 1 ? count - 1 : 1;
  EXPECT_GT(load->GetProcessorLoad(count - 1), 1.0 / cpus - 0.1);
  EXPECT_EQ(load->Coverage().measured, cpus);
  EXPECT_EQ(load->Coverage().machine, cpus) << "the system's own count";
  EXPECT_THROW(load->GetProcessorLoad(count), EProcessorLoad);
  load->ReleaseProcessorCounters();
}

TEST(WinPlatform, VersionAndClocks) {
  EXPECT_TRUE(IsWindows2000OrLater());
  const uint32_t a = GetTickCountMs();
  Sleep(50);
  const uint32_t b = GetTickCountMs();
  EXPECT_GE(b - a, 30u);
  EXPECT_LT(b - a, 2000u);
}

}  // namespace
}  // namespace zt
