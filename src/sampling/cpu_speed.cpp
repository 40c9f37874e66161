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

double SpeedFromTicks(uint64_t t1, uint64_t t2) {
  const auto d = static_cast<uint32_t>(t2 - t1);
  return static_cast<double>(d) / (kWindowMs * 1000.0);
}

std::string SpeedLabelText(unsigned mhz) { return FormatThousands(mhz) + " MHz"; }

TCPUSpeed::TCPUSpeed(ISpeedSink& sink) : sink_(sink), machine_(Seam<ICpuMachine>::Get()) {}

TCPUSpeed::~TCPUSpeed() { Stop(); }

bool TCPUSpeed::MeasureSpeed() {
  uint64_t t1 = 0, t2 = 0;
  {
    const TRaisedPriority raised(machine_);
    machine_.SleepMs(kSettleMs);
    if (Terminated()) return false;
    t1 = machine_.ReadTsc();
    machine_.SleepMs(kWindowMs);
    t2 = machine_.ReadTsc();
    if (Terminated()) return false;
  }
  speed_ = SpeedFromTicks(t1, t2);
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
