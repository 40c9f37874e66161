// The library's root object and the per-processor facade.  Everything in the
// library is reached from here, and objects that need another fact about
// their processor come back through here too.
#pragma once

#include <cstdint>
#include <memory>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

// The library's version number (printed with AsVersion: 4.3.01).
inline constexpr uint32_t kCpuLibraryVersion = 4301;

class TQuindle {
 public:
  TQuindle();
  // A new facade; the index is not checked against the processor count.
  std::shared_ptr<IProcessorInformation> ProcessorInformation(uint8_t processor) const;
  std::shared_ptr<IProcessorCount> ProcessorCount() const;
  std::shared_ptr<ICpuNumber> Version() const;
  // True when more than one processor is available: CPUID work then pins
  // the reading thread to the processor it asks about.
  bool UseAffinity() const { return use_affinity_; }

 private:
  bool use_affinity_;
};

// The root, created on first use.  If the machine seam has been replaced
// since the root was made, a new root is made for the new machine.
TQuindle& CpuRoot();
// Destroys the root (library shutdown, and after a test or a replay swaps the
// machine); the next CpuRoot() builds a new one.
void ResetCpuRoot();

class TProcessorInformation final : public IProcessorInformation {
 public:
  explicit TProcessorInformation(uint8_t processor) : processor_(processor) {}
  // Cache and Name come from the naming module's factories.
  std::shared_ptr<IProcessorCache> Cache() const override;
  std::shared_ptr<IProcessorCpuid> Cpuid() const override;
  std::shared_ptr<IProcessorErrata> Errata() const override;
  std::shared_ptr<IProcessorFeatures> Features() const override;
  std::shared_ptr<IProcessorName> Name() const override;
  std::shared_ptr<IProcessorSerial> Serial() const override;
  std::shared_ptr<IProcessorSignature> Signature() const override;
  std::shared_ptr<IProcessorSpeedInformation> Speed() const override;
  std::shared_ptr<IProcessorUsage> Usage() const override;
  std::shared_ptr<IProcessorVendor> Vendor() const override;

 private:
  uint8_t processor_;
};

}  // namespace zt::cpuid
