// What the windows copy: a page of the CPU information window is exactly its
// lines of the `zettrim-cpuinfo` report, the statistics' figures come with
// their captions.
#include "dialogs/copy_texts.h"

#include <gtest/gtest.h>

#include "cpuid/cpu_root.h"
#include "cpuid/info_pages.h"
#include "cpuid/replay.h"
#include "cpuid/report.h"
#include "support/pentium_iii_pair_dump.h"

namespace zt {
namespace {

TEST(CopyTexts, ThePagesCopiedOneByOneMakeUpTheReport) {
  cpuid::ScopedMachine replay(cpuid::CreateReplayMachine(cpuid::ParseDump(test::kPentiumIIIPair)));
  cpuid::ResetCpuRoot();
  std::string pages = "Library\tVersion\t" + cpuid::CpuRoot().Version()->AsVersion() + "\n";
  for (const cpuid::InfoPage& page : cpuid::BuildAllPages()) {
    EXPECT_EQ(PageReportPath(page.code), page.path);
    pages += PageReportText(page.code);
  }
  EXPECT_EQ(pages, cpuid::BuildReport());
  EXPECT_EQ(PageReportPath(153), "#1/Cache/Level 2");
  // Grouping nodes and codes of no node have no page in the report.
  EXPECT_EQ(PageReportText(cpuid::kNodePlaceholder), "");
  EXPECT_EQ(PageReportText(253), "") << "there is no third processor";
  cpuid::ResetCpuRoot();
}

TEST(CopyTexts, TheStatisticsFiguresComeWithTheirCaptionsInTheWindowsOrder) {
  StatisticsTexts texts = NoMonitorTexts();
  texts[StatisticsValue::CpuUsageMax] = "100.00 %";
  texts[StatisticsValue::MemoryUsageMin] = "45.3 %  (3,711 MB)";
  texts[StatisticsValue::TimeStarted] = "16 Dec 2013, 09:05:07";
  EXPECT_EQ(StatisticsCopyText(texts),
            "CPU使用率 最大：\t100.00 %\n"
            "CPU使用率 平均：\t??\n"
            "CPU使用率 最小：\t??\n"
            "内存使用 最大：\t??\n"
            "内存使用 平均：\t??\n"
            "内存使用 最小：\t45.3 %  (3,711 MB)\n"
            "计数器 样本：\t??\n"
            "计数器 实际速率：\t??\n"
            "时间 运行：\t??\n"
            "时间 开始：\t16 Dec 2013, 09:05:07\n");
}

}  // namespace
}  // namespace zt
