#include "sampling/history_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include "config/config.h"
#include "support/wait_until.h"
#include "util/platform.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

const int64_t kNow = std::llround(DateTimeFromParts(2024, 3, 5, 14, 0, 0, 0) * 86400);
const KeptTime kAt{kNow, 60};

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
  static std::string Read(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string Read() const { return Read(path_); }
  static MinuteRecord Minute(int64_t time, int offset = 60) {
    MinuteRecord r;
    r.time = time, r.load_mean = r.load_min = r.load_max = 5, r.utc_offset = static_cast<int16_t>(offset);
    return r;
  }
  static std::string Row(int64_t time, int offset = 60) { return HistoryCsvRow(Minute(time, offset), HistoryScale::kMinutes); }
  static std::string Heading() { return HistoryCsvHeading(HistoryScale::kMinutes, Language::English); }

  fs::path dir_;
  std::string path_;
};

std::vector<int64_t> Times(const History& history) {
  std::vector<int64_t> times;
  for (const HistoryRecord& r : history.Snapshot(HistoryScale::kMinutes).records) times.push_back(r.time);
  return times;
}

// The last day fills the minutes (a row 5 hours old does, one exactly a
// day old does not), in the order of the rows' UTC times: a row three hours
// ahead of UTC, half an hour after now by its local time, was 2.5 hours
// ago.  Rows older than 31 days go to the file beside it, so that a clock
// set far ahead loses none; a row dated after now stays.
TEST_F(HistoryFileTest, TheLastDayFillsTheMinutesAndOldRowsMoveBeside) {
  const std::string heading = "\xEF\xBB\xBFTime,my own heading\r\n";
  const std::string old_rows = Row(kNow - 45 * 86400) + Row(kNow - 40 * 86400);
  const std::string rows = Row(kNow - 2 * 86400) + Row(kNow - 86400) + Row(kNow - 5 * 3600) + Row(kNow - 600) +
                           Row(kNow - 60) + Row(kNow + 1800, 180) + Row(kNow + 2 * 86400);
  Write(heading + old_rows + rows);
  History history;
  HistoryKeeper keeper(path_, Language::English);
  keeper.Start(&history, kAt);
  ASSERT_TRUE(keeper.Flush(10000));
  EXPECT_EQ(Times(history), std::vector<int64_t>({kNow - 5 * 3600, kNow + 1800, kNow - 600, kNow - 60}));
  EXPECT_EQ(Read(), heading + rows);
  EXPECT_EQ(Read(KeptHistoryOldPath(path_)), heading + old_rows);
  keeper.MinuteFinished(Minute(kNow));
  ASSERT_TRUE(keeper.Flush(10000));
  EXPECT_EQ(Read(), heading + rows + Row(kNow));
  EXPECT_EQ(keeper.Status(Language::English), "");
}

// A file from before the disks and the network were kept: its heading is
// written anew once, its rows as they were; the rows cut before stay.
TEST_F(HistoryFileTest, AnOlderHeadingIsWrittenAnewAndEveryRowKept) {
  const std::string heading = Heading(), row = Row(kNow - 120);
  const std::string older = heading.substr(0, heading.find(",Disk read")) + "\r\n";
  const std::string older_row = row.substr(0, row.size() - 2 - 9) + "\r\n";
  Write(older + older_row + "garbage\r\n");
  std::ofstream(fs::u8path(KeptHistoryOldPath(path_)), std::ios::binary) << older + older_row;
  HistoryKeeper keeper(path_, Language::English);
  History history;
  keeper.Start(&history, kAt);
  keeper.MinuteFinished(Minute(kNow));
  ASSERT_TRUE(keeper.Flush(10000));
  EXPECT_EQ(Read(), heading + older_row + "garbage\r\n" + Row(kNow));
  EXPECT_EQ(Read(KeptHistoryOldPath(path_)), older + older_row);
  EXPECT_EQ(Times(history), std::vector<int64_t>({kNow - 120}));
}

// A line that cannot be read is kept where it is, also through a trim; a
// last line cut short, zeros and all, is ended before the next row.
TEST_F(HistoryFileTest, UnreadableLinesAreCarriedOverAndACutShortTailIsEnded) {
  const std::string torn = "2024-03-05 13:59:00,5.0" + std::string(300, '\0');
  Write(Heading() + Row(kNow - 40 * 86400) + "garbage,1,2\r\n" + Row(kNow - 120) + torn);
  {
    HistoryKeeper keeper(path_, Language::Chinese);
    keeper.Start(nullptr, kAt);
    keeper.MinuteFinished(Minute(kNow));
    ASSERT_TRUE(keeper.Flush(10000));
    EXPECT_EQ(Read(), Heading() + "garbage,1,2\r\n" + Row(kNow - 120) + torn + "\r\n" + Row(kNow));
    EXPECT_EQ(Read(KeptHistoryOldPath(path_)), Heading() + Row(kNow - 40 * 86400));
    const std::string status = keeper.Status(Language::English);
    EXPECT_NE(status.find("cannot be read"), std::string::npos);
    EXPECT_EQ(status.find('\n'), std::string::npos);  // said once
  }

  // Zeros alone after the last row (the common power cut) are no line.
  Write(Heading() + Row(kNow - 60) + std::string(4096, '\0'));
  HistoryKeeper next(path_, Language::English);
  next.Start(nullptr, kAt);
  next.MinuteFinished(Minute(kNow + 60));
  ASSERT_TRUE(next.Flush(10000));
  EXPECT_EQ(Read(), Heading() + Row(kNow - 60) + std::string(4096, '\0') + "\r\n" + Row(kNow + 60));
  EXPECT_EQ(next.Status(Language::English), "");
}

