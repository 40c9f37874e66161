#include "cpuid/dump_writer.h"

#include <cstdio>

namespace zt::cpuid {

namespace {

// A hypervisor or a faulty processor may claim any maximum; no real range
// holds more than a few dozen leaves.
constexpr uint32_t kMaxLeavesPerRange = 0x100;
constexpr uint32_t kMaxSubleaves = 64;

class Capture {
 public:
  Capture(ICpuMachine& machine, CpuBlock& block) : machine_(machine), block_(block) {}

  void Range(uint32_t base) {
    CpuidRegisters first = machine_.Cpuid(base, 0);
    uint32_t maximum = first.eax;
    if (base != 0) {
      // A processor without the range answers with something unrelated.
      if (maximum < base || maximum - base >= kMaxLeavesPerRange) return;
    } else if (maximum >= kMaxLeavesPerRange) {
      maximum = kMaxLeavesPerRange - 1;
    }
    for (uint32_t leaf = base;; ++leaf) {
      Leaf(leaf);
      if (leaf == maximum) break;
    }
  }

 private:
  void Add(uint32_t leaf, uint32_t subleaf, bool tagged, const CpuidRegisters& regs) {
    CpuidRecord r;
    r.leaf = leaf;
    r.subleaf = subleaf;
    r.tagged = tagged;
    r.regs = regs;
    block_.records.push_back(r);
  }

  void Tagged(uint32_t leaf, uint32_t subleaf) {
    Add(leaf, subleaf, true, machine_.Cpuid(leaf, subleaf));
  }

  void Leaf(uint32_t leaf) {
    switch (leaf) {
      case 0x02: {
        // The low byte of EAX says how often leaf 2 must run to give every
        // descriptor; each call is recorded, in order.
        CpuidRegisters r = machine_.Cpuid(2, 0);
        uint32_t calls = r.eax & 0xFF;
        if (calls == 0) calls = 1;
        Add(2, 0, false, r);
        for (uint32_t i = 1; i < calls; ++i) Add(2, i, false, machine_.Cpuid(2, 0));
        return;
      }
      case 0x04:
      case 0x8000001D:
        // Cache parameters: until the cache type reads "none".
        for (uint32_t sub = 0; sub < kMaxSubleaves; ++sub) {
          CpuidRegisters r = machine_.Cpuid(leaf, sub);
          if (sub > 0 && (r.eax & 0x1F) == 0) break;
          Add(leaf, sub, true, r);
        }
        return;
      case 0x07:
      case 0x14:
      case 0x17:
      case 0x18:
      case 0x1D:
      case 0x20:
      case 0x23: {
        // Subleaf 0 gives the highest subleaf.
        CpuidRegisters r = machine_.Cpuid(leaf, 0);
        Add(leaf, 0, true, r);
        uint32_t last = r.eax < kMaxSubleaves ? r.eax : kMaxSubleaves - 1;
        for (uint32_t sub = 1; sub <= last; ++sub) Tagged(leaf, sub);
        return;
      }
      case 0x0B:
      case 0x1F:
      case 0x80000026:
        // Topology levels: up to and including the first invalid level.
        for (uint32_t sub = 0; sub < kMaxSubleaves; ++sub) {
          CpuidRegisters r = machine_.Cpuid(leaf, sub);
          Add(leaf, sub, true, r);
          if (((r.ecx >> 8) & 0xFF) == 0) break;
        }
        return;
      case 0x0D:
        // State components: the first two always, the others when present.
        for (uint32_t sub = 0; sub < kMaxSubleaves; ++sub) {
          CpuidRegisters r = machine_.Cpuid(leaf, sub);
          if (sub < 2 || r.eax != 0 || r.ebx != 0 || r.ecx != 0 || r.edx != 0) {
            Add(leaf, sub, true, r);
          }
        }
        return;
      case 0x0F:
      case 0x10:
      case 0x80000020:
        for (uint32_t sub = 0; sub < 4; ++sub) Tagged(leaf, sub);
        return;
      case 0x12:
        for (uint32_t sub = 0; sub < kMaxSubleaves; ++sub) {
          CpuidRegisters r = machine_.Cpuid(leaf, sub);
          if (sub >= 2 && (r.eax & 0x0F) == 0) break;
          Add(leaf, sub, true, r);
        }
        return;
      default:
        Add(leaf, 0, false, machine_.Cpuid(leaf, 0));
        return;
    }
  }

  ICpuMachine& machine_;
  CpuBlock& block_;
};

void CaptureProcessor(ICpuMachine& machine, CpuBlock& block) {
  Capture capture(machine, block);
  capture.Range(0x00000000);
  capture.Range(0x80000000);
  capture.Range(0x80860000);
  capture.Range(0xC0000000);
}

}  // namespace

CpuidDump CaptureDump(ICpuMachine& machine) {
  CpuidDump dump;
  dump.layout = DumpLayout::kAida;
  uint32_t count = machine.ProcessorCount();
  if (count > 64) count = 64;
  uint64_t process_mask = 0, system_mask = 0;
  bool pin = count > 1 && machine.CanSetThreadAffinity() &&
             machine.GetProcessAffinity(process_mask, system_mask);
  if (!pin) count = 1;
  uint64_t mask_before = 0;  // the thread's, from the first pin that worked
  for (uint32_t p = 0; p < count; ++p) {
    CpuBlock block;
    block.header = "------[ CPUID Registers / Logical CPU #" + std::to_string(p) + " ]------";
    if (pin) {
      // A processor the process may not run on is left out.
      const uint64_t before = machine.SetThreadAffinity(uint64_t{1} << p);
      if (before == 0) continue;
      if (mask_before == 0) mask_before = before;
      machine.SleepMs(0);
    }
    CaptureProcessor(machine, block);
    dump.cpus.push_back(std::move(block));
  }
  if (mask_before != 0) machine.SetThreadAffinity(mask_before);
  return dump;
}

std::string FormatAidaDump(const CpuidDump& dump) {
  std::string out;
  out += "------[ Versions ]------\n\n";
  out += "Program Version : zettrim-cpuinfo (Zettrim 2.0)\n\n";
  char line[96];
  for (size_t i = 0; i < dump.cpus.size(); ++i) {
    out += "------[ CPUID Registers / Logical CPU #" + std::to_string(i) + " ]------\n\n";
    for (const CpuidRecord& r : dump.cpus[i].records) {
      std::snprintf(line, sizeof line, "CPUID %08X: %08X-%08X-%08X-%08X", r.leaf, r.regs.eax,
                    r.regs.ebx, r.regs.ecx, r.regs.edx);
      out += line;
      // Leaf 2 answers by call, so its repeats stay untagged.
      if (r.tagged && r.leaf != 2) {
        std::snprintf(line, sizeof line, " [SL %02X]", r.subleaf);
        out += line;
      }
      out += '\n';
    }
    out += '\n';
  }
  return out;
}

}  // namespace zt::cpuid
