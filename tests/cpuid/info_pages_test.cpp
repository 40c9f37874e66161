#include "cpuid/info_pages.h"

#include <gtest/gtest.h>

#include "cpuid/cpu_root.h"
#include "cpuid/replay.h"
#include "cpuid/report.h"

namespace zt::cpuid {
namespace {

// Two AMD processors that differ only in their level 2 cache; the brand
// text holds a NUL in the middle.  No power-management leaf, no Transmeta
// range.
const char kTwoAmd[] =
    "------[ Logical CPU #0 ]------\n"
    "CPUID 00000000: 00000001-68747541-444D4163-69746E65\n"
    "CPUID 00000001: 00000681-00000000-00000000-0383FBFF\n"
    "CPUID 80000000: 80000006-68747541-444D4163-69746E65\n"
    "CPUID 80000001: 00000781-00000000-00000000-C1C3FBFF\n"
    "CPUID 80000002: 20444D41-00000041-4B4E554A-00000000\n"
    "CPUID 80000005: 0408FF08-FF20FF10-40020140-40020140\n"
    "CPUID 80000006: 00000000-41004100-01008140-00000000\n"
    "------[ Logical CPU #1 ]------\n"
    "CPUID 00000000: 00000001-68747541-444D4163-69746E65\n"
    "CPUID 00000001: 00000681-00000000-00000000-0383FBFF\n"
    "CPUID 80000000: 80000006-68747541-444D4163-69746E65\n"
    "CPUID 80000001: 00000781-00000000-00000000-C1C3FBFF\n"
    "CPUID 80000002: 20444D41-00000041-4B4E554A-00000000\n"
    "CPUID 80000005: 0408FF08-FF20FF10-40020140-40020140\n"
    "CPUID 80000006: 00000000-41004100-02008140-00000000\n";

class InfoPagesTest : public ::testing::Test {
 protected:
  void Use(const std::string& text) {
    scope_ = std::make_unique<ScopedMachine>(CreateReplayMachine(ParseDump(text)));
    ResetCpuRoot();
  }
  void TearDown() override {
    scope_.reset();
    ResetCpuRoot();
  }
  std::unique_ptr<ScopedMachine> scope_;
};

std::string Value(const std::vector<InfoRow>& rows, const std::string& caption) {
  for (const auto& r : rows) {
    if (r.caption == caption) return r.value;
  }
  return "<missing>";
}

TEST_F(InfoPagesTest, TreeHoldsEveryGroupWithItsCodes) {
  Use(kTwoAmd);
  std::vector<InfoNode> tree = BuildNavigationTree();
  ASSERT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree[0].caption, "Processor Count");
  EXPECT_EQ(tree[0].code, 90);
  EXPECT_EQ(tree[1].caption, "Processors (2)");
  EXPECT_EQ(tree[1].code, 100);
  ASSERT_EQ(tree[1].children.size(), 2u);
  const InfoNode& cpu1 = tree[1].children[1];
  // The name is cut at its NUL, as a control shows it.
  EXPECT_EQ(cpu1.caption, "#1 AMD A");
  EXPECT_EQ(cpu1.code, 110);
  std::vector<std::string> groups;
  for (const auto& g : cpu1.children) groups.push_back(g.caption + ":" + std::to_string(g.code));
  EXPECT_EQ(groups, (std::vector<std::string>{"CPUID:100", "Signature:130", "功能集:100",
                                              "Cache:100", "Errata:170", "Vendor:160"}));
  const InfoNode& cache = cpu1.children[3];
  ASSERT_EQ(cache.children.size(), 4u);
  EXPECT_EQ(cache.children[0].caption, "Level 1");
  EXPECT_EQ(cache.children[0].children[2].caption, "Unified");
  EXPECT_EQ(cache.children[0].children[2].code, 152);
  EXPECT_EQ(cache.children[1].caption, "Level 2");
  EXPECT_EQ(cache.children[1].code, 153);
  EXPECT_EQ(cpu1.children[2].children[1].caption, "Standard (Ex)");
  EXPECT_EQ(cpu1.children[2].children[2].caption, "扩展");
  EXPECT_EQ(cpu1.children[0].children[1].code, 121);
}

TEST_F(InfoPagesTest, PagesFollowTheNodeCode) {
  Use(kTwoAmd);
  EXPECT_EQ(PageRows(100), (std::vector<InfoRow>{{"No Items", "Double-click to expand"}}));
  EXPECT_TRUE(PageRows(180).empty());  // a group without a page
  std::vector<InfoRow> counts = PageRows(90);
  ASSERT_EQ(counts.size(), 2u);
  EXPECT_EQ(counts[0], (InfoRow{"Available processors", "2"}));
  EXPECT_EQ(counts[1].caption, "Virtual processors");
  // Processor 1's level 2 node shows processor 1's level 2 cache.
  EXPECT_EQ(Value(PageRows(53), "Size"), "256.0 Kb");
  EXPECT_EQ(Value(PageRows(153), "Size"), "512.0 Kb");
  std::vector<InfoRow> l2 = PageRows(153);
  ASSERT_EQ(l2.size(), 4u);
  EXPECT_EQ(l2[0].caption, "Available");
  EXPECT_EQ(l2[1].caption, "Associativity");
  EXPECT_EQ(l2[2], (InfoRow{"Line Size", "64 bytes"}));

  std::vector<InfoRow> summary = PageRows(110);
  ASSERT_EQ(summary.size(), 2u);  // no serial number row without the PSN bit
  EXPECT_EQ(summary[0], (InfoRow{"Name", "AMD A"}));
  EXPECT_EQ(summary[1], (InfoRow{"Speed", "0 Mhz"}));

  EXPECT_EQ(PageRows(122), (std::vector<InfoRow>{{"Available", "No"},
                                                 {"Maximum command", "$00000000"}}));
  EXPECT_EQ(PageRows(121), (std::vector<InfoRow>{{"Available", "Yes"},
                                                 {"Maximum command", "$80000006"}}));
  std::vector<InfoRow> sig = PageRows(130);
  EXPECT_EQ(sig, (std::vector<InfoRow>{{"Generic", "x86 Family 6 Model 8 Stepping 1"},
                                       {"Type", "0"},
                                       {"Family", "6"},
                                       {"Model", "8"},
                                       {"Stepping", "1"},
                                       {"Brand", "0"}}));
  EXPECT_EQ(PageRows(160), (std::vector<InfoRow>{{"Name", "Advanced Micro Devices"},
                                                 {"Signature", "AuthenticAMD"},
                                                 {"Feature set", "Amd"},
                                                 {"Cache detect", "扩展CPUID"}}));
  std::vector<InfoRow> errata = PageRows(170);
  ASSERT_EQ(errata.size(), 2u);
  EXPECT_EQ(errata[0].caption, "FDiv Error");
  EXPECT_EQ(errata[1].caption, "Duron cache");
}

TEST_F(InfoPagesTest, FeaturePagesListOnlyNamedBitsOfAvailableSets) {
  Use(kTwoAmd);
  std::vector<InfoRow> standard = PageRows(41);
  ASSERT_GT(standard.size(), 2u);
  EXPECT_EQ(standard[0], (InfoRow{"Feature Set Available", "Yes"}));
  EXPECT_EQ(standard[1].caption, "Number of features");
  EXPECT_EQ(standard.size(), 2u + std::stoul(standard[1].value));
  EXPECT_EQ(standard[2], (InfoRow{"FPU", "Yes"}));
  for (const auto& r : standard) EXPECT_NE(r.caption, "RES");

  // Leaf 0x80000007 is beyond the extended maximum: the power set is missing.
  EXPECT_EQ(PageRows(44), (std::vector<InfoRow>{{"Feature Set Available", "No"},
                                                {"Number of features", "0"}}));
  FeatureTable power = BuildFeatureTable(kFeaturesPower);
  EXPECT_EQ(power.label, "Feature Set Unavailable.");
  EXPECT_TRUE(power.rows.empty());
  FeatureTable table = BuildFeatureTable(kFeaturesStandard);
  EXPECT_EQ(table.label, "Available Features (" + standard[1].value + "):");
  ASSERT_EQ(table.rows.size(), standard.size() - 2);
  EXPECT_EQ(table.rows[0].bit, 0);
  EXPECT_EQ(table.rows[0].short_name, "FPU");
  EXPECT_TRUE(table.rows[0].available);
}

TEST_F(InfoPagesTest, ReportListsEveryPageInTreeOrder) {
  Use(kTwoAmd);
  std::vector<InfoPage> pages = BuildAllPages();
  ASSERT_EQ(pages.size(), 1u + 2u * 17u);
  EXPECT_EQ(pages[0].path, "Processor Count");
  EXPECT_EQ(pages[1].path, "#0");
  EXPECT_EQ(pages[2].path, "#0/CPUID/Standard");
  EXPECT_EQ(pages[13].path, "#0/Cache/Level 2");
  EXPECT_EQ(pages[13].code, 53);
  EXPECT_EQ(pages[17].path, "#0/Vendor");
  EXPECT_EQ(pages[18].path, "#1");
  EXPECT_EQ(pages[34].path, "#1/Vendor");

  std::string report = BuildReport();
  EXPECT_EQ(report.rfind("Library\tVersion\t4.3.01\n"
                         "Processor Count\tAvailable processors\t2\n",
                         0),
            0u);
  EXPECT_NE(report.find("\n#1\tName\tAMD A\n"), std::string::npos);
  EXPECT_NE(report.find("\n#1/Cache/Level 2\tSize\t512.0 Kb\n"), std::string::npos);
  EXPECT_NE(report.find("\n#0/CPUID/Transmeta\tMaximum command\t$00000000\n"), std::string::npos);
  EXPECT_EQ(report.find('\r'), std::string::npos);
  EXPECT_EQ(report.back(), '\n');
}

TEST_F(InfoPagesTest, SerialRowOnlyWithTheSerialNumberBit) {
  Use("CPUID 00000000: 00000003-756E6547-6C65746E-49656E69\n"
      "CPUID 00000001: 00000686-00000000-00000000-0387FBFF\n"
      "CPUID 00000003: 00000000-00000000-11223344-55667788\n");
  std::vector<InfoRow> summary = PageRows(10);
  ASSERT_EQ(summary.size(), 3u);
  EXPECT_EQ(summary[2].caption, "Serial");
  EXPECT_NE(summary[2].value.find('-'), std::string::npos);
}

TEST(DisplayCpuText, CutsAtNulAndKeepsTheReportOnOneLine) {
  EXPECT_EQ(DisplayCpuText(std::string("Intel\0Pentium", 13)), "Intel");
  EXPECT_EQ(DisplayCpuText("a\tb\nc\x7f"), "a?b?c?");
  EXPECT_EQ(DisplayCpuText("Caf\xE9"), "Caf\xC3\xA9");
  EXPECT_EQ(DisplayCpuText("\xFF"), "\xC3\xBF");
  EXPECT_EQ(DisplayCpuText(""), "");
}

}  // namespace
}  // namespace zt::cpuid
