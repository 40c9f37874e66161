// No such counters here: the clock thread counts time-stamp ticks.
#include "sampling/processor_performance.h"

namespace zt {

namespace {
class NoProcessorPerformance final : public IProcessorPerformance {
 public:
  std::unique_ptr<IProcessorPerformanceQuery> Open() override { return nullptr; }
};
}  // namespace

template <>
IProcessorPerformance& Seam<IProcessorPerformance>::Real() {
  static NoProcessorPerformance none;
  return none;
}

}  // namespace zt
