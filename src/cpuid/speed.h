// One clock measurement of the processor: time-stamp counter against the
// high-resolution counter over about 200 ms, snapped to a customary value.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

// Two-digit endings a clock is snapped to, ascending.
inline constexpr std::array<uint32_t, 12> kSpeedEndings = {0, 17, 20, 33, 50, 60, 66, 67, 80, 83, 90, 100};
static_assert(kSpeedEndings.size() == 12, "twelve endings");

// Snaps a clock in MHz to the nearest ending (a tie goes up): 1998 -> 2000.
uint32_t NormaliseSpeed(uint32_t mhz);

// MHz from two counter deltas and the counter frequency; 0 when there is no
// high-resolution counter or the figures make no sense.
double ClockFromCounters(uint64_t tsc_delta, int64_t counter_delta, int64_t frequency);

// Runs the measurement on a short-lived thread at time-critical priority
// and waits for it; returns MHz.
double MeasureClockMhz();

class TProcessorSpeedInformation final : public IProcessorSpeedInformation {
 public:
  explicit TProcessorSpeedInformation(uint8_t processor);
  std::shared_ptr<ICpuNumber> RawSpeed() const override;
  std::shared_ptr<ICpuNumber> NormalisedSpeed() const override;
  std::string Rating() const override;

 private:
  uint8_t processor_;
  uint32_t raw_speed_;
  uint32_t normalised_speed_;
};

}  // namespace zt::cpuid
