// Replays every real dump under tests/data/cpuid-dumps through the report
// and holds a few facts of the first processor against what this test works
// out from the raw register lines itself.
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cpuid/cpu_root.h"
#include "cpuid/dump_parser.h"
#include "cpuid/replay.h"
#include "cpuid/report.h"

namespace zt::cpuid {
namespace {

struct Regs {
  uint32_t r[4] = {0, 0, 0, 0};  // eax, ebx, ecx, edx
};

std::string DumpDir() { return std::string(ZT_TEST_DATA_DIR) + "/cpuid-dumps"; }

std::vector<std::string> ListFiles(const std::string& dir, const std::string& suffix) {
  std::vector<std::string> files;
  DIR* d = opendir(dir.c_str());
  if (!d) return files;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      files.push_back(dir + "/" + name);
    }
  }
  closedir(d);
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The first processor's subleaf-0 registers and the number of CPU blocks,
// scanned with sscanf, independently of the library's parser.
struct RawDump {
  std::map<uint32_t, Regs> leaves;
  size_t blocks = 0;
};

RawDump ScanRaw(const std::string& text) {
  RawDump raw;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    bool header = line.rfind("CPU", 0) == 0 && line.find(':') == line.size() - 1 &&
                  line.rfind("CPUID ", 0) != 0;
    header = header || (line.rfind("------[", 0) == 0 && line.find("CPU #") != std::string::npos) ||
             line.rfind("CPUID Registers (CPU #", 0) == 0 ||
             (line.rfind("CPU#", 0) == 0 && line.find("AffMask") != std::string::npos);
    if (header) {
      ++raw.blocks;
      continue;
    }
    if (raw.blocks > 1) continue;
    unsigned leaf, sub, a, b, c, d;
    Regs regs;
    if (std::sscanf(line.c_str(), " 0x%x 0x%x: eax=0x%x ebx=0x%x ecx=0x%x edx=0x%x", &leaf, &sub,
                    &a, &b, &c, &d) == 6) {
      if (sub != 0) continue;
    } else if (std::sscanf(line.c_str(), "CPUID %8x: %8x-%8x-%8x-%8x", &leaf, &a, &b, &c, &d) == 5) {
      if (raw.leaves.count(leaf)) continue;  // later untagged repeats are subleaves
    } else {
      continue;
    }
    if (raw.blocks == 0) raw.blocks = 1;
    regs.r[0] = a, regs.r[1] = b, regs.r[2] = c, regs.r[3] = d;
    raw.leaves.emplace(leaf, regs);
  }
  return raw;
}

std::string Chars(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}

struct Facts {
  std::string vendor_row;
  std::string generic;
  bool has_brand = false;
  std::string brand;
};

Facts Expected(const RawDump& raw) {
  auto get = [&](uint32_t leaf) { auto it = raw.leaves.find(leaf); return it == raw.leaves.end() ? Regs{} : it->second; };
  Facts f;
  Regs l0 = get(0);
  std::string vendor = Chars(l0.r[1]) + Chars(l0.r[3]) + Chars(l0.r[2]);
  static const std::set<std::string> known = {"GenuineIntel", "AuthenticAMD", "CyrixInstead",
                                              "CentaurHauls", "NexGenDriven", "UMC UMC UMC ",
                                              "RiseRiseRise", "GenuineTMx86"};
  f.vendor_row = known.count(vendor) ? vendor : "BadCpuVendor";
  uint32_t sig = l0.r[0] >= 1 ? get(1).r[0] : 0;
  uint32_t family = (sig >> 8) & 0xF, model = (sig >> 4) & 0xF, stepping = sig & 0xF;
  if (family == 15) family += (sig >> 20) & 0xFF;
  if (model == 15) model += (sig >> 16) & 0xF;  // added, not shifted
  f.generic = "x86 Family " + std::to_string(family) + " Model " + std::to_string(model) +
              " Stepping " + std::to_string(stepping);
  uint32_t first = 0x80000002, last = 0x80000004;
  uint32_t max = get(0x80000000).r[0];
  if (vendor == "GenuineTMx86") {
    first = 0x80860003, last = 0x80860006;
    max = get(0x80860000).r[0];
  }
  if (max >= last) {
    f.has_brand = true;
    std::string text;
    for (uint32_t leaf = first; leaf <= last; ++leaf) {
      Regs r = get(leaf);
      for (int i = 0; i < 4; ++i) text += Chars(r.r[i]);
    }
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
    text = text.substr(b, e - b);
    text = text.substr(0, text.find('\0'));  // a control shows text up to a NUL
    f.brand = text;
  }
  return f;
}

