// The kept history with the real program: rows beside the settings file
// that grow from run to run, and a file of random bytes that is neither
// fatal nor destroyed.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "main_window_support.h"
#include "sampling/history_text.h"
#include "util/platform.h"

namespace zt::e2e {
namespace {

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The rows from `from` on, each minute of them once.
size_t Rows(const std::string& bytes, size_t from = 0) {
  std::set<std::string> minutes;
  for (size_t at = bytes.find("\n20", from); at != std::string::npos; at = bytes.find("\n20", at + 1))
    EXPECT_TRUE(minutes.insert(bytes.substr(at + 1, 16)).second) << bytes;
  return minutes.size();
}

// Runs the program until `done` says so, then closes it normally.
void RunUntil(const AppFolder& folder, const std::function<bool()>& done) {
  App app(folder.exe());
  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Query(app.pid(), AppQuery::Samples) >= 10; }, 20000));
  ASSERT_TRUE(WaitUntil(done, 70000));
  PostMessageW(app.WaitForMainWindow(), WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(app.WaitForExit(15000, &code));
  EXPECT_EQ(code, 0u);
}

TEST(HistoryFileE2E, RowsAreKeptAcrossRunsAndADamagedFileIsKept) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nRate=100\r\nAppModeHotkey=0\r\nKeepHistory=1\r\n");
  const std::wstring csv = folder.dir() + L"\\zettrim.history.csv";
  // Past a turn of the minute: one finished minute, and the one at exit.
  SYSTEMTIME start, now;
  GetLocalTime(&start);
  RunUntil(folder, [&] { return GetLocalTime(&now), now.wMinute != start.wMinute && now.wSecond >= 1; });
  const std::string first = ReadFileBytes(csv);
  EXPECT_EQ(first.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_GE(Rows(first), 2u) << first;
  RunUntil(folder, [] { return true; });
  const std::string second = ReadFileBytes(csv);
  EXPECT_EQ(second.substr(0, first.size()), first);
  // A run within the minute the last one ended in adds no row for it again.
  EXPECT_GE(Rows(second), Rows(first));

  std::string damaged;
  for (int i = 0; i < 3000; ++i) damaged += static_cast<char>((i * 7919) % 251);
  damaged += std::string(100000, 'x');
  std::ofstream(std::filesystem::path(csv), std::ios::binary) << damaged;
  RunUntil(folder, [] { return true; });
  const std::string third = ReadFileBytes(csv);
  EXPECT_EQ(third.substr(0, damaged.size()), damaged);
  EXPECT_GT(third.size(), damaged.size());
}

// A row of the file `days` before now.
std::string RowDaysAgo(int days, float load) {
  MinuteRecord r;
  r.time = std::llround((NowAsDateTime() - days) * 1440) * 60;
  r.load_mean = r.load_min = r.load_max = load;
  return HistoryCsvRow(r, HistoryScale::kMinutes);
}

// Two copies in one folder, rows 40 days older than the clock (as after a
// clock set far ahead), an unreadable line and a tail of zeros (a power
// cut), under a heading from before the last columns: one copy writes,
// every minute once; the old rows move to the file beside it, the rest
// stays, the heading becomes today's, and the file goes on growing.
TEST(HistoryFileE2E, TwoCopiesAClockFarAheadAndAZeroFilledTailLoseNoRow) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nRate=100\r\nAppModeHotkey=0\r\nKeepHistory=1\r\n");
  const std::wstring csv = folder.dir() + L"\\zettrim.history.csv";
  const std::string heading = "\xEF\xBB\xBFTime,CPU mean (%),CPU min (%),CPU max (%),Memory (%),Memory (MB)\r\n";
  const std::string old_rows = RowDaysAgo(41, 5) + RowDaysAgo(40, 6);
  const std::string kept = RowDaysAgo(2, 7) + "garbage,1,2\r\n";
  std::ofstream(std::filesystem::path(csv), std::ios::binary) << heading + old_rows + kept + std::string(2000, '\0');
  {
    App first(folder.exe()), second(folder.exe());
    ASSERT_NE(first.WaitForMainWindow(), nullptr);
    ASSERT_NE(second.WaitForMainWindow(), nullptr);
    SYSTEMTIME start, now;
    GetLocalTime(&start);
    ASSERT_TRUE(WaitUntil([&] { return GetLocalTime(&now), now.wMinute != start.wMinute && now.wSecond >= 1; }, 70000));
    for (App* app : {&first, &second}) {
      PostMessageW(app->WaitForMainWindow(), WM_CLOSE, 0, 0);
      ASSERT_TRUE(app->WaitForExit(15000));
    }
  }
  // The heading, the start of today's, becomes today's whole.
  const std::string today = HistoryCsvHeading(HistoryScale::kMinutes, Language::English);
  EXPECT_EQ(ReadFileBytes(folder.dir() + L"\\zettrim.history.old.csv"), today + old_rows);
  const std::string after = ReadFileBytes(csv);
  ASSERT_EQ(after.substr(0, today.size() + kept.size()), today + kept);
  EXPECT_GE(Rows(after, today.size() + kept.size() - 1), 2u) << after;
}

// Windows may stop the program at any moment after the session's end is
// told: the minute it ends in is already in the file by then.
TEST(HistoryFileE2E, TheSessionsEndKeepsTheMinuteItEndsIn) {
  AppFolder folder;
  folder.WriteIni("[General]\r\nFirstLaunch=0\r\nRate=100\r\nAppModeHotkey=0\r\nKeepHistory=1\r\n");
  App app(folder.exe());
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Query(app.pid(), AppQuery::Samples) >= 10; }, 20000));
  SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  app.Kill();
  EXPECT_GE(Rows(ReadFileBytes(folder.dir() + L"\\zettrim.history.csv")), 1u);
}

}  // namespace
}  // namespace zt::e2e
