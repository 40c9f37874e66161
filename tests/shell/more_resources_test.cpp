#include "shell/more_resources.h"

#include <gtest/gtest.h>

#include "shell/tray_logic.h"
#include "util/texts.h"
#include "util/unicode.h"

namespace zt {
namespace {

TEST(MoreResources, RatesLineAndTipShowOnlyWhatWasReadAndTheLargestTipFitsTheShell) {
  const std::pair<double, const char*> rates[] = {{999.4, "999 KB/s"}, {999.6, "1,0 MB/s"}, {10188, "9,9 MB/s"},
      {10240, "10 MB/s"}, {5000.0 * 1024 * 1024 * 1024, "5,000 TB/s"}, {kNoReading, ""}, {-1, ""}, {INFINITY, ""}};
  for (const auto& [kb, text] : rates) EXPECT_EQ(FormatRate(kb, ","), text) << kb;
  SetCurrentLanguage(Language::English);
  const float no = kNoReading;
  const struct { ResourceFigures f; const char* line; const char* tip; } rows[] = {
      {{1024, 204.8f, 35.4f, 120, 8, 12.5f, 1536}, "Disk 1.2 MB/s 35%  Net \u2193120 KB/s \u21918 KB/s  GPU 12%",
       "\rDisk: 1.2 MB/s 35%\rNet: \u2193120 KB/s \u21918 KB/s\rGPU: 12% 1,536 MB"},
      {{no, no, no, 0, 3, no, no}, "Net \u21930 KB/s \u21913 KB/s", "\rNet: \u21930 KB/s \u21913 KB/s"},
      {{no, no, 0, no, 2048, no, 512}, "Disk 0%  Net \u21912.0 MB/s  GPU 512 MB", "\rDisk: 0%\rNet: \u21912.0 MB/s\rGPU: 512 MB"},
      {{-1, no, no, no, no, no, no}, "\u2014", ""}};
  for (const auto& r : rows) {
    EXPECT_EQ(MoreResourcesLine(r.f, "."), r.line);
    EXPECT_EQ(MoreResourcesTipLines(r.f, "."), r.tip);
  }
  const float big = 999.0f * 1024 * 1024 * 1024;
  for (Language language : {Language::English, Language::Chinese}) {
    SetCurrentLanguage(language);
    const std::u16string tip = TrayTipText(100, 100) + Utf16(MoreResourcesTipLines({big, big, 100, big, big, 100, 1e6f}, "."));
    EXPECT_LE(tip.size(), kTrayTipMaxChars) << Utf8(tip);
  }
  EXPECT_EQ(MoreResourcesLine(rows[1].f, "."), "\u7f51\u7edc \u21930 KB/s \u21913 KB/s");
}

}  // namespace
}  // namespace zt
