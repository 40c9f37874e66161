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
}  // namespace

double SpeedFromTicks(uint64_t t1, uint64_t t2, int64_t counter_ticks, int64_t frequency) {
  const auto d = static_cast<uint32_t>(t2 - t1);
  const double microseconds = frequency > 0 && counter_ticks > 0
                                  ? static_cast<double>(counter_ticks) * 1e6 / static_cast<double>(frequency)
                                  : kWindowMs * 1000.0;
  return static_cast<double>(d) / microseconds;
}

std::string SpeedLabelText(unsigned mhz) { return FormatThousands(mhz) + " MHz"; }

TCPUSpeed::TCPUSpeed(ISpeedSink& sink) : sink_(sink), machine_(Seam<ICpuMachine>::Get()) {}

TCPUSpeed::~TCPUSpeed() { Stop(); }

bool TCPUSpeed::MeasureSpeed() {
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
