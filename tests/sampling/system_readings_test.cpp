// Disk, network and graphics from scripted system answers: the network sum
// over the adapters that count, the disk's active time, the graphics load as
// Task Manager reckons it, and absent readings that stay absent.
#include "sampling/system_readings.h"

#include <gtest/gtest.h>

#include <deque>

namespace zt {
namespace {

NetworkInterface Adapter(uint64_t id, uint64_t received, uint64_t sent) {
  NetworkInterface i;
  i.id = id, i.type = 6, i.up = true, i.hardware = true, i.received = received, i.sent = sent;
  return i;
}

TEST(NetworkRates, SumsTheAdaptersAndLeavesOutCopiesLoopbackAndCountersThatJump) {
  NetworkRates rates;
  double in = -1, out = -1;
  auto next = [&](uint64_t tick, std::vector<NetworkInterface> now) { return rates.Next(tick, now, &in, &out); };
  auto with = [](NetworkInterface i, auto change) { change(i); return i; };
  // The filter's copy of adapter 1, loopback, a tunnel, a software adapter
  // and one that is down all move too: none of them counts.
  auto reading = [&](uint64_t k, uint64_t second_adapter) {
    return std::vector<NetworkInterface>{
        Adapter(1, 1000 * k, 100 * k),
        with(Adapter(11, 1000 * k, 100 * k), [](auto& i) { i.filter = true; }),
        with(Adapter(12, 7000 * k, 7000 * k), [](auto& i) { i.type = 24; }),
        with(Adapter(13, 7000 * k, 7000 * k), [](auto& i) { i.type = 131; }),
        with(Adapter(14, 7000 * k, 7000 * k), [](auto& i) { i.hardware = false; }),
        with(Adapter(15, 7000 * k, 7000 * k), [](auto& i) { i.up = false; }),
        Adapter(2, second_adapter, second_adapter)};
  };
  EXPECT_FALSE(next(1000, reading(1, 500)));  // the base
  ASSERT_TRUE(next(3000, reading(3, 4500)));  // two seconds
  EXPECT_DOUBLE_EQ(in, (2000 + 4000) / 2.0);
  EXPECT_DOUBLE_EQ(out, (200 + 4000) / 2.0);
  // Adapter 2's counter went back (a reset): left out, not a huge spike.
  ASSERT_TRUE(next(4000, reading(4, 10)));
  EXPECT_DOUBLE_EQ(in, 1000);
  // Adapter 2 gone and a new one come: neither counts this interval.
  std::vector<NetworkInterface> now = {Adapter(1, 5000, 500), Adapter(3, 1u << 30, 1u << 30)};
  ASSERT_TRUE(rates.Next(5000, now, &in, &out));
  EXPECT_DOUBLE_EQ(in, 1000);
  EXPECT_DOUBLE_EQ(out, 100);
  // Nothing that counts in both readings: no figure rather than 0.
  EXPECT_FALSE(next(6000, {Adapter(4, 1, 1)}));
}

CounterInstance Engine(uint32_t pid, const char* luid, int eng, const char* type, double value) {
  return {"pid_" + std::to_string(pid) + "_luid_" + luid + "_phys_0_eng_" + std::to_string(eng) + "_engtype_" + type,
          value};
}

TEST(GraphicsLoad, GroupsByAdapterAndEngineTypeAndNamesTheBusiestProcess) {
  const char* igpu = "0x00000000_0x0000C3F1";
  const char* dgpu = "0x00000000_0x0001A2B4";
  // Adapter one: two copy engines of one type, 30 + 25 = 55, beat its 3D
  // engine's 40 + 10; adapter two's 3D, shared by two processes, 35 + 30,
  // is the largest group of all.  Process 7's largest group is 40.
  const std::vector<CounterInstance> engines = {
      Engine(7, igpu, 0, "3D", 40),       Engine(8, igpu, 0, "3D", 10),     Engine(8, igpu, 1, "Copy", 30),
      Engine(9, igpu, 2, "Copy", 25),     Engine(9, dgpu, 0, "3D", 35),     Engine(8, dgpu, 0, "3D", 30),
      Engine(0, dgpu, 4, "Compute_0", 5), {"not an engine", 90},            {"pid_x_luid_1_phys_0_engtype_3D", 90}};
  const GraphicsLoad load = GraphicsLoadOf(engines);
  EXPECT_DOUBLE_EQ(load.load, 65);
  EXPECT_EQ(load.busiest, 7u);
  EXPECT_DOUBLE_EQ(load.busiest_load, 40);

  // Rounding in the counters may pass 100 %; nothing at all is absent.
  EXPECT_DOUBLE_EQ(GraphicsLoadOf({Engine(5, igpu, 0, "3D", 60), Engine(6, igpu, 1, "3D", 45)}).load, 100);
  EXPECT_TRUE(std::isnan(GraphicsLoadOf({}).load));
  EXPECT_EQ(GraphicsLoadOf({Engine(0, igpu, 0, "3D", 20)}).busiest, 0u);

  EngineInstance parsed;
  EXPECT_FALSE(ParseEngineInstance("pid_99999999999_luid_0x0_0x1_phys_0_eng_0_engtype_3D", &parsed));
}

class ScriptedSystem : public INetworkInterfaces, public ISystemCounters {
 public:
  bool Read(std::vector<NetworkInterface>& out) override {
    ++network_reads;
    out = {Adapter(1, 1000 * network_reads, 0)};
    return network_reads != 3;
  }
  void Read(CounterReading& out) override {
    out = counters.empty() ? CounterReading() : counters.front();
    if (!counters.empty()) counters.pop_front();
  }
  int network_reads = 0;
  std::deque<CounterReading> counters;
};

TEST(SystemReadings, ReadOnceASecondAndWhatIsMissingIsAbsentNeverZero) {
  ScriptedSystem system;
  ScopedOverride<INetworkInterfaces> use_network(system);
  ScopedOverride<ISystemCounters> use_counters(system);
  CounterReading full;
  full.disk = true, full.disk_read = 4096, full.disk_write = 1024, full.disk_idle = 104.5;
  full.engines = true, full.engine_use = {Engine(7, "0x0_0x1", 0, "3D", 12.5)};
  full.adapter_memory = true, full.dedicated = {{"luid_0x0_0x1_phys_0", 3e8}, {"luid_0x0_0x2_phys_0", 1e8}};
  system.counters = {CounterReading(), full};

  SystemReadings readings;
  ASSERT_TRUE(readings.Sample(10000));
  // The first reading: no network base yet, no counters on this system.
  for (double figure : {readings.figures().net_received, readings.figures().disk_read,
                        readings.figures().disk_active, readings.figures().gpu_load, readings.figures().gpu_memory})
    EXPECT_TRUE(std::isnan(figure));
  EXPECT_FALSE(readings.Sample(10100));  // Rate=100: still the same second
  EXPECT_FALSE(readings.Sample(10999));
  ASSERT_TRUE(readings.Sample(11000));
  const SystemFigures& f = readings.figures();
  EXPECT_DOUBLE_EQ(f.net_received, 1000);
  EXPECT_DOUBLE_EQ(f.net_sent, 0);  // a real 0 is shown as 0
  EXPECT_DOUBLE_EQ(f.disk_read, 4096);
  EXPECT_DOUBLE_EQ(f.disk_active, 0);  // idle above 100 %: not busy, not below 0
  EXPECT_DOUBLE_EQ(f.gpu_load, 12.5);
  EXPECT_EQ(f.gpu_busiest, 7u);
  EXPECT_DOUBLE_EQ(f.gpu_memory, 4e8);
  // A failed network reading is absent for its interval; the next one
  // measures over both seconds.
  ASSERT_TRUE(readings.Sample(12000));
  EXPECT_TRUE(std::isnan(readings.figures().net_received));
  EXPECT_TRUE(std::isnan(readings.figures().disk_active));
  ASSERT_TRUE(readings.Sample(13000));
  EXPECT_DOUBLE_EQ(readings.figures().net_received, 1000);
}

}  // namespace
}  // namespace zt
