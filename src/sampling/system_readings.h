// Disk, network and graphics: what the machine's disks and network moved and
// how busy its disks and graphics were, beside the processor and the memory.
// Portable; the system's figures come through two seams:
//  - Seam<INetworkInterfaces>: every network interface with its octet
//    counters (Windows: GetIfTable2; Linux: /proc/net/dev);
//  - Seam<ISystemCounters>: the performance counters, all collected at once
//    (Windows: "PhysicalDisk", "GPU Engine" and "GPU Adapter Memory" through
//    the performance-data helper, by their English names; Linux: none).
// A figure the system does not give (no such counters, no graphics adapter,
// a failed reading) is absent, a NaN, never 0.
//
//   SystemReadings readings;               // on the thread that samples
//   if (readings.Sample(tick_ms)) Show(readings.figures());
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/seam.h"

namespace zt {

constexpr double kAbsent = NAN;

// --- Network

// One interface as the system lists it.
struct NetworkInterface {
  uint64_t id = 0;       // the interface's LUID
  uint32_t type = 0;     // IANA interface type: 24 loopback, 131 tunnel, 6 Ethernet, 71 wireless...
  bool up = false;       // operational status "up"
  bool hardware = false; // a network adapter of the machine, not a software interface
  bool filter = false;   // a filter driver's copy of an adapter (its traffic again)
  uint64_t received = 0, sent = 0;  // octets so far
};

class INetworkInterfaces {
 public:
  virtual ~INetworkInterfaces() = default;
  // Every interface; false when the list cannot be read.
  virtual bool Read(std::vector<NetworkInterface>& out) = 0;
};
template <>
INetworkInterfaces& Seam<INetworkInterfaces>::Real();

// Whether an interface's traffic is the machine's: up, a hardware adapter,
// not loopback, not a tunnel, not a filter's copy.
bool CountsAsTraffic(const NetworkInterface& adapter);

// Bytes a second between two readings of the list, summed over the
// interfaces that count.  An interface only in one of the two readings, or
// whose counter went back (a reset, a wrap, a new adapter under an old id),
// is left out of that interval rather than giving a spike.
class NetworkRates {
 public:
  // The first reading only sets the base; later ones answer true with the
  // rates when at least one counted interface is in both readings.  `now`
  // is taken over.
  bool Next(uint64_t tick_ms, std::vector<NetworkInterface>& now, double* received, double* sent);
  void Reset() { have_base_ = false; }

 private:
  std::vector<NetworkInterface> previous_;  // sorted by id
  uint64_t previous_tick_ = 0;
  bool have_base_ = false;
};

// --- Performance counters

// One instance of a counter read for every instance ("GPU Engine(*)").
struct CounterInstance {
  std::string name;  // UTF-8
  double value = 0;
};

// One collection of the counters.  A set the system lacks, or one whose
// values were not valid this time, is marked absent.
struct CounterReading {
  bool disk = false;
  double disk_read = 0, disk_write = 0;  // bytes a second, all physical disks
  double disk_idle = 0;                   // per cent ("% Idle Time", may pass 100)
  bool engines = false;
  std::vector<CounterInstance> engine_use;   // "GPU Engine(*)\Utilization Percentage"
  bool adapter_memory = false;
  std::vector<CounterInstance> dedicated;    // "GPU Adapter Memory(*)\Dedicated Usage", bytes
};

class ISystemCounters {
 public:
  virtual ~ISystemCounters() = default;
  // Collects every counter at once and hands their values; a set missing
  // is absent in `out` and looked for again now and then.
  virtual void Read(CounterReading& out) = 0;
};
template <>
ISystemCounters& Seam<ISystemCounters>::Real();

// Task Manager's "active time": the part of the interval a disk was busy,
// 0 to 100 (some drives report more than 100 % idle).
double DiskActivePercent(double idle_percent);

// A "GPU Engine" instance name, e.g.
// "pid_1234_luid_0x00000000_0x0000C3F1_phys_0_eng_3_engtype_VideoDecode".
// The parts are views into the name.
struct EngineInstance {
  uint32_t process = 0;
  std::string_view adapter;  // the LUID's two halves, "0x00000000_0x0000C3F1"
  std::string_view type;     // "3D", "Copy", "VideoDecode"...
};
bool ParseEngineInstance(std::string_view name, EngineInstance* out);

struct GraphicsLoad {
  double load = kAbsent;     // per cent, 0 to 100
  uint32_t busiest = 0;      // the process that used the graphics most, 0 for none
  double busiest_load = kAbsent;
};
// As Task Manager reckons it: the engines' use grouped by adapter and engine
// type, each group summed; the largest group is the load.  A process's load
// is its largest group in the same way.  Absent without engines.
GraphicsLoad GraphicsLoadOf(const std::vector<CounterInstance>& engines);

// --- All together

struct SystemFigures {
  double disk_read = kAbsent, disk_write = kAbsent;   // bytes a second
  double disk_active = kAbsent;                        // per cent
  double net_received = kAbsent, net_sent = kAbsent;   // bytes a second
  double gpu_load = kAbsent;                           // per cent
  double gpu_memory = kAbsent;                         // dedicated memory in use, bytes
  uint32_t gpu_busiest = 0;                            // process id, 0 for none
};

// Reads the seams at most once a second, whatever the sampling rate; on
// the thread that samples, never on the window's.
class SystemReadings {
 public:
  static constexpr uint64_t kIntervalMs = 1000;
  // True when the figures were read again at `tick_ms` (monotonic ms).
  bool Sample(uint64_t tick_ms);
  const SystemFigures& figures() const { return figures_; }

 private:
  bool read_once_ = false;
  uint64_t read_tick_ = 0;
  SystemFigures figures_;
  NetworkRates network_;
  std::vector<NetworkInterface> interfaces_;
  CounterReading counters_;
};

}  // namespace zt
