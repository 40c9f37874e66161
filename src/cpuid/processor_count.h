// How many processors the system offers, and how many logical processors
// they announce.
#pragma once

#include <memory>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

class TProcessorCount final : public IProcessorCount {
 public:
  std::shared_ptr<ICpuNumber> AvailableProcessors() const override;
  std::shared_ptr<ICpuNumber> VirtualProcessors() const override;
};

}  // namespace zt::cpuid
