// The current load of one processor, from the program's load measurement.
#pragma once

#include <cstdint>
#include <memory>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

// What the usage object reads: the program's processor-load measurement.
// That measurement lives above this library, so the program hands it in
// (SetProcessorLoadSource) instead of the library reaching up for it.
class IProcessorLoadSource {
 public:
  virtual ~IProcessorLoadSource() = default;
  // Takes a new reading; its errors pass on to the caller unchanged.
  virtual void RefreshProcessorCounters() = 0;
  // The load of one processor over the interval since the reading before,
  // as a fraction (nominally 0 to 1).
  virtual double GetProcessorLoad(int32_t processor) = 0;
};

// The source every usage object reads from now on.  It must outlive the
// requests.  Without one (nullptr; a program that never hands one in has no
// load measurement) the usage reads 0.
void SetProcessorLoadSource(IProcessorLoadSource* source);

// A load fraction as whole per cent, truncated toward zero; values outside
// what a 32-bit count can hold (negative, NaN, huge) are clamped.
uint32_t LoadFractionToPercent(double fraction);

class TProcessorUsage final : public IProcessorUsage {
 public:
  explicit TProcessorUsage(uint8_t processor) : processor_(processor) {}
  std::shared_ptr<ICpuNumber> Usage() const override;

 private:
  uint8_t processor_;
};

}  // namespace zt::cpuid
