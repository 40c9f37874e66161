// Names and caches of real processors, replayed from the recorded dumps in
// tests/data/cpuid-dumps.  The expected values
// were decoded by hand from each dump's registers.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cpuid/cpu_root.h"
#include "cpuid/dump_parser.h"
#include "cpuid/replay.h"

namespace zt::cpuid {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

fs::path DumpFolder() { return fs::path(ZT_TEST_DATA_DIR) / "cpuid-dumps"; }

struct CacheRow {
  uint32_t size;
  uint32_t line;
  const char* associativity;
};

struct Expected {
  const char* file;  // relative to the dump folder
  std::string name;
  bool from_table;
  CacheRow code, data, level2, level3, trace;
};

constexpr CacheRow kAbsent{0, 0, "None"};

void ExpectCache(const char* what, const std::shared_ptr<ICpuCache>& cache, const CacheRow& row) {
  SCOPED_TRACE(what);
  EXPECT_EQ(cache->Size()->Value(), row.size);
  EXPECT_EQ(cache->Available()->Value(), row.size != 0);
  EXPECT_EQ(cache->LineSize()->Value(), row.line);
  EXPECT_EQ(cache->Associativity()->Name(), row.associativity);
}

TEST(NamesOfRealDumps, HandDecodedProcessors) {
  ASSERT_TRUE(fs::is_directory(DumpFolder())) << "no dump folder at " << DumpFolder();
  const std::vector<Expected> cases = {
      {"intel__ia-32__p6__intel-pentium-ii-dixon.cpuid-r", "Intel Mobile Pentium II", true,
       {16384, 32, "4-Way"}, {16384, 32, "4-Way"}, {262144, 32, "4-Way"}, kAbsent, kAbsent},
      {"intel__ia-32__p6__intel-celeron-coppermine.cpuid-r", "Intel Celeron", true,
       {16384, 32, "4-Way"}, {16384, 32, "4-Way"}, {131072, 32, "4-Way"}, kAbsent, kAbsent},
      {"intel__ia-32__netburst__intel-pentium-4-cpu-2.40ghz.cpuid-r",
       "Intel(R) Pentium(R) 4 CPU 2.40GHz", false, kAbsent, {8192, 64, "4-Way"},
       {524288, 64, "8-Way"}, kAbsent, {12288, 0, "8-Way"}},
      {"amd__k5__amd-k5-pr100.cpuid-r", "AMD K5", true, kAbsent, kAbsent, kAbsent, kAbsent,
       kAbsent},
      {"amd__k6__amd-k6-2-chomper-extended.cpuid-r", "AMD-K6(tm) 3D processor", false,
       {32768, 32, "2-Way"}, {32768, 32, "2-Way"}, kAbsent, kAbsent, kAbsent},
      {"amd__k7__amd-athlon-processor.cpuid-r", "AMD Athlon(tm) Processor", false,
       {65536, 64, "2-Way"}, {65536, 64, "2-Way"}, {524288, 64, "16-Way"}, kAbsent, kAbsent},
      {"amd__k8__amd-athlon-64-processor-2800+.cpuid-r", "AMD Athlon(tm) 64 Processor 2800+",
       false, {65536, 64, "2-Way"}, {65536, 64, "2-Way"}, {524288, 64, "None"}, kAbsent,
       kAbsent},
      {"via__samuel__via-samuel.cpuid-r", "VIA Samuel\0\0M"s, false, {65536, 32, "4-Way"},
       {65536, 32, "4-Way"}, kAbsent, kAbsent, kAbsent},
      {"via__ezra__via-c3-ezra.cpuid-r", "VIA C3 Ezra", false, {65536, 32, "4-Way"},
       {65536, 32, "4-Way"}, {65536, 32, "4-Way"}, kAbsent, kAbsent},
      {"via__nehemiah__via-nehemiah.cpuid-r", "VIA Nehemiah", false, {65536, 32, "4-Way"},
       {65536, 32, "4-Way"}, kAbsent, kAbsent, kAbsent},
      {"aida/transmeta__efficeon.txt", "20040723 20:41 official release 6.0.4#6", false,
       {131072, 64, "4-Way"}, {65536, 32, "16-Way"}, {1048576, 128, "None"}, kAbsent, kAbsent},
  };
  for (const Expected& e : cases) {
    SCOPED_TRACE(e.file);
    const fs::path path = DumpFolder() / e.file;
    if (!fs::exists(path)) {
      ADD_FAILURE() << "missing dump";
      continue;
    }
    ScopedMachine machine(CreateReplayMachine(ParseDumpFile(path.string())));
    const auto info = CpuRoot().ProcessorInformation(0);
    const auto name = info->Name();
    EXPECT_EQ(name->Name(), e.name);
    EXPECT_EQ(name->FromTable()->Value(), e.from_table);
    const auto caches = info->Cache();
    ExpectCache("L1 code", caches->Level1()->Code(), e.code);
    ExpectCache("L1 data", caches->Level1()->Data(), e.data);
    ExpectCache("L1 unified", caches->Level1()->Unified(), kAbsent);
    ExpectCache("L2", caches->Level2(), e.level2);
    ExpectCache("L3", caches->Level3(), e.level3);
    ExpectCache("trace", caches->Trace(), e.trace);
  }
}

// Every dump: a name that is never empty and never padded, caches that are
// consistent (an absent cache has no line and no associativity), and the
// same answers from the two layouts of the same processor.
TEST(NamesOfRealDumps, EveryDumpGivesATidyNameAndConsistentCaches) {
  ASSERT_TRUE(fs::is_directory(DumpFolder())) << "no dump folder at " << DumpFolder();
  struct Summary {
    std::string name;
    std::vector<uint32_t> caches;
  };
  auto summarise = [](const fs::path& path) {
    ScopedMachine machine(CreateReplayMachine(ParseDumpFile(path.string())));
    const auto info = CpuRoot().ProcessorInformation(0);
    Summary s;
    s.name = info->Name()->Name();
    const auto c = info->Cache();
    for (const auto& cache : {c->Level1()->Code(), c->Level1()->Data(), c->Level1()->Unified(),
                              c->Level2(), c->Level3(), c->Trace()}) {
      const uint32_t size = cache->Size()->Value();
      const uint32_t line = cache->LineSize()->Value();
      const auto assoc = cache->Associativity();
      if (size == 0) {
        EXPECT_EQ(line, 0u);
        EXPECT_EQ(assoc->Name(), "None");
      }
      s.caches.insert(s.caches.end(), {size, line, assoc->Value()->Value()});
    }
    return s;
  };
  size_t checked = 0;
  for (const auto& entry : fs::directory_iterator(DumpFolder())) {
    if (entry.path().extension() != ".cpuid-r") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const Summary s = summarise(entry.path());
    ASSERT_FALSE(s.name.empty());
    EXPECT_GT(static_cast<unsigned char>(s.name.front()), 32);
    EXPECT_GT(static_cast<unsigned char>(s.name.back()), 32);
    const fs::path aida =
        DumpFolder() / "aida" / entry.path().filename().replace_extension(".txt");
    if (fs::exists(aida)) {
      const Summary a = summarise(aida);
      EXPECT_EQ(a.name, s.name);
      EXPECT_EQ(a.caches, s.caches);
    }
    ++checked;
  }
  EXPECT_GT(checked, 40u);
}

}  // namespace
}  // namespace zt::cpuid
