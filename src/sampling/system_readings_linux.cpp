// Linux: the interfaces from /proc/net/dev, each described by its folder in
// /sys/class/net (an adapter has a "device" link); no performance counters,
// so disk and graphics are absent.
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "sampling/system_readings.h"

namespace zt {

namespace {

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

class ProcNetDev final : public INetworkInterfaces {
 public:
  bool Read(std::vector<NetworkInterface>& out) override {
    out.clear();
    std::ifstream dev("/proc/net/dev");
    if (!dev) return false;
    // "  eth0: <8 receive fields> <8 transmit fields>", after two headings.
    for (std::string line; std::getline(dev, line);) {
      const size_t colon = line.find(':');
      if (colon == std::string::npos) continue;
      const std::string name = line.substr(line.find_first_not_of(' '), colon - line.find_first_not_of(' '));
      std::istringstream fields(line.substr(colon + 1));
      uint64_t value[9] = {};
      for (uint64_t& v : value) fields >> v;
      if (!fields) continue;
      const std::string sys = "/sys/class/net/" + name;
      NetworkInterface i;
      i.id = std::strtoull(FirstLine(sys + "/ifindex").c_str(), nullptr, 10);
      i.type = FirstLine(sys + "/type") == "772" ? 24 : 6;  // ARPHRD_LOOPBACK
      i.up = FirstLine(sys + "/operstate") == "up";
      i.hardware = access((sys + "/device").c_str(), F_OK) == 0;
      i.received = value[0];
      i.sent = value[8];
      out.push_back(i);
    }
    return true;
  }
};

class NoCounters final : public ISystemCounters {
 public:
  void Read(CounterReading& out) override { out = CounterReading(); }
};

}  // namespace

ZT_SEAM_REAL(INetworkInterfaces, ProcNetDev)

ZT_SEAM_REAL(ISystemCounters, NoCounters)

}  // namespace zt