// One row per minute: the minute a run ended in is not written again by a
// run that starts within it, and the minute the session ended in is not
// written again when the monitor finishes it.
TEST_F(HistoryFileTest, EachMinuteIsWrittenOnce) {
  {
    HistoryKeeper first(path_, Language::English);
    first.Start(nullptr, kAt);
    first.MinuteFinished(Minute(kNow));  // the exit's unfinished minute
  }
  struct NoProcesses : IProcessTimes {
    bool Read(std::vector<ProcessTime>&) override { return false; }
  } processes;
  ScopedOverride<IProcessTimes> use(processes);
  HistoryKeeper keeper(path_, Language::English);
  History history;
  history.SetMinuteSink(&keeper);
  keeper.Start(&history, kAt);
  HistorySample s;
  s.load_read = true, s.load = 5, s.utc_offset = 60, s.rate_ms = 1000;
  auto feed = [&](int64_t from, int64_t to) {
    for (int64_t t = from; t < to; ++t) {
      s.tick_ms = static_cast<uint64_t>(t - kNow + 100) * 1000;
      s.local_time = static_cast<double>(t) / 86400.0;
      history.AddSample(s);
    }
  };
  feed(kNow + 30, kNow + 90);   // the rest of the first minute, into the next
  history.EndMinutes();         // the session ends at kNow + 89 s
  feed(kNow + 90, kNow + 150);  // the monitor finishes that minute later
  ASSERT_TRUE(keeper.Flush(10000));
  EXPECT_EQ(Read(), Heading() + Row(kNow) + Row(kNow + 60));
  EXPECT_EQ(Times(history), std::vector<int64_t>({kNow, kNow + 60, kNow + 120}));
}

// Two running copies: one writes, the other reads and says so, and takes
// over when the first ends, without a minute twice.
TEST_F(HistoryFileTest, OfTwoRunningCopiesOneWrites) {
  auto first = std::make_unique<HistoryKeeper>(path_, Language::English);
  HistoryKeeper second(path_, Language::English);
  first->Start(nullptr, kAt);
  ASSERT_TRUE(first->Flush(10000));
  second.Start(nullptr, kAt);
  for (HistoryKeeper* keeper : {first.get(), &second}) keeper->MinuteFinished(Minute(kNow)), keeper->Flush(10000);
  EXPECT_EQ(Read(), Heading() + Row(kNow));
  EXPECT_NE(second.Status(Language::English).find("Another running copy"), std::string::npos);
  first.reset();
  second.MinuteFinished(Minute(kNow));
  second.MinuteFinished(Minute(kNow + 60));
  ASSERT_TRUE(second.Flush(10000));
  EXPECT_EQ(Read(), Heading() + Row(kNow) + Row(kNow + 60));
  EXPECT_EQ(second.Status(Language::English), "");
}

// A disk that answers when it pleases (a network share, a sleeping drive)
// and then refuses: the monitor's minutes and the window's status never
// wait for it, the refused rows are tried again, and the error goes once
// they are written.
class GatedDisk : public IHistoryDisk {
 public:
  FileReadStatus Read(const std::string&, const std::function<void(std::string_view)>&, std::string*) override {
    return FileReadStatus::kNotFound;
  }
  bool Append(const std::string&, std::string_view, std::string_view lines, std::string* reason) override {
    std::unique_lock<std::mutex> lock(mutex);
    ++calls;
    // A fault that makes someone wait for the disk must not hang the run.
    opened = opened || !open.wait_for(lock, std::chrono::seconds(10), [this] { return opened; });
    if (refuse > 0) {
      --refuse;
      *reason = "in use";
      return false;
    }
    written.append(lines);
    return true;
  }
  bool Replace(const std::string&, const std::string&, std::string*) override { return false; }
  FileLock Lock(const std::string&) override { return FileLock(FileLock::State::kHeld); }
  bool Opened() {
    std::lock_guard<std::mutex> lock(mutex);
    return opened;
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex);
    opened = true;
    open.notify_all();
  }
  std::mutex mutex;
  std::condition_variable open;
  bool opened = false;
  int calls = 0, refuse = 2;
  std::string written;
};

