// The cost of the disk, network and graphics readings, read once a second:
// the graphics load of 600 engine instances (a machine with a busy desktop
// has hundreds), a whole reading on fakes, and the system's own readings
// with the figures they give (under Wine: the host's network counters; no
// disk or graphics counters, so those are absent).
//
//   system_readings_bench [seconds-per-case]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "sampling/system_readings.h"

#include "bench_timing.h"

namespace {

std::vector<zt::CounterInstance> Engines(int count) {
  const char* types[] = {"3D", "Copy", "VideoDecode", "VideoProcessing", "Compute_0"};
  std::vector<zt::CounterInstance> engines;
  for (int i = 0; i < count; ++i) {
    engines.push_back({"pid_" + std::to_string(1000 + i / 10) + "_luid_0x00000000_0x0000" +
                           std::to_string(10 + i % 2) + "F1_phys_0_eng_" + std::to_string(i % 10) + "_engtype_" +
                           types[i % 5],
                       (i % 7) * 0.5});
  }
  return engines;
}

class Fakes : public zt::INetworkInterfaces, public zt::ISystemCounters {
 public:
  bool Read(std::vector<zt::NetworkInterface>& out) override {
    out.resize(12);
    for (size_t i = 0; i < out.size(); ++i) {
      out[i].id = i, out[i].type = 6, out[i].up = true, out[i].hardware = i < 2;
      out[i].received += 1000, out[i].sent += 100;
    }
    return true;
  }
  void Read(zt::CounterReading& out) override {
    out.disk = out.engines = out.adapter_memory = true;
    out.disk_idle = 90;
    out.engine_use = engines;
    out.dedicated = {{"luid_0x00000000_0x000010F1_phys_0", 1e8}};
  }
  std::vector<zt::CounterInstance> engines = Engines(600);
};

void Print(const char* what, double value, const char* unit) {
  if (value == value) std::printf("  %-22s %14.1f %s\n", what, value, unit);
  else std::printf("  %-22s %14s\n", what, "absent");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2) bench::g_seconds = std::atof(argv[1]);
  const std::vector<zt::CounterInstance> engines = Engines(600);
  bench::Report("graphics load of 600 engine instances", bench::Measure([&] { (void)zt::GraphicsLoadOf(engines); }));
  {
    Fakes fakes;
    zt::ScopedOverride<zt::INetworkInterfaces> network(fakes);
    zt::ScopedOverride<zt::ISystemCounters> counters(fakes);
    zt::SystemReadings readings;
    uint64_t tick = 0;
    bench::Report("one reading on fakes (12 interfaces, 600 engines)", bench::Measure([&] {
                    readings.Sample(tick += zt::SystemReadings::kIntervalMs);
                  }));
  }
  // The system's own: each reading a second after the last, as the monitor
  // takes them (the rates need two).
  zt::SystemReadings readings;
  std::vector<zt::NetworkInterface> interfaces;
  zt::Seam<zt::INetworkInterfaces>::Real().Read(interfaces);
  int counted = 0;
  for (const zt::NetworkInterface& i : interfaces) counted += zt::CountsAsTraffic(i);
  std::printf("network interfaces listed: %zu, counted: %d\n", interfaces.size(), counted);
  bench::Report("the interfaces' table read", bench::Measure([&] {
                  zt::Seam<zt::INetworkInterfaces>::Real().Read(interfaces);
                }));
  zt::CounterReading reading;
  bench::Report("the counters collected and read", bench::Measure([&] {
                  zt::Seam<zt::ISystemCounters>::Real().Read(reading);
                }));
  readings.Sample(0);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  readings.Sample(1000);
  const zt::SystemFigures& f = readings.figures();
  std::printf("this system, over one second:\n");
  Print("network received", f.net_received, "bytes/s");
  Print("network sent", f.net_sent, "bytes/s");
  Print("disk read", f.disk_read, "bytes/s");
  Print("disk write", f.disk_write, "bytes/s");
  Print("disk active time", f.disk_active, "%");
  Print("graphics load", f.gpu_load, "%");
  Print("graphics memory", f.gpu_memory, "bytes");
  return 0;
}
