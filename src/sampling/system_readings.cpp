#include "sampling/system_readings.h"

#include <algorithm>

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
  // A few interfaces: each is looked for in the reading before.
  bool any = false;
  uint64_t in = 0, out = 0;
  const bool had_base = have_base_ && tick_ms > previous_tick_;
  size_t counted = 0;
  for (const NetworkInterface& i : now) {
    if (!CountsAsTraffic(i)) continue;
    now[counted++] = i;
    if (!had_base) continue;
    const auto old = std::find_if(previous_.begin(), previous_.end(),
                                  [&i](const NetworkInterface& p) { return p.id == i.id; });
    // New since the reading before, or a counter that went back: left out.
    if (old == previous_.end() || i.received < old->received || i.sent < old->sent) continue;
    in += i.received - old->received;
    out += i.sent - old->sent;
    any = true;
  }
  now.resize(counted);
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
  // The groups (an adapter's engines of one type) are few: each instance
  // finds its own by looking.  Each use is then a key that sorts by
  // process and group, with the instance's place in its low bits.
  std::vector<EngineInstance> groups;
  std::vector<double> group_sums;
  std::vector<uint64_t> uses;
  uses.reserve(engines.size());
  EngineInstance engine;
  for (size_t k = 0; k < engines.size() && k <= 0xFFFF; ++k) {
    if (!ParseEngineInstance(engines[k].name, &engine)) continue;
    size_t g = 0;
    while (g < groups.size() && !(groups[g].adapter == engine.adapter && groups[g].type == engine.type)) ++g;
    if (g == groups.size()) {
      if (g > 0xFFFF) continue;
      groups.push_back(engine);
      group_sums.push_back(0);
    }
    group_sums[g] += Counted(engines[k].value);
    uses.push_back(static_cast<uint64_t>(engine.process) << 32 | static_cast<uint64_t>(g) << 16 | k);
  }
  GraphicsLoad load;
  if (uses.empty()) return load;
  // The largest group is the load.
  load.load = Percent(*std::max_element(group_sums.begin(), group_sums.end()));
  // A process's load the same way, over its own engines.
  std::sort(uses.begin(), uses.end());
  for (size_t i = 0; i < uses.size();) {
    double sum = 0;
    size_t j = i;
    for (; j < uses.size() && uses[j] >> 16 == uses[i] >> 16; ++j) sum += Counted(engines[uses[j] & 0xFFFF].value);
    // The system's own instances carry process 0: nobody to name.
    const auto process = static_cast<uint32_t>(uses[i] >> 32);
    if (process != 0 && sum > 0 && !(sum <= load.busiest_load)) {
      load.busiest = process;
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
