// The performance-data walker over synthetic buffers: well-formed data,
// several objects and counters, and every way a buffer can be cut short or
// carry offsets that point elsewhere.  Buffers are copied to allocations of
// their exact size so that AddressSanitizer sees any read past the end.
#include "sampling/perf_data.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "perf_data_builder.h"
#include "sampling/processor_load.h"

namespace zt {
namespace {

using testing::Put32;
using testing::ProcessorBuffer;
namespace Lay = perf_layout;

constexpr int64_t kTime = 133604226152500000;  // 2024-05-17 12:30:15.250 UTC

struct Result {
  bool ok = false;
  std::string error;
  std::vector<int64_t> idle;
  int64_t time = 0;
};

// Walks exactly `size` bytes of `b` held in an allocation of that size.
Result Walk(const std::vector<uint8_t>& b, size_t size) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[size ? size : 1]);
  if (size) std::memcpy(exact.get(), b.data(), size);
  Result r;
  try {
    ReadProcessorIdleCounters(size ? exact.get() : nullptr, size, r.idle, r.time);
    r.ok = true;
  } catch (const EProcessorLoad& e) {
    r.error = e.what();
  }
  return r;
}
Result Walk(const std::vector<uint8_t>& b) { return Walk(b, b.size()); }

TEST(PerfDataWalker, ReadsEveryInstanceInOrderAndTheSystemTime) {
  auto b = ProcessorBuffer({111, 222, 333});
  Result r = Walk(b);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.idle, (std::vector<int64_t>{111, 222, 333}));
  EXPECT_EQ(r.time, kTime);
}

TEST(PerfDataWalker, ExtraBytesAfterTheDataAreIgnored) {
  auto b = ProcessorBuffer({1, 2});
  b.resize(b.size() + 4096, 0xCD);
  Result r = Walk(b);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.idle, (std::vector<int64_t>{1, 2}));
}

TEST(PerfDataWalker, SkipsObjectsBeforeTheProcessorObject) {
  testing::PerfBufferBuilder builder;
  testing::PerfObjectSpec process;
  process.title = 230;
  process.counters = {6, 142};
  process.values = {{9, 9}, {8, 8}, {7, 7}, {6, 6}};
  testing::PerfObjectSpec processor;
  processor.values = {{40}, {50}};
  builder.objects = {process, processor};
  Result r = Walk(builder.Build());
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.idle, (std::vector<int64_t>{40, 50}));
}

TEST(PerfDataWalker, FindsTheIdleCounterWhenItIsNotTheFirst) {
  testing::PerfBufferBuilder builder;
  testing::PerfObjectSpec o;
  o.counters = {142, 144, 6, 148};
  o.values = {{1, 2, 1000, 4}, {5, 6, 2000, 8}, {9, 10, 3000, 12}};
  builder.objects = {o};
  Result r = Walk(builder.Build());
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.idle, (std::vector<int64_t>{1000, 2000, 3000}));
}

TEST(PerfDataWalker, ReadsFullSixtyFourBitValues) {
  Result r = Walk(ProcessorBuffer({INT64_MAX, -1, INT64_MIN, 0x0123456789ABCDEFLL}));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.idle, (std::vector<int64_t>{INT64_MAX, -1, INT64_MIN, 0x0123456789ABCDEFLL}));
}

