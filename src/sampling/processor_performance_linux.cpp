// No such counters here: the clock thread counts time-stamp ticks.
#include "sampling/processor_performance.h"

namespace zt {

namespace {
class NoProcessorPerformance final : public IProcessorPerformance {
 public:
  std::unique_ptr<IProcessorPerformanceQuery> Open() override { return nullptr; }
};
}  // namespace

ZT_SEAM_REAL(IProcessorPerformance, NoProcessorPerformance)

}  // namespace zt
