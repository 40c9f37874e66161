#include "sampling/cpu_speed.h"

#include "config/config.h"
#include "util/format.h"
#include "util/platform.h"
#include "util/process_priority.h"

namespace zt {

TCPUSpeed* CPUSpeed = nullptr;

namespace {
constexpr uint32_t kSettleMs = 10;
constexpr uint32_t kWindowMs = 500;
constexpr uint32_t kPauseMs = 500;
// A counter reset spoils a reading or two; a query that fails three times in
// a row is opened afresh, and a counter that fails six times is given up.
constexpr int kReopenAfterFailures = 3;
constexpr int kGiveUpAfterFailures = 6;
// Counted windows before the counter is tried again: about a minute while
// the figure is updated every second.
constexpr int kRetryAfterWindows = 60;
}  // namespace

double SpeedFromTicks(uint64_t t1, uint64_t t2, int64_t counter_ticks, int64_t frequency) {
  const uint64_t d = t2 - t1;
  const double microseconds = frequency > 0 && counter_ticks > 0
                                  ? static_cast<double>(counter_ticks) * 1e6 / static_cast<double>(frequency)
                                  : kWindowMs * 1000.0;
  return static_cast<double>(d) / microseconds;
}

bool HasInvariantTsc(ICpuMachine& machine) {
  constexpr uint32_t kPowerLeaf = 0x80000007;
  constexpr uint32_t kInvariantTscBit = 1u << 8;
  // Processors without the extended range answer some other leaf's
  // registers here, so the maximum must lie inside the range.
  const uint32_t maximum = machine.Cpuid(0x80000000).eax;
  if (maximum < kPowerLeaf || maximum > 0x8000FFFF) return false;
  return (machine.Cpuid(kPowerLeaf).edx & kInvariantTscBit) != 0;
}

std::string SpeedLabelText(unsigned mhz) { return FormatThousands(mhz) + " MHz"; }

TCPUSpeed::TCPUSpeed(ISpeedSink& sink) : sink_(sink), machine_(Seam<ICpuMachine>::Get()) {}

TCPUSpeed::~TCPUSpeed() { Stop(); }

bool TCPUSpeed::MeasureSpeed() {
  if (!invariant_asked_) {
    invariant_asked_ = true;
    invariant_tsc_ = HasInvariantTsc(machine_);
    counted_ = kRetryAfterWindows;  // try the counter at once
  }
  if (!counter_ && invariant_tsc_ && counted_ >= kRetryAfterWindows) {
    counted_ = 0;
    counter_ = Seam<IProcessorPerformance>::Get().Open();
    counter_proven_ = false;
    failures_ = 0;
  }
  if (counter_) return ReadCounter();
  if (invariant_tsc_) ++counted_;
  return CountTicks();
}

// The system's working clock over the window.  The time-stamp counter is
// read around the same window (a few cycles) so that a reading that ends
// the counter still gives this window's figure.
bool TCPUSpeed::ReadCounter() {
  machine_.SleepMs(kSettleMs);
  if (Terminated()) return false;
  const uint64_t t1 = machine_.ReadTsc();
  const int64_t q1 = machine_.QueryPerformanceCounter();
  // A refused first collection leaves the interval to begin at an older
  // one, so the figure would not be this window's.
  bool read = counter_->Collect();
  machine_.SleepMs(kWindowMs);
  const uint64_t t2 = machine_.ReadTsc();
  const int64_t q2 = machine_.QueryPerformanceCounter();
  if (Terminated()) return false;
  double performance = 0, nominal = 0;
  read = read && counter_->Collect() && counter_->Read(performance, nominal);
  const double clock = read ? ClockFromPerformance(performance, nominal) : -1;
  if (clock >= 0) {
    speed_ = clock;
    counter_proven_ = true;
    failures_ = 0;
    return true;
  }
  if (counter_proven_ && ++failures_ < kGiveUpAfterFailures) {
    if (failures_ % kReopenAfterFailures == 0) {
      // Where the system gives no new query the old one goes on.
      if (auto fresh = Seam<IProcessorPerformance>::Get().Open()) counter_ = std::move(fresh);
    }
    return false;
  }
  counter_.reset();
  speed_ = SpeedFromTicks(t1, t2, q2 - q1, machine_.QueryPerformanceFrequency());
  return true;
}

bool TCPUSpeed::CountTicks() {
  uint64_t t1 = 0, t2 = 0;
  int64_t q1 = 0, q2 = 0;
  {
    const TRaisedPriority raised(machine_);
    machine_.SleepMs(kSettleMs);
    if (Terminated()) return false;
    t1 = machine_.ReadTsc();
    q1 = machine_.QueryPerformanceCounter();
    machine_.SleepMs(kWindowMs);
    t2 = machine_.ReadTsc();
    q2 = machine_.QueryPerformanceCounter();
    if (Terminated()) return false;
  }
  speed_ = SpeedFromTicks(t1, t2, q2 - q1, machine_.QueryPerformanceFrequency());
  return true;
}

void TCPUSpeed::PostSpeed() {
  const int64_t mhz = RoundHalfEven(speed_);
  sink_.PostSpeed(mhz < 0 ? 0u : static_cast<unsigned>(mhz));
}

void TCPUSpeed::Execute() {
  // Both counter readings must come from the same processor.
  if (IsWindows2000OrLater()) machine_.SetThreadAffinity(1);
  while (!Terminated()) {
    if (!AppTrayMode.load() && (UpdateSpeed.load() || speed_ < 0)) {
      if (MeasureSpeed()) PostSpeed();
    }
    if (Terminated()) break;
    machine_.SleepMs(kPauseMs);
  }
}

}  // namespace zt