// The sampler takes the last instance for the aggregate; the data may put
// "_Total" anywhere.
TEST(PerfDataWalker, TheAggregateGoesLastWhereverItIsPublished) {
  auto walk = [](std::vector<std::string> names) {
    testing::PerfBufferBuilder builder;
    testing::PerfObjectSpec o;
    o.names = std::move(names);
    for (int64_t v = 1; v <= static_cast<int64_t>(o.names.size()); ++v) o.values.push_back({v});
    builder.objects = {o};
    return Walk(builder.Build());
  };
  using V = std::vector<int64_t>;
  EXPECT_EQ(walk({"_Total", "0", "1", "2"}).idle, (V{2, 3, 4, 1}));
  EXPECT_EQ(walk({"0", "_Total", "1"}).idle, (V{1, 3, 2}));
  EXPECT_EQ(walk({"0", "1", "_Total"}).idle, (V{1, 2, 3}));
  // Only that name: a longer or other one, or a second "_Total", stays put.
  EXPECT_EQ(walk({"_Totals", "0", "_total", "1"}).idle, (V{1, 2, 3, 4}));
  EXPECT_EQ(walk({"_Total", "0", "_Total"}).idle, (V{2, 3, 1}));
  // Unnamed instances (NT 4 has no aggregate) keep their order.
  EXPECT_EQ(walk({"", "", ""}).idle, (V{1, 2, 3}));
}

TEST(PerfDataWalker, ANameOutsideItsInstanceIsNoName) {
  testing::PerfBufferBuilder builder;
  testing::PerfObjectSpec o;
  o.names = {"_Total", "0"};
  o.values = {{1}, {2}};
  builder.objects = {o};
  const auto good = builder.Build();
  const size_t inst0 = builder.layout.first_instance[0];
  const uint32_t cases[][2] = {
      {Lay::kInstanceDefinitionSize + 8, 14},  // runs past the definition
      {0xFFFFFFF0u, 14},                       // offset far outside
      {Lay::kInstanceDefinitionSize, 0xFFFFFFFEu},
      {4, 14},  // inside the definition's fixed fields
  };
  for (const auto& c : cases) {
    auto b = good;
    Put32(b, inst0 + Lay::kInstanceNameOffset, c[0]);
    Put32(b, inst0 + Lay::kInstanceNameLength, c[1]);
    Result r = Walk(b);
    ASSERT_TRUE(r.ok) << c[0] << " " << r.error;
    EXPECT_EQ(r.idle, (std::vector<int64_t>{1, 2})) << c[0];
  }
}

// Read as idle time, any other counter under the same index would give
// figures that look like loads and are not.
TEST(PerfDataWalker, TheIdleCounterMustBeASixtyFourBitHundredNanosecondInverseTimer) {
  testing::PerfBufferBuilder builder;
  testing::PerfObjectSpec o;
  o.counters = {142, 6};
  o.values = {{1, 10}, {2, 20}};
  builder.objects = {o};
  const auto good = builder.Build();
  ASSERT_TRUE(Walk(good).ok);
  const size_t def = builder.layout.first_definition[0] + Lay::kCounterDefinitionSize;
  const struct {
    size_t field;
    uint32_t value;
  } cases[] = {
      {Lay::kCounterType, 0x20510500},  // the timer, not inverse
      {Lay::kCounterType, 0x10410400},  // a plain rate counter
      {Lay::kCounterType, 0},
      {Lay::kCounterSize, 4},
      {Lay::kCounterSize, 16},
  };
  for (const auto& c : cases) {
    auto b = good;
    Put32(b, def + c.field, c.value);
    EXPECT_EQ(Walk(b).error, kMsgNoProcessorCounter) << c.field << " " << c.value;
  }
  // Another counter's type plays no part.
  auto b = good;
  Put32(b, builder.layout.first_definition[0] + Lay::kCounterType, 0);
  EXPECT_TRUE(Walk(b).ok);
}

TEST(PerfDataWalker, MissingObjectOrCounterGiveTheirMessages) {
  // A block without objects, as some systems return.
  testing::PerfBufferBuilder empty;
  EXPECT_EQ(Walk(empty.Build()).error, kMsgNoProcessorObject);

  testing::PerfBufferBuilder other;
  testing::PerfObjectSpec memory;
  memory.title = 4;
  memory.values = {{1}};
  other.objects = {memory};
  EXPECT_EQ(Walk(other.Build()).error, kMsgNoProcessorObject);

  testing::PerfBufferBuilder no_counter;
  testing::PerfObjectSpec o;
  o.counters = {142, 144};
  o.values = {{1, 2}};
  no_counter.objects = {o};
  EXPECT_EQ(Walk(no_counter.Build()).error, kMsgNoProcessorCounter);
}

