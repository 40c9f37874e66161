// CPUID dumps: the registers of one or more processors, as recorded by
// AIDA64/InstLatx64 ("CPUID 00000004: 1C004121-01C0003F-0000003F-00000000
// [SL 00]") or by the Debian `cpuid -r` tool ("   0x00000004 0x00:
// eax=0x... ebx=0x... ecx=0x... edx=0x...").  Dumps come from users, so the
// parser treats them as hostile: every limit is checked and any line it
// cannot read is reported with its number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cpuid/cpu_machine.h"
#include "util/errors.h"

namespace zt::cpuid {

struct CpuidRecord {
  uint32_t leaf = 0;
  uint32_t subleaf = 0;
  // False when the dump gave no subleaf tag; the subleaf is then the
  // record's position among the block's records of the same leaf.
  bool tagged = false;
  CpuidRegisters regs;
  size_t line = 0;  // 1-based line in the source text
};

struct CpuBlock {
  std::string header;  // the header line as written, empty when implicit
  size_t line = 0;     // line of the header (or of the first record)
  std::vector<CpuidRecord> records;
};

enum class DumpLayout { kAida, kCpuidTool };

struct CpuidDump {
  DumpLayout layout = DumpLayout::kAida;
  std::vector<CpuBlock> cpus;
};

// A dump that cannot be read.  `line` is 0 when the fault is not on one line.
class EDumpError : public EZettrimError {
 public:
  EDumpError(size_t line, const std::string& reason);
  size_t line() const { return line_; }
  const std::string& reason() const { return reason_; }

 private:
  size_t line_;
  std::string reason_;
};

// Limits on what a dump may hold.
constexpr size_t kMaxDumpBytes = 16u * 1024u * 1024u;
constexpr size_t kMaxDumpLineLength = 4096;
// Processor numbers are 8-bit throughout the library.
constexpr size_t kMaxDumpCpus = 256;
constexpr size_t kMaxRecordsPerCpu = 8192;

// Reads a dump in either layout (chosen by its first register line).
// Throws EDumpError.
CpuidDump ParseDump(std::string_view text);
// Reads a dump file; a file that cannot be opened or is too large is an
// EDumpError as well.
CpuidDump ParseDumpFile(const std::string& path);

}  // namespace zt::cpuid