std::vector<std::vector<std::string>> Rows(const std::string& report) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(report);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    size_t start = 0, tab;
    while ((tab = line.find('\t', start)) != std::string::npos) {
      fields.push_back(line.substr(start, tab - start));
      start = tab + 1;
    }
    fields.push_back(line.substr(start));
    rows.push_back(fields);
  }
  return rows;
}

std::string Value(const std::vector<std::vector<std::string>>& rows, const std::string& page,
                  const std::string& caption) {
  for (const auto& r : rows) {
    if (r.size() == 3 && r[0] == page && r[1] == caption) return r[2];
  }
  return "<missing>";
}

bool ValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
    if (n == 9 || i + n >= s.size() + (n ? 0 : 1)) return false;
    for (size_t k = 1; k <= n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
    }
    i += n + 1;
  }
  return true;
}

const std::vector<std::string> kPageOrder = {
    "", "/CPUID/Standard", "/CPUID/扩展", "/CPUID/Transmeta", "/Signature",
    "/功能集/Standard", "/功能集/Standard (Ex)", "/功能集/扩展", "/功能集/Power",
    "/Cache/Level 1/Code", "/Cache/Level 1/Data", "/Cache/Level 1/Unified", "/Cache/Level 2",
    "/Cache/Level 3", "/Cache/Trace", "/Errata", "/Vendor"};

