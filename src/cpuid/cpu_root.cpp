#include "cpuid/cpu_root.h"

#include "cpuid/cpu_machine.h"
#include "cpuid/cpu_values.h"
#include "cpuid/cpuid_access.h"
#include "cpuid/errata.h"
#include "cpuid/features.h"
#include "cpuid/naming_interfaces.h"
#include "cpuid/processor_count.h"
#include "cpuid/serial.h"
#include "cpuid/signature.h"
#include "cpuid/speed.h"
#include "cpuid/usage.h"
#include "cpuid/vendor.h"

namespace zt::cpuid {

namespace {

std::unique_ptr<TQuindle> g_root;
// The machine the root was built for: a replay or a test that swaps the
// machine gets a root that matches the new processor count.
const ICpuMachine* g_root_machine = nullptr;

}  // namespace

TQuindle::TQuindle() : use_affinity_(TProcessorCount().AvailableProcessors()->Value() > 1) {}

std::shared_ptr<IProcessorInformation> TQuindle::ProcessorInformation(uint8_t processor) const {
  return std::make_shared<TProcessorInformation>(processor);
}

std::shared_ptr<IProcessorCount> TQuindle::ProcessorCount() const { return std::make_shared<TProcessorCount>(); }

std::shared_ptr<ICpuNumber> TQuindle::Version() const { return MakeNumber(kCpuLibraryVersion); }

TQuindle& CpuRoot() {
  ICpuMachine* machine = &Machine();
  // A different machine may sit at the address of a freed one, so the
  // processor count it reports is compared as well.
  if (!g_root || machine != g_root_machine || (machine->ProcessorCount() > 1) != g_root->UseAffinity()) {
    // Counting processors runs no CPUID, so building the root before its
    // flag is known is harmless.
    g_root.reset();
    g_root_machine = machine;
    g_root = std::make_unique<TQuindle>();
  }
  return *g_root;
}

void ResetCpuRoot() {
  g_root.reset();
  g_root_machine = nullptr;
}

std::shared_ptr<IProcessorCache> TProcessorInformation::Cache() const { return CreateProcessorCache(processor_); }
std::shared_ptr<IProcessorCpuid> TProcessorInformation::Cpuid() const {
  return std::make_shared<TProcessorCpuid>(processor_);
}
std::shared_ptr<IProcessorErrata> TProcessorInformation::Errata() const {
  return std::make_shared<TProcessorErrata>(processor_);
}
std::shared_ptr<IProcessorFeatures> TProcessorInformation::Features() const {
  return std::make_shared<TProcessorFeatures>(processor_);
}
std::shared_ptr<IProcessorName> TProcessorInformation::Name() const { return CreateProcessorName(processor_); }
std::shared_ptr<IProcessorSerial> TProcessorInformation::Serial() const {
  return std::make_shared<TProcessorSerial>(processor_);
}
std::shared_ptr<IProcessorSignature> TProcessorInformation::Signature() const {
  return std::make_shared<TProcessorSignature>(processor_);
}
std::shared_ptr<IProcessorSpeedInformation> TProcessorInformation::Speed() const {
  return std::make_shared<TProcessorSpeedInformation>(processor_);
}
std::shared_ptr<IProcessorUsage> TProcessorInformation::Usage() const {
  return std::make_shared<TProcessorUsage>(processor_);
}
std::shared_ptr<IProcessorVendor> TProcessorInformation::Vendor() const {
  return std::make_shared<TProcessorVendor>(processor_);
}

}  // namespace zt::cpuid
