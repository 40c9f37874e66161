#include "cpuid/speed.h"

#include <chrono>
#include <cstdint>
#include <cmath>
#include <thread>

#include "cpuid/cpu_machine.h"
#include "cpuid/cpu_root.h"
#include "cpuid/cpu_values.h"
#include "cpuid/rating.h"
#include "util/process_priority.h"
#include "util/caught.h"

namespace zt::cpuid {

uint32_t NormaliseSpeed(uint32_t mhz) {
  const uint32_t r = mhz % 100;
  size_t i = 1;
  while (i < kSpeedEndings.size() && !(r < kSpeedEndings[i])) ++i;
  const uint32_t lo = kSpeedEndings[i - 1];
  const uint32_t hi = kSpeedEndings[i];
  if (r - lo < hi - r || mhz > UINT32_MAX - (hi - r)) return mhz - (r - lo);
  return mhz + (hi - r);
}

double ClockFromCounters(uint64_t tsc_delta, int64_t counter_delta, int64_t frequency) {
  if (frequency <= 0 || counter_delta <= 0) return 0.0;
  const double seconds = static_cast<double>(counter_delta) / static_cast<double>(frequency);
  const double mhz = static_cast<double>(tsc_delta) / seconds / 1000000.0;
  return std::isfinite(mhz) ? mhz : 0.0;
}

namespace {

// The speed thread: touches nothing but its result, which the owner reads
// after joining it.
class TCpuSpeedThread {
 public:
  TCpuSpeedThread() : thread_([this] { Execute(); }) {}
  ~TCpuSpeedThread() {
    if (thread_.joinable()) thread_.join();
  }
  double WaitFor() {
    thread_.join();
    return mhz_;
  }

 private:
  // Nothing may escape a thread's function (that ends the program), and
  // the raised priority goes back on every way out: a failed measurement
  // reads 0 MHz.
  void Execute() noexcept {
    try {
      mhz_ = Measure(Machine());
    } catch (...) {
      RecordCaught("clock measurement");
      mhz_ = 0.0;
    }
  }

  static double Measure(ICpuMachine& machine) {
    const TRaisedPriority raised(machine);
    const uint64_t t0 = machine.ReadTsc();
    const int64_t q0 = machine.QueryPerformanceCounter();
    const auto k0 = std::chrono::steady_clock::now();
    machine.SleepMs(200);
    // At least 5 ms, even if the sleep came back early.
    while (std::chrono::steady_clock::now() - k0 < std::chrono::milliseconds(5)) {
    }
    const uint64_t t1 = machine.ReadTsc();
    const int64_t q1 = machine.QueryPerformanceCounter();
    const int64_t f = machine.QueryPerformanceFrequency();
    return ClockFromCounters(t1 - t0, q1 - q0, f);
  }

  double mhz_ = 0.0;
  std::thread thread_;
};

}  // namespace

double MeasureClockMhz() {
  TCpuSpeedThread thread;
  return thread.WaitFor();
}

TProcessorSpeedInformation::TProcessorSpeedInformation(uint8_t processor) : processor_(processor) {
  const double mhz = std::trunc(MeasureClockMhz());
  raw_speed_ = mhz >= 4294967295.0 ? 4294967295u : mhz > 0.0 ? static_cast<uint32_t>(mhz) : 0u;
  normalised_speed_ = NormaliseSpeed(raw_speed_);
}

std::shared_ptr<ICpuNumber> TProcessorSpeedInformation::RawSpeed() const { return MakeNumber(raw_speed_); }
std::shared_ptr<ICpuNumber> TProcessorSpeedInformation::NormalisedSpeed() const {
  return MakeNumber(normalised_speed_);
}

std::string TProcessorSpeedInformation::Rating() const {
  const auto info = CpuRoot().ProcessorInformation(processor_);
  if (info->Vendor()->Vendor() != kVendorAmd) return std::string();
  const auto cache = info->Cache();
  if (!cache) return std::string();
  const auto level2 = cache->Level2();
  if (!level2) return std::string();
  return AmdRating(normalised_speed_, level2->Size()->Value());
}

}  // namespace zt::cpuid