TEST_F(HistoryFileTest, NoOneWaitsForASlowDiskAndRefusedRowsAreTriedAgain) {
  GatedDisk disk;
  ScopedOverride<IHistoryDisk> use(disk);
  HistoryKeeper keeper(path_, Language::English);
  keeper.Start(nullptr, kAt);
  keeper.MinuteFinished(Minute(kNow));
  ASSERT_TRUE(test::WaitUntil([&] {
    std::lock_guard<std::mutex> lock(disk.mutex);
    return disk.calls == 1;
  }));
  // The disk holds the first row; the next ones and the status go on.
  for (int64_t minute = 1; minute <= 3; ++minute) keeper.MinuteFinished(Minute(kNow + 60 * minute));
  EXPECT_EQ(keeper.Status(Language::English), "");
  EXPECT_FALSE(disk.Opened());
  disk.Open();
  EXPECT_FALSE(keeper.Flush(10000));
  EXPECT_NE(keeper.Status(Language::English).find("in use"), std::string::npos);
  keeper.MinuteFinished(Minute(kNow + 240));
  ASSERT_TRUE(keeper.Flush(10000));
  EXPECT_EQ(disk.written, Row(kNow) + Row(kNow + 60) + Row(kNow + 120) + Row(kNow + 180) + Row(kNow + 240));
  EXPECT_EQ(keeper.Status(Language::English), "");
}

TEST_F(HistoryFileTest, OnlyWhileKeptIsTheFileReadAndAGoneOneComesBackWithItsHeading) {
  KeepHistory = false;
  Write(Row(kNow - 240));
  History history;
  HistoryKeeper keeper(path_, Language::English);
  keeper.Start(&history, kAt);
  keeper.MinuteFinished(Minute(kNow - 180));
  keeper.Flush(10000);
  EXPECT_TRUE(Times(history).empty());
  EXPECT_EQ(Read(), Row(kNow - 240));
  KeepHistory = true;
  keeper.MinuteFinished(Minute(kNow - 120));
  ASSERT_TRUE(keeper.Flush(10000));
  EXPECT_EQ(Read(), Row(kNow - 240) + Row(kNow - 120));
  fs::remove(fs::u8path(path_));
  keeper.MinuteFinished(Minute(kNow - 60));
  ASSERT_TRUE(keeper.Flush(10000));
  EXPECT_EQ(Read(), Heading() + Row(kNow - 60));
}

// Random bytes, quotes, commas, line breaks and overlong lines, in pieces
// cut anywhere: read the same as whole, never fatal, and what the file held
// stays at its start.
TEST_F(HistoryFileTest, RandomFilesAreNeitherFatalNorDestroyed) {
  std::mt19937 random(25);
  const std::string pieces[] = {",", "\"", "\r\n", "\n", "2024-03-05 13:59:00", "12.5", "\xEF\xBB\xBF", "\xFF",
                                std::string(3000, '7'), Row(kNow - 60)};
  auto scan = [](std::string_view bytes, size_t piece) {
    std::string seen;
    KeptHistoryScan lines([&](KeptHistoryScan::Line kind, std::string_view line, const HistoryRecord&) {
      seen += std::to_string(static_cast<int>(kind)) + ":" + std::string(line) + "|";
    });
    for (size_t at = 0; at < bytes.size(); at += piece) lines.Add(bytes.substr(at, piece));
    lines.Finish();
    return seen;
  };
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const int parts = static_cast<int>(random() % 40);
    for (int i = 0; i < parts; ++i)
      bytes += random() % 2 ? pieces[random() % std::size(pieces)] : std::string(1, static_cast<char>(random()));
    ASSERT_EQ(scan(bytes, 1 + random() % 7), scan(bytes, bytes.size() + 1)) << round;
    if (round % 20 != 0) continue;
    Write(bytes);
    HistoryKeeper keeper(path_, Language::Chinese);
    keeper.Start(nullptr, kAt);
    keeper.MinuteFinished(Minute(kNow));
    keeper.Flush(10000);
    EXPECT_EQ(Read().substr(0, bytes.size()), bytes) << round;
  }
}

#ifndef _WIN32
// A full disk, as a limit on the file's size makes it: the rows that cannot
// be written leave nothing behind, the failure is told once, and the rows
// go in whole once there is room.
TEST_F(HistoryFileTest, FullDiskIsToldOnceAndLeavesNoHalfRow) {
  const std::string bytes = Heading();
  Write(bytes);
  HistoryKeeper keeper(path_, Language::English);
  keeper.Start(nullptr, kAt);
  ASSERT_TRUE(keeper.Flush(10000));
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old_limit;
  limit.rlim_cur = bytes.size() + 20;  // room for part of a row only
  setrlimit(RLIMIT_FSIZE, &limit);
  keeper.MinuteFinished(Minute(kNow));
  keeper.Flush(10000);
  keeper.MinuteFinished(Minute(kNow + 60));
  keeper.Flush(10000);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_EQ(Read(), bytes);
  const std::string status = keeper.Status(Language::English);
  EXPECT_NE(status.find("cannot be written"), std::string::npos);
  EXPECT_EQ(status.find('\n'), std::string::npos);
  keeper.MinuteFinished(Minute(kNow + 120));
  ASSERT_TRUE(keeper.Flush(10000));
  EXPECT_EQ(Read(), bytes + Row(kNow) + Row(kNow + 60) + Row(kNow + 120));
}
#endif

}  // namespace
}  // namespace zt
