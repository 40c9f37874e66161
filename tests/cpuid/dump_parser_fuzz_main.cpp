// libFuzzer entry: any bytes as a CPUID dump.  A dump the parser accepts is
// replayed through the whole report and captured and written again; nothing
// may crash, and what the writer produces must read back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cpuid/cpu_root.h"
#include "cpuid/dump_parser.h"
#include "cpuid/dump_writer.h"
#include "cpuid/replay.h"
#include "cpuid/report.h"

using namespace zt::cpuid;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  CpuidDump dump;
  try {
    dump = ParseDump(text);
  } catch (const EDumpError&) {
    return 0;
  }
  // Two processors show the affinity paths; more only slow the run down.
  if (dump.cpus.size() > 2) dump.cpus.resize(2);
  auto machine = CreateReplayMachine(dump);
  {
    ScopedMachine scope(machine);
    ResetCpuRoot();
    std::string report = BuildReport();
    if (report.rfind("Library\tVersion\t4.3.01\n", 0) != 0) std::abort();
    ResetCpuRoot();
  }
  CpuidDump captured = CaptureDump(*machine);
  try {
    ParseDump(FormatAidaDump(captured));
  } catch (const EDumpError&) {
    std::abort();
  }
  return 0;
}
