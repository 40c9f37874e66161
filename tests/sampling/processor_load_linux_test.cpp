// The /proc/stat idle-time source: parsing, processors going offline, and a
// live comparison with the load the kernel's own tick counts give.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "sampling/processor_load_linux.h"

namespace zt {
namespace {

int64_t Ticks(uint64_t clock_ticks) {
  return static_cast<int64_t>(clock_ticks * 10000000u / static_cast<uint64_t>(sysconf(_SC_CLK_TCK)));
}

std::vector<int64_t> Parse(ProcStatIdleSource& source, const std::string& text) {
  std::vector<int64_t> idle;
  source.Parse(text.data(), text.size(), idle);
  return idle;
}

TEST(ProcStat, ProcessorsInOrderThenTheAggregateAsTheirMean) {
  ProcStatIdleSource source("/nonexistent");
  const std::string text =
      "cpu  100 0 50 1000 200 0 3 0 0 0\n"
      "cpu0 50 0 25 400 100 0 1 0 0 0\n"
      "cpu1 50 0 25 600 100 0 2 0 0 0\n"
      "intr 12345 0 1 2\n"
      "ctxt 99\n";
  auto idle = Parse(source, text);
  ASSERT_EQ(idle.size(), 3u);
  EXPECT_EQ(idle[0], Ticks(500));  // idle + iowait
  EXPECT_EQ(idle[1], Ticks(700));
  EXPECT_EQ(idle[2], Ticks(1200) / 2);
}

TEST(ProcStat, OlderKernelsWithoutIowaitAndTextWithoutFinalNewline) {
  ProcStatIdleSource source("/nonexistent");
  auto idle = Parse(source, "cpu 1 2 3 400\ncpu0 1 2 3 400");
  EXPECT_EQ(idle, (std::vector<int64_t>{Ticks(400), Ticks(400)}));
}

TEST(ProcStat, ProcessorsKeepTheirSlotsWhenOthersGoOffline) {
  ProcStatIdleSource source("/nonexistent");
  Parse(source,
        "cpu 0 0 0 30 0\ncpu0 0 0 0 10 0\ncpu2 0 0 0 10 0\ncpu3 0 0 0 10 0\nintr 0\n");
  auto idle = Parse(source, "cpu 0 0 0 40 0\ncpu0 0 0 0 20 0\ncpu3 0 0 0 20 0\ncpu7 0 0 0 5 0\n");
  ASSERT_EQ(idle.size(), 4u);
  EXPECT_EQ(idle[0], Ticks(20));
  EXPECT_EQ(idle[1], kIdleTimeMissing);
  EXPECT_EQ(idle[2], Ticks(20));
  EXPECT_EQ(idle[3], Ticks(40) / 3);  // over the three processors listed now
  idle = Parse(source, "cpu 0 0 0 90 0\ncpu3 0 0 0 30 0\ncpu2 0 0 0 30 0\ncpu0 0 0 0 30 0\n");
  EXPECT_EQ(idle, (std::vector<int64_t>{Ticks(30), Ticks(30), Ticks(30), Ticks(30)}));
}

TEST(ProcStat, TextWithoutProcessorsIsAnError) {
  ProcStatIdleSource source("/nonexistent");
  std::vector<int64_t> idle;
  for (const std::string text : {"", "intr 1 2 3\n", "cpu 1 2 3 4 5\nintr 1\n",
                                 "cpu0 1 2 3 4 5\n", "cpu x\ncpu0 1 2\n"}) {
    EXPECT_THROW(source.Parse(text.data(), text.size(), idle), EProcessorLoad) << text;
    EXPECT_TRUE(idle.empty());
  }
  // A failed first reading fixes nothing: a later one sets the processors.
  EXPECT_EQ(Parse(source, "cpu 0 0 0 8\ncpu5 0 0 0 8\n").size(), 2u);
}

TEST(ProcStat, AnAbsurdProcessorNumberDoesNotOverflow) {
  ProcStatIdleSource source("/nonexistent");
  const auto idle = Parse(source, "cpu 0 0 0 16\ncpu0 0 0 0 8\ncpu999999999999999999999999 0 0 0 8\n");
  EXPECT_EQ(idle, (std::vector<int64_t>{Ticks(8), Ticks(8), Ticks(8)}));
}

TEST(ProcStat, MissingFileIsAnError) {
  ProcStatIdleSource source("/nonexistent/stat");
  std::vector<int64_t> idle;
  int64_t t = 0;
  try {
    source.ReadIdleTimes(idle, t);
    FAIL();
  } catch (const EProcessorLoad& e) {
    EXPECT_STREQ(e.what(), kMsgNoProcessorObject);
  }
}

TEST(ProcStat, LongFilesAreReadWhole) {
  char path[] = "/tmp/zt_procstat_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  {
    std::ofstream out(path);
    out << "cpu 0 0 0 3000 0\n";
    for (int i = 0; i < 3000; ++i) out << "cpu" << i << " 1 2 3 " << i << " 0 0 0 0 0 0\n";
    out << "intr";
    for (int i = 0; i < 20000; ++i) out << " 0";
    out << "\n";
  }
  ProcStatIdleSource source(path);
  std::vector<int64_t> idle;
  int64_t t = 0;
  source.ReadIdleTimes(idle, t);
  ASSERT_EQ(idle.size(), 3001u);
  EXPECT_EQ(idle[2999], Ticks(2999));
  source.ReadIdleTimes(idle, t);  // the grown buffer is kept
  EXPECT_EQ(idle.size(), 3001u);
  std::remove(path);
}

// The kernel's own figure for each line: busy ticks over all ticks.
struct TickLine {
  uint64_t idle = 0, total = 0;
};
std::vector<TickLine> ReadTickLines() {
  std::ifstream in("/proc/stat");
  std::vector<TickLine> cpus;
  TickLine aggregate;
  std::string line;
  while (std::getline(in, line) && line.compare(0, 3, "cpu") == 0) {
    std::istringstream fields(line);
    std::string name;
    fields >> name;
    uint64_t v[8] = {};
    for (auto& x : v) fields >> x;
    TickLine t;
    t.idle = v[3] + v[4];
    for (auto x : v) t.total += x;
    if (name == "cpu")
      aggregate = t;
    else
      cpus.push_back(t);
  }
  cpus.push_back(aggregate);
  return cpus;
}

TEST(ProcStatLive, LoadsAgreeWithTheKernelsTickCountsWithinTwoPoints) {
  IdleTimeProcessorLoad load(std::make_unique<ProcStatIdleSource>());
  std::atomic<bool> stop{false};
  std::thread busy([&] {
    while (!stop) {
    }
  });
  struct StopBusy {
    std::atomic<bool>& stop;
    std::thread& busy;
    ~StopBusy() {
      stop = true;
      busy.join();
    }
  } stop_busy{stop, busy};
  // Our reading and the test's own read of /proc/stat are a moment apart; on
  // a machine busy with other work that moment can stretch over a few clock
  // ticks, so a run that disagrees is tried again before it counts.
  std::string worst;
  bool agreed = false;
  for (int attempt = 0; attempt < 3 && !agreed; ++attempt) {
    load.RefreshProcessorCounters();
    auto before = ReadTickLines();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    load.RefreshProcessorCounters();
    auto after = ReadTickLines();

    const int32_t count = load.GetProcessorCount();
    ASSERT_GE(count, 2);
    ASSERT_EQ(before.size(), static_cast<size_t>(count));
    ASSERT_EQ(after.size(), static_cast<size_t>(count));
    agreed = true;
    worst.clear();
    for (int32_t i = 0; i < count; ++i) {
      const auto& b = before[static_cast<size_t>(i)];
      const auto& a = after[static_cast<size_t>(i)];
      ASSERT_GT(a.total, b.total);
      const double kernel = 1.0 - static_cast<double>(a.idle - b.idle) / (a.total - b.total);
      const double ours = load.GetProcessorLoad(i);
      if (std::abs(ours - kernel) > 0.02) {
        agreed = false;
        worst += "instance " + std::to_string(i) + ": " + std::to_string(ours) + " against " +
                 std::to_string(kernel) + "\n";
      }
    }
    // The busy thread alone keeps the machine at least one processor's share busy.
    EXPECT_GT(load.GetProcessorLoad(count - 1), 1.0 / (count - 1) - 0.05);
  }
  EXPECT_TRUE(agreed) << worst;
}

}  // namespace
}  // namespace zt