void CheckDump(const std::string& path) {
  SCOPED_TRACE(path);
  std::string text = ReadAll(path);
  RawDump raw = ScanRaw(text);
  ASSERT_GT(raw.leaves.size(), 0u);
  std::shared_ptr<TReplayMachine> machine;
  ASSERT_NO_THROW(machine = CreateReplayMachine(ParseDump(text)));
  ScopedMachine scope(machine);
  ResetCpuRoot();
  std::string report = BuildReport();
  ResetCpuRoot();

  EXPECT_TRUE(ValidUtf8(report));
  auto rows = Rows(report);
  ASSERT_GT(rows.size(), 3u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Library", "Version", "4.3.01"}));
  for (const auto& r : rows) ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(Value(rows, "Processor Count", "Available processors"), std::to_string(raw.blocks));

  // Pages in tree order, for every processor.
  std::vector<std::string> pages;
  for (const auto& r : rows) {
    if (pages.empty() || pages.back() != r[0]) pages.push_back(r[0]);
  }
  std::vector<std::string> expected_pages = {"Library", "Processor Count"};
  for (size_t p = 0; p < raw.blocks; ++p) {
    for (const auto& suffix : kPageOrder) expected_pages.push_back("#" + std::to_string(p) + suffix);
  }
  EXPECT_EQ(pages, expected_pages);

  Facts facts = Expected(raw);
  EXPECT_EQ(Value(rows, "#0/Vendor", "Signature"), facts.vendor_row);
  EXPECT_EQ(Value(rows, "#0/Signature", "Generic"), facts.generic);
  if (facts.has_brand) {
    EXPECT_EQ(Value(rows, "#0", "Name"), facts.brand);
  }
  EXPECT_EQ(Value(rows, "#0", "Speed"), "0 Mhz");
  EXPECT_EQ(Value(rows, "#0/Errata", "FDiv Error"), "No");
}

TEST(RealDumps, EveryToolLayoutDumpReplaysWithTheRightFacts) {
  std::vector<std::string> files = ListFiles(DumpDir(), ".cpuid-r");
  ASSERT_GE(files.size(), 50u) << "dumps missing from " << DumpDir();
  for (const auto& f : files) CheckDump(f);
}

TEST(RealDumps, EveryAidaLayoutDumpReplaysWithTheRightFacts) {
  std::vector<std::string> files = ListFiles(DumpDir() + "/aida", ".txt");
  ASSERT_GE(files.size(), 45u) << "dumps missing from " << DumpDir() << "/aida";
  for (const auto& f : files) CheckDump(f);
}

// The level 1 data and level 2 caches of every real Intel processor here
// (the virtual one aside), as Intel publishes them: size, ways, line.
TEST(RealDumps, IntelCachesAreThePublishedOnes) {
  const std::pair<const char*, const char*> published[] = {
      {"ia-32__p6__intel-pentium-ii-dixon", "16.0 Kb 4-Way 32 bytes|256.0 Kb 4-Way 32 bytes"},
      {"ia-32__p6__intel-celeron-coppermine", "16.0 Kb 4-Way 32 bytes|128.0 Kb 4-Way 32 bytes"},
      {"ia-32__netburst__intel-celeron-cpu-1.70ghz", "8.0 Kb 4-Way 64 bytes|128.0 Kb 4-Way 64 bytes"},
      {"ia-32__netburst__intel-pentium-4-cpu-2.40ghz", "8.0 Kb 4-Way 64 bytes|512.0 Kb 8-Way 64 bytes"},
      {"x86-64__netburst__intel-celeron-326", "16.0 Kb 8-Way 64 bytes|256.0 Kb 4-Way 64 bytes"},
      {"x86-64__core__intel-celeron-cpu-420", "32.0 Kb 8-Way 64 bytes|512.0 Kb 2-Way 64 bytes"},
      {"x86-64__nehalem__intel-core-cpu-q-820", "32.0 Kb 8-Way 64 bytes|256.0 Kb 8-Way 64 bytes"},
      {"x86-64__sandy-bridge__intel-celeron-cpu-g1610", "32.0 Kb 8-Way 64 bytes|256.0 Kb 8-Way 64 bytes"},
      {"x86-64__haswell__intel-core-i3-4130-cpu", "32.0 Kb 8-Way 64 bytes|256.0 Kb 8-Way 64 bytes"},
      {"x86-64__skylake__intel-cc150-cpu", "32.0 Kb 8-Way 64 bytes|256.0 Kb 4-Way 64 bytes"},
      {"x86-64__skylake__intel-core-i9-7980xe-cpu", "32.0 Kb 8-Way 64 bytes|1.0 Mb 16-Way 64 bytes"},
      {"x86-64__palm-cove__intel-core-i3-8121u-cpu", "32.0 Kb 8-Way 64 bytes|256.0 Kb 4-Way 64 bytes"},
      {"x86-64__sunny-cove__intel-core-i3-1005g1-cpu", "48.0 Kb 12-Way 64 bytes|512.0 Kb 8-Way 64 bytes"},
      {"x86-64__willow-cove__11th-gen-intel-core-i5-1135g7", "48.0 Kb 12-Way 64 bytes|1.3 Mb 20-Way 64 bytes"},
      {"x86-64__cypress-cove__11th-gen-intel-core-i7-11700k", "48.0 Kb 12-Way 64 bytes|512.0 Kb 8-Way 64 bytes"},
      {"x86-64__golden-cove__12th-gen-intel-core-i3-1220p", "48.0 Kb 12-Way 64 bytes|1.3 Mb 10-Way 64 bytes"},
      {"x86-64__raptor-cove__13th-gen-intel-core-i5-13500", "48.0 Kb 12-Way 64 bytes|1.3 Mb 10-Way 64 bytes"},
      {"x86-64__redwood-cove__intel-core-ultra-5-125h", "48.0 Kb 12-Way 64 bytes|2.0 Mb 16-Way 64 bytes"},
      {"x86-64__lion-cove__intel-core-ultra-5-245k", "48.0 Kb 12-Way 64 bytes|3.0 Mb 12-Way 64 bytes"},
      {"x86-atom__bonnell__intel-atom-cpu-230", "24.0 Kb 6-Way 64 bytes|512.0 Kb 8-Way 64 bytes"},
      {"x86-atom__saltwell__intel-atom-cpu-d2500", "24.0 Kb 6-Way 64 bytes|512.0 Kb 8-Way 64 bytes"},
      {"x86-atom__silvermont__genuine-intel-cpu-4000", "24.0 Kb 6-Way 64 bytes|1.0 Mb 16-Way 64 bytes"},
      {"x86-atom__airmont__intel-atom-x7-z8700-cpu", "24.0 Kb 6-Way 64 bytes|1.0 Mb 16-Way 64 bytes"},
      {"x86-atom__goldmont__intel-atom-cpu-c3958", "24.0 Kb 6-Way 64 bytes|2.0 Mb 16-Way 64 bytes"},
      {"x86-atom__goldmont-plus__intel-celeron-j4105-cpu", "24.0 Kb 6-Way 64 bytes|4.0 Mb 16-Way 64 bytes"},
      {"x86-atom__tremont__intel-celeron-j6412", "32.0 Kb 8-Way 64 bytes|1.5 Mb 12-Way 64 bytes"},
      {"x86-atom__gracemont__intel-core-3-n355", "32.0 Kb 8-Way 64 bytes|2.0 Mb 16-Way 64 bytes"},
  };
  for (const auto& [dump, caches] : published) {
    ScopedMachine scope(CreateReplayMachine(ParseDumpFile(DumpDir() + "/intel__" + dump + ".cpuid-r")));
    ResetCpuRoot();
    const auto rows = Rows(BuildReport());
    ResetCpuRoot();
    std::string found;
    for (const char* page : {"#0/Cache/Level 1/Data", "#0/Cache/Level 2"}) {
      found += (found.empty() ? "" : "|") + Value(rows, page, "Size") + " " +
               Value(rows, page, "Associativity") + " " + Value(rows, page, "Line Size");
    }
    EXPECT_EQ(found, caches) << dump;
  }
  size_t intel = 0;
  for (const auto& f : ListFiles(DumpDir(), ".cpuid-r"))
    intel += f.find("/intel__") != std::string::npos && f.find("qemu") == std::string::npos;
  EXPECT_EQ(intel, std::size(published)) << "an Intel dump without its published caches";
}

// The same processor in both layouts gives the same pages for its first
// processor.
TEST(RealDumps, BothLayoutsOfAProcessorAgree) {
  std::vector<std::string> files = ListFiles(DumpDir() + "/aida", ".txt");
  ASSERT_GE(files.size(), 45u) << "dumps missing from " << DumpDir() << "/aida";
  size_t compared = 0;
  for (const auto& aida : files) {
    std::string base = aida.substr(aida.rfind('/') + 1);
    std::string tool = DumpDir() + "/" + base.substr(0, base.size() - 4) + ".cpuid-r";
    std::ifstream probe(tool);
    if (!probe) continue;
    auto first_processor = [](const std::string& path) {
      ScopedMachine scope(CreateReplayMachine(ParseDumpFile(path)));
      ResetCpuRoot();
      std::string out;
      for (const auto& r : Rows(BuildReport())) {
        if (r[0].rfind("#0", 0) == 0 && (r[0].size() == 2 || r[0][2] == '/')) {
          out += r[0] + "\t" + r[1] + "\t" + r[2] + "\n";
        }
      }
      ResetCpuRoot();
      return out;
    };
    EXPECT_EQ(first_processor(aida), first_processor(tool)) << base;
    ++compared;
  }
  EXPECT_GT(compared, 40u);
}

}  // namespace
}  // namespace zt::cpuid