TEST(PerfDataWalker, LooksOnlyAtTheAnnouncedObjectsAndCounters) {
  testing::PerfBufferBuilder builder;
  testing::PerfObjectSpec first;
  first.title = 230;
  first.values = {{1}};
  testing::PerfObjectSpec processor;
  processor.values = {{2}};
  builder.objects = {first, processor};
  auto b = builder.Build();
  Put32(b, Lay::kBlockNumObjectTypes, 1);
  EXPECT_EQ(Walk(b).error, kMsgNoProcessorObject);

  testing::PerfBufferBuilder counters;
  testing::PerfObjectSpec o;
  o.counters = {142, 6};
  o.values = {{1, 2}};
  counters.objects = {o};
  b = counters.Build();
  Put32(b, counters.layout.objects[0] + Lay::kObjectNumCounters, 1);
  EXPECT_EQ(Walk(b).error, kMsgNoProcessorCounter);
}

TEST(PerfDataWalker, EmptyZeroedAndForeignBuffersAreRejected) {
  EXPECT_EQ(Walk({}, 0).error, kMsgNoProcessorObject);
  EXPECT_EQ(Walk(std::vector<uint8_t>(8192, 0)).error, kMsgNoProcessorObject);
  EXPECT_EQ(Walk(std::vector<uint8_t>(8192, 0xFF)).error, kMsgNoProcessorObject);
  auto b = ProcessorBuffer({1});
  b[0] = 'Q';
  EXPECT_EQ(Walk(b).error, kMsgNoProcessorObject);
}

TEST(PerfDataWalker, EveryTruncationFailsCleanly) {
  testing::PerfBufferBuilder builder;
  testing::PerfObjectSpec process;
  process.title = 230;
  process.values = {{5}, {6}};
  testing::PerfObjectSpec processor;
  processor.counters = {142, 6};
  processor.values = {{1, 10}, {2, 20}, {3, 30}};
  builder.objects = {process, processor};
  auto b = builder.Build();
  ASSERT_TRUE(Walk(b).ok);
  for (size_t size = 0; size < b.size(); ++size) {
    Result r = Walk(b, size);
    ASSERT_FALSE(r.ok) << "size " << size;
    ASSERT_TRUE(r.error == kMsgNoProcessorObject || r.error == kMsgNoProcessorCounter)
        << "size " << size << ": " << r.error;
  }
}

