#include "sampling/history_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include "config/config.h"
#include "util/platform.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

class HistoryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigToDefaults();
    KeepHistory = true;
    dir_ = fs::temp_directory_path() /
           ("zt-history-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    path_ = KeptHistoryPath((dir_ / "Zettrim.ini").u8string());
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
    ResetConfigToDefaults();
  }
  void Write(const std::string& bytes) { std::ofstream(fs::u8path(path_), std::ios::binary) << bytes; }
  std::string Read() {
    std::ifstream in(fs::u8path(path_), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static MinuteRecord Minute(int64_t time) {
    MinuteRecord r;
    r.time = time, r.load_mean = r.load_min = r.load_max = 5;
    return r;
  }

  fs::path dir_;
  std::string path_;
};

const int64_t kNow = std::llround(DateTimeFromParts(2024, 3, 5, 14, 0, 0, 0) * 86400);

// Rows of 40 and 2 days ago, 10 minutes and 1 minute ago: the last day
// fills the minutes, and the 40-day row is trimmed away.
TEST_F(HistoryFileTest, TheLastDayFillsTheMinutesAndOldRowsAreTrimmed) {
  const std::string heading = "\xEF\xBB\xBFTime,my own heading\r\n";
  const std::string recent = HistoryCsvRow(Minute(kNow - 600), HistoryScale::kMinutes) +
                             HistoryCsvRow(Minute(kNow - 60), HistoryScale::kMinutes);
  const std::string two_days = HistoryCsvRow(Minute(kNow - 2 * 86400), HistoryScale::kMinutes);
  Write(heading + HistoryCsvRow(Minute(kNow - 40 * 86400), HistoryScale::kMinutes) + two_days + recent);
  HistoryKeeper keeper(path_, Language::English);
  History history;
  history.FillMinutes(keeper.Load(kNow));
  const HistoryView minutes = history.Snapshot(HistoryScale::kMinutes);
  ASSERT_EQ(minutes.records.size(), 2u);
  EXPECT_EQ(minutes.records[0].time, kNow - 600);
  EXPECT_EQ(Read(), heading + two_days + recent);
  keeper.MinuteFinished(Minute(kNow));
  EXPECT_EQ(Read(), heading + two_days + recent + HistoryCsvRow(Minute(kNow), HistoryScale::kMinutes));
  EXPECT_EQ(keeper.Status(Language::English), "");
}

// A file with lines that cannot be read is kept as it is: never trimmed,
// new rows after its last line, and the status line says so.
TEST_F(HistoryFileTest, DamagedFileIsKeptAndAppendedTo) {
  const std::string bytes = HistoryCsvHeading(HistoryScale::kMinutes, Language::Chinese) +
                            HistoryCsvRow(Minute(kNow - 40 * 86400), HistoryScale::kMinutes) + "garbage,1,2\r\n" +
                            HistoryCsvRow(Minute(kNow - 120), HistoryScale::kMinutes) + std::string(5000, 'x');
  Write(bytes);
  HistoryKeeper keeper(path_, Language::Chinese);
  EXPECT_EQ(keeper.Load(kNow).size(), 1u);
  keeper.MinuteFinished(Minute(kNow));
  keeper.MinuteFinished(Minute(kNow + 86400 + 60));  // a day later: still not trimmed
  EXPECT_EQ(Read(), bytes + "\r\n" + HistoryCsvRow(Minute(kNow), HistoryScale::kMinutes) +
                        HistoryCsvRow(Minute(kNow + 86400 + 60), HistoryScale::kMinutes));
  const std::string status = keeper.Status(Language::English);
  EXPECT_NE(status.find("cannot be read"), std::string::npos);
  EXPECT_EQ(status.find("\n"), std::string::npos);  // said once
}

TEST_F(HistoryFileTest, WithTheSettingOffNoFileIsReadOrWritten) {
  KeepHistory = false;
  Write(HistoryCsvRow(Minute(kNow - 60), HistoryScale::kMinutes));
  HistoryKeeper keeper(path_, Language::Chinese);
  EXPECT_TRUE(keeper.Load(kNow).empty());
  keeper.MinuteFinished(Minute(kNow));
  EXPECT_EQ(Read(), HistoryCsvRow(Minute(kNow - 60), HistoryScale::kMinutes));
}

// Switched off, the file is the user's to move; switched on again it is
// looked at afresh.  After the last row (exit, session end) nothing follows.
TEST_F(HistoryFileTest, KeepingAgainLooksAtTheFileAfreshAndNothingFollowsTheLastRow) {
  HistoryKeeper keeper(path_, Language::English);
  keeper.MinuteFinished(Minute(kNow - 120));
  KeepHistory = false;
  keeper.MinuteFinished(Minute(kNow - 60));
  fs::remove(fs::u8path(path_));
  KeepHistory = true;
  keeper.MinuteFinished(Minute(kNow));
  const std::string expected =
      HistoryCsvHeading(HistoryScale::kMinutes, Language::English) + HistoryCsvRow(Minute(kNow), HistoryScale::kMinutes);
  EXPECT_EQ(Read(), expected);
  keeper.Close();
  keeper.MinuteFinished(Minute(kNow + 60));
  EXPECT_EQ(Read(), expected);
}

// Random bytes, quotes, commas, line breaks and overlong lines: never fatal,
// and what the file held stays at its start.
TEST_F(HistoryFileTest, RandomFilesAreNeitherFatalNorDestroyed) {
  std::mt19937 random(25);
  const std::string pieces[] = {",", "\"", "\r\n", "\n", "2024-03-05 13:59:00", "12.5", "\xEF\xBB\xBF", "\xFF",
                                std::string(3000, '7')};
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const int parts = static_cast<int>(random() % 40);
    for (int i = 0; i < parts; ++i)
      bytes += random() % 2 ? pieces[random() % std::size(pieces)] : std::string(1, static_cast<char>(random()));
    ReadKeptHistoryText(bytes);
    if (round % 20 != 0) continue;
    Write(bytes);
    HistoryKeeper keeper(path_, Language::Chinese);
    keeper.Load(kNow);
    keeper.MinuteFinished(Minute(kNow));
    EXPECT_EQ(Read().substr(0, bytes.size()), bytes) << round;
  }
}

#ifndef _WIN32
// A full disk, as a limit on the file's size makes it: the rows that cannot
// be written leave nothing behind, and the failure is told once.
TEST_F(HistoryFileTest, FullDiskIsToldOnceAndLeavesNoHalfRow) {
  const std::string bytes = HistoryCsvHeading(HistoryScale::kMinutes, Language::English);
  Write(bytes);
  HistoryKeeper keeper(path_, Language::English);
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old_limit;
  limit.rlim_cur = bytes.size() + 20;  // room for part of a row only
  setrlimit(RLIMIT_FSIZE, &limit);
  keeper.MinuteFinished(Minute(kNow));
  keeper.MinuteFinished(Minute(kNow + 60));
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_EQ(Read(), bytes);
  const std::string status = keeper.Status(Language::English);
  EXPECT_NE(status.find("cannot be written"), std::string::npos);
  EXPECT_EQ(status.find('\n'), std::string::npos);
  keeper.MinuteFinished(Minute(kNow + 120));  // room again: the row goes in whole
  EXPECT_EQ(Read(), bytes + HistoryCsvRow(Minute(kNow + 120), HistoryScale::kMinutes));
}
#endif

}  // namespace
}  // namespace zt
