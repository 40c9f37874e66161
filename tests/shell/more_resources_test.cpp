#include "shell/more_resources.h"

#include <gtest/gtest.h>

#include "shell/tray_logic.h"
#include "util/texts.h"
#include "util/unicode.h"

namespace zt {
namespace {

class MoreResources : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentLanguage(Language::English); }
  void TearDown() override { SetCurrentLanguage(Language::Chinese); }
};

TEST(FormatRate, ThreeFiguresAtMostInTheUnitThatFits) {
  struct Row { double kb; const char* text; };
  const Row rows[] = {{0, "0 KB/s"},          {8.4, "8 KB/s"},           {999.4, "999 KB/s"},
                      {999.6, "1,0 MB/s"},    {1228.8, "1,2 MB/s"},      {10188, "9,9 MB/s"},
                      {10240, "10 MB/s"},     {1023.0 * 1024, "1,0 GB/s"}, {35.0 * 1024, "35 MB/s"},
                      {2.1 * 1024 * 1024, "2,1 GB/s"}, {5000.0 * 1024 * 1024 * 1024, "5,000 TB/s"}};
  for (const Row& r : rows) EXPECT_EQ(FormatRate(r.kb, ","), r.text) << r.kb;
  for (double absent : {static_cast<double>(kNoReading), -1.0, static_cast<double>(INFINITY)})
    EXPECT_EQ(FormatRate(absent, "."), "") << absent;
}

TEST_F(MoreResources, LineAndTipShowOnlyWhatWasRead) {
  ResourceFigures all;
  all.disk_read = 1024;
  all.disk_write = 204.8f;
  all.disk_active = 35.4f;
  all.net_received = 120;
  all.net_sent = 8;
  all.gpu_load = 12.5f;
  all.gpu_memory = 1536;
  ResourceFigures net_only;  // what Wine tells
  net_only.net_received = 0;
  net_only.net_sent = 3;
  ResourceFigures partial;
  partial.disk_active = 0;
  partial.net_sent = 2048;
  partial.gpu_memory = 512;
  struct Row { const ResourceFigures* f; const char* line; const char* tip; };
  const Row rows[] = {
      {&all, "Disk 1.2 MB/s 35%  Net \u2193120 KB/s \u21918 KB/s  GPU 12%",
       "\rDisk: 1.2 MB/s 35%\rNet: \u2193120 KB/s \u21918 KB/s\rGPU: 12% 1,536 MB"},
      {&net_only, "Net \u21930 KB/s \u21913 KB/s", "\rNet: \u21930 KB/s \u21913 KB/s"},
      {&partial, "Disk 0%  Net \u21912.0 MB/s  GPU 512 MB", "\rDisk: 0%\rNet: \u21912.0 MB/s\rGPU: 512 MB"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(MoreResourcesLine(*r.f, "."), r.line);
    EXPECT_EQ(MoreResourcesTipLines(*r.f, "."), r.tip);
  }
  ResourceFigures none;
  none.disk_read = -1;  // a counter that went backwards is no reading
  EXPECT_EQ(MoreResourcesLine(none, "."), "\u2014");
  EXPECT_EQ(MoreResourcesTipLines(none, "."), "");
  SetCurrentLanguage(Language::Chinese);
  EXPECT_EQ(MoreResourcesLine(net_only, "."), "\u7f51\u7edc \u21930 KB/s \u21913 KB/s");
}

// The largest figures of every kind still leave the whole tip, CPU and
// memory lines too, within what the shell shows.
TEST_F(MoreResources, LargestTipFitsTheShellInBothLanguages) {
  ResourceFigures big;
  big.disk_read = big.disk_write = big.net_received = big.net_sent = 999.0f * 1024 * 1024 * 1024;
  big.disk_active = big.gpu_load = 100;
  big.gpu_memory = 999999;
  for (Language language : {Language::Chinese, Language::English}) {
    SetCurrentLanguage(language);
    const std::u16string tip = TrayTipText(100, 100) + Utf16(MoreResourcesTipLines(big, "."));
    EXPECT_LE(tip.size(), kTrayTipMaxChars) << Utf8(tip);
    EXPECT_EQ(LimitTrayTip(tip), tip);
  }
}

}  // namespace
}  // namespace zt