TEST(PerfDataWalker, OffsetsPointingOutsideTheDataAreRejected) {
  testing::PerfBufferBuilder builder;
  testing::PerfObjectSpec o;
  o.counters = {142, 6};
  o.values = {{1, 10}, {2, 20}};
  builder.objects = {o};
  const auto good = builder.Build();
  const auto& lay = builder.layout;
  const size_t object = lay.objects[0];
  const size_t inst0 = lay.first_instance[0];
  const size_t block0 = inst0 + testing::Get32(good, inst0);
  const size_t def1 = lay.first_definition[0] + Lay::kCounterDefinitionSize;

  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
    const char* error;
  };
  const Case cases[] = {
      {"block header length", Lay::kBlockHeaderLength, 0xFFFFFFF0u, kMsgNoProcessorObject},
      {"block header length near end", Lay::kBlockHeaderLength,
       static_cast<uint32_t>(good.size() - 8), kMsgNoProcessorObject},
      {"instance count zero", object + Lay::kObjectNumInstances, 0, kMsgNoProcessorObject},
      {"instance count negative", object + Lay::kObjectNumInstances, 0xFFFFFFFFu,
       kMsgNoProcessorObject},
      {"instance count too large", object + Lay::kObjectNumInstances, 0x7FFFFFFFu,
       kMsgNoProcessorCounter},
      {"object header length", object + Lay::kObjectHeaderLength, 0xFFFFFF00u,
       kMsgNoProcessorCounter},
      {"definition length", object + Lay::kObjectDefinitionLength, 0xFFFFFFFFu,
       kMsgNoProcessorCounter},
      {"counter definitions zero length", lay.first_definition[0] + Lay::kCounterByteLength, 0,
       kMsgNoProcessorCounter},
      {"counter definition length huge", lay.first_definition[0] + Lay::kCounterByteLength,
       0xFFFFFFF8u, kMsgNoProcessorCounter},
      {"counter offset beyond block", def1 + Lay::kCounterOffset, 24, kMsgNoProcessorCounter},
      {"counter offset huge", def1 + Lay::kCounterOffset, 0xFFFFFFFCu, kMsgNoProcessorCounter},
      {"instance length huge", inst0 + Lay::kInstanceByteLength, 0xFFFFFFF0u,
       kMsgNoProcessorCounter},
      {"instance length zero", inst0 + Lay::kInstanceByteLength, 0, kMsgNoProcessorCounter},
      {"counter block zero length", block0, 0, kMsgNoProcessorCounter},
      {"counter block too long", block0, 0x10000u, kMsgNoProcessorCounter},
  };
  for (const Case& c : cases) {
    auto b = good;
    Put32(b, c.at, c.value);
    Result r = Walk(b);
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_EQ(r.error, c.error) << c.what;
  }
  // Past its own block, not past the data: what follows the last instance
  // is no part of its counters either.
  auto padded = good;
  Put32(padded, def1 + Lay::kCounterOffset, 24);
  padded.resize(padded.size() + 64, 0xCD);
  EXPECT_EQ(Walk(padded).error, kMsgNoProcessorCounter);

  // Objects that do not move the walk forward must not loop for ever.
  auto b = good;
  Put32(b, object + Lay::kObjectNameTitleIndex, 230);
  Put32(b, object + Lay::kObjectTotalByteLength, 0);
  Put32(b, Lay::kBlockNumObjectTypes, 0xFFFFFFFFu);
  EXPECT_EQ(Walk(b).error, kMsgNoProcessorObject);
  b = good;
  Put32(b, object + Lay::kObjectNameTitleIndex, 230);
  Put32(b, object + Lay::kObjectTotalByteLength, 0xFFFFFFFFu);
  Put32(b, Lay::kBlockNumObjectTypes, 2);
  EXPECT_EQ(Walk(b).error, kMsgNoProcessorObject);
}

TEST(PerfDataWalker, InvalidSystemTimeIsRejected) {
  auto b = ProcessorBuffer({1}, {2024, 13, 0, 1, 0, 0, 0, 0});
  EXPECT_EQ(Walk(b).error, kMsgNoProcessorObject);
  b = ProcessorBuffer({1}, {2023, 2, 0, 29, 0, 0, 0, 0});
  EXPECT_EQ(Walk(b).error, kMsgNoProcessorObject);
}

TEST(PerfDataWalker, ReusesTheCallersVector) {
  auto b = ProcessorBuffer({1, 2, 3, 4});
  std::vector<int64_t> idle;
  idle.reserve(16);
  const int64_t* storage = idle.data();
  int64_t t = 0;
  for (int i = 0; i < 3; ++i) ReadProcessorIdleCounters(b.data(), b.size(), idle, t);
  EXPECT_EQ(idle.data(), storage);
  EXPECT_EQ(idle.size(), 4u);
}

