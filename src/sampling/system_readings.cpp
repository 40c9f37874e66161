#include "sampling/system_readings.h"

#include <algorithm>
#include <tuple>

namespace zt {

namespace {

constexpr uint32_t kLoopbackType = 24;  // IF_TYPE_SOFTWARE_LOOPBACK
constexpr uint32_t kTunnelType = 131;   // IF_TYPE_TUNNEL

double Percent(double value) { return std::clamp(value, 0.0, 100.0); }

// A counter's value as a figure: one that is not a number or below zero
// (a counter that went back) counts as nothing.
double Counted(double value) { return value > 0 ? value : 0; }

}  // namespace

bool CountsAsTraffic(const NetworkInterface& adapter) {
  return adapter.up && adapter.hardware && !adapter.filter && adapter.type != kLoopbackType &&
         adapter.type != kTunnelType;
}

bool NetworkRates::Next(uint64_t tick_ms, std::vector<NetworkInterface>& now, double* received, double* sent) {
  now.erase(std::remove_if(now.begin(), now.end(), [](const NetworkInterface& i) { return !CountsAsTraffic(i); }),
            now.end());
  std::sort(now.begin(), now.end(), [](const NetworkInterface& a, const NetworkInterface& b) { return a.id < b.id; });
  const bool had_base = have_base_ && tick_ms > previous_tick_;
  bool any = false;
  uint64_t in = 0, out = 0;
  if (had_base) {
    auto old = previous_.begin();
    for (const NetworkInterface& i : now) {
      while (old != previous_.end() && old->id < i.id) ++old;
      if (old == previous_.end() || old->id != i.id) continue;  // new since the last reading
      if (i.received < old->received || i.sent < old->sent) continue;  // a counter went back
      in += i.received - old->received;
      out += i.sent - old->sent;
      any = true;
    }
  }
  const double seconds = static_cast<double>(tick_ms - previous_tick_) / 1000.0;
  previous_.swap(now);
  previous_tick_ = tick_ms;
  have_base_ = true;
  if (!any) return false;
  *received = static_cast<double>(in) / seconds;
  *sent = static_cast<double>(out) / seconds;
  return true;
}

double DiskActivePercent(double idle_percent) {
  return std::isnan(idle_percent) ? kAbsent : Percent(100.0 - idle_percent);
}

bool ParseEngineInstance(std::string_view text, EngineInstance* out) {
  // pid_<decimal>_luid_<hex>_<hex>_phys_<n>_eng_<n>_engtype_<type>
  constexpr std::string_view kPid = "pid_", kLuid = "_luid_", kPhys = "_phys_", kType = "_engtype_";
  if (text.substr(0, kPid.size()) != kPid) return false;
  const size_t luid = text.find(kLuid), phys = text.find(kPhys), type = text.find(kType);
  if (luid == std::string_view::npos || phys == std::string_view::npos || type == std::string_view::npos ||
      phys < luid || type < phys || type + kType.size() >= text.size())
    return false;
  const std::string_view pid = text.substr(kPid.size(), luid - kPid.size());
  if (pid.empty() || pid.size() > 10 || pid.find_first_not_of("0123456789") != std::string_view::npos) return false;
  uint64_t process = 0;
  for (char c : pid) process = process * 10 + static_cast<uint64_t>(c - '0');
  if (process > UINT32_MAX) return false;
  out->process = static_cast<uint32_t>(process);
  out->adapter = text.substr(luid + kLuid.size(), phys - luid - kLuid.size());
  out->type = text.substr(type + kType.size());
  return true;
}

GraphicsLoad GraphicsLoadOf(const std::vector<CounterInstance>& engines) {
  struct Use {
    std::string_view adapter, type;  // the group
    uint32_t process;
    double value;
    bool SameGroup(const Use& u) const { return adapter == u.adapter && type == u.type; }
  };
  std::vector<Use> uses;
  uses.reserve(engines.size());
  EngineInstance engine;
  for (const CounterInstance& c : engines) {
    if (!ParseEngineInstance(c.name, &engine)) continue;
    uses.push_back({engine.adapter, engine.type, engine.process, Counted(c.value)});
  }
  GraphicsLoad load;
  if (uses.empty()) return load;
  // Each group summed over its engines and processes; the largest is the load.
  std::sort(uses.begin(), uses.end(),
            [](const Use& a, const Use& b) { return std::tie(a.adapter, a.type) < std::tie(b.adapter, b.type); });
  load.load = 0;
  for (size_t i = 0; i < uses.size();) {
    double sum = 0;
    size_t j = i;
    for (; j < uses.size() && uses[j].SameGroup(uses[i]); ++j) sum += uses[j].value;
    load.load = std::max(load.load, sum);
    i = j;
  }
  load.load = Percent(load.load);
  // A process's load the same way, over its own engines.
  std::stable_sort(uses.begin(), uses.end(), [](const Use& a, const Use& b) { return a.process < b.process; });
  for (size_t i = 0; i < uses.size();) {
    double sum = 0;
    size_t j = i;
    for (; j < uses.size() && uses[j].process == uses[i].process && uses[j].SameGroup(uses[i]); ++j)
      sum += uses[j].value;
    // The system's own instances carry process 0: nobody to name.
    if (uses[i].process != 0 && sum > 0 && !(sum <= load.busiest_load)) {
      load.busiest = uses[i].process;
      load.busiest_load = Percent(sum);
    }
    i = j;
  }
  return load;
}

bool SystemReadings::Sample(uint64_t tick_ms) {
  if (read_once_ && tick_ms - read_tick_ < kIntervalMs) return false;
  read_once_ = true;
  read_tick_ = tick_ms;
  SystemFigures f;
  double received = 0, sent = 0;
  if (Seam<INetworkInterfaces>::Get().Read(interfaces_) && network_.Next(tick_ms, interfaces_, &received, &sent)) {
    f.net_received = received;
    f.net_sent = sent;
  }
  Seam<ISystemCounters>::Get().Read(counters_);
  if (counters_.disk) {
    f.disk_read = Counted(counters_.disk_read);
    f.disk_write = Counted(counters_.disk_write);
    f.disk_active = DiskActivePercent(counters_.disk_idle);
  }
  if (counters_.engines) {
    const GraphicsLoad graphics = GraphicsLoadOf(counters_.engine_use);
    f.gpu_load = graphics.load;
    f.gpu_busiest = graphics.busiest;
  }
  if (counters_.adapter_memory && !counters_.dedicated.empty()) {
    f.gpu_memory = 0;
    for (const CounterInstance& c : counters_.dedicated) f.gpu_memory += Counted(c.value);
  }
  figures_ = f;
  return true;
}

}  // namespace zt
