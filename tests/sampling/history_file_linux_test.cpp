#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/config.h"
#include "sampling/history_file.h"

namespace zt {
namespace {

// A full disk, as the limit on a file's size makes it: the rows that cannot
// be written leave nothing behind, and the failure is told once.
TEST(HistoryFileLinux, FullDiskIsToldOnceAndLeavesNoHalfRow) {
  const std::string path = (std::filesystem::temp_directory_path() / "zt-history-full.history.csv").string();
  const std::string bytes = HistoryCsvHeading(HistoryScale::kMinutes, HistoryLanguage::kEnglish);
  std::ofstream(path, std::ios::binary) << bytes;
  ResetConfigToDefaults();
  KeepHistory = true;
  HistoryKeeper keeper(path, HistoryLanguage::kEnglish);
  MinuteRecord r;
  r.time = 3900000000;
  r.busy_count = 1;
  r.busy[0].SetName("a-rather-long-process-name.exe");

  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old_limit;
  limit.rlim_cur = bytes.size() + 20;  // room for part of a row only
  setrlimit(RLIMIT_FSIZE, &limit);
  keeper.MinuteFinished(r);
  keeper.MinuteFinished(r);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);

  EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
  const std::string status = keeper.Status(HistoryLanguage::kEnglish);
  EXPECT_NE(status.find("cannot be written"), std::string::npos);
  EXPECT_EQ(status.find('\n'), std::string::npos);
  keeper.MinuteFinished(r);  // room again: the row goes in whole
  EXPECT_GT(std::filesystem::file_size(path), bytes.size() + 20);
  std::filesystem::remove(path);
  ResetConfigToDefaults();
}

}  // namespace
}  // namespace zt