// Random damage to a valid buffer: every outcome is either a reading or one
// of the two errors, and (under ASan) nothing is read outside the buffer.
TEST(PerfDataWalker, RandomlyDamagedBuffersNeverReadOutside) {
  testing::PerfBufferBuilder builder;
  testing::PerfObjectSpec process;
  process.title = 230;
  process.counters = {6, 142};
  process.values = {{5, 5}, {6, 6}};
  testing::PerfObjectSpec processor;
  processor.counters = {142, 6, 144};
  processor.values = {{1, 10, 0}, {2, 20, 0}, {3, 30, 0}};
  builder.objects = {process, processor};
  const auto good = builder.Build();
  std::mt19937 rng(20240517);
  int ok = 0;
  for (int iteration = 0; iteration < 20000; ++iteration) {
    auto b = good;
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
      const size_t at = rng() % (b.size() - 3);
      switch (rng() % 4) {
        case 0: b[at] = static_cast<uint8_t>(rng()); break;
        case 1: Put32(b, at & ~size_t{3}, static_cast<uint32_t>(rng())); break;
        case 2: Put32(b, at & ~size_t{3}, static_cast<uint32_t>(rng() % 256)); break;
        default: Put32(b, at & ~size_t{3}, 0xFFFFFFFFu - static_cast<uint32_t>(rng() % 64)); break;
      }
    }
    const size_t size = rng() % 8 == 0 ? rng() % (b.size() + 1) : b.size();
    Result r = Walk(b, size);
    if (r.ok) {
      ++ok;
      ASSERT_GE(r.idle.size(), 1u);
      ASSERT_LE(r.idle.size(), size / 36);
    } else {
      ASSERT_TRUE(r.error == kMsgNoProcessorObject || r.error == kMsgNoProcessorCounter)
          << r.error;
    }
  }
  EXPECT_GT(ok, 0);
}

TEST(SystemTimeToTicks, MatchesTheFileTimeArithmetic) {
  int64_t t = -1;
  ASSERT_TRUE(SystemTimeToTicks({1601, 1, 1, 1, 0, 0, 0, 0}, t));
  EXPECT_EQ(t, 0);
  ASSERT_TRUE(SystemTimeToTicks({2024, 5, 5, 17, 12, 30, 15, 250}, t));
  EXPECT_EQ(t, kTime);
  ASSERT_TRUE(SystemTimeToTicks({2000, 2, 2, 29, 23, 59, 59, 999}, t));
  EXPECT_EQ(t, 125963423999990000);
  ASSERT_TRUE(SystemTimeToTicks({1970, 1, 4, 1, 0, 0, 0, 0}, t));
  EXPECT_EQ(t, 116444736000000000);
  // The day of the week plays no part.
  int64_t u = 0;
  ASSERT_TRUE(SystemTimeToTicks({1970, 1, 0, 1, 0, 0, 0, 0}, u));
  EXPECT_EQ(u, t);
  EXPECT_TRUE(SystemTimeToTicks({30827, 12, 0, 31, 23, 59, 59, 999}, t));
}

TEST(SystemTimeToTicks, RejectsWhatSystemTimeToFileTimeRejects) {
  int64_t t = 0;
  const PerfSystemTime bad[] = {
      {1600, 12, 0, 31, 0, 0, 0, 0}, {30828, 1, 0, 1, 0, 0, 0, 0}, {2024, 0, 0, 1, 0, 0, 0, 0},
      {2024, 13, 0, 1, 0, 0, 0, 0},  {2024, 4, 0, 31, 0, 0, 0, 0}, {1900, 2, 0, 29, 0, 0, 0, 0},
      {2024, 1, 0, 0, 0, 0, 0, 0},   {2024, 1, 0, 1, 24, 0, 0, 0}, {2024, 1, 0, 1, 0, 60, 0, 0},
      {2024, 1, 0, 1, 0, 0, 60, 0},  {2024, 1, 0, 1, 0, 0, 0, 1000},
  };
  for (const auto& st : bad)
    EXPECT_FALSE(SystemTimeToTicks(st, t)) << st.year << "-" << st.month << "-" << st.day;
  EXPECT_TRUE(SystemTimeToTicks({2024, 2, 0, 29, 0, 0, 0, 0}, t));
}

}  // namespace
}  // namespace zt
