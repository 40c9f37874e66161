// The history window in the real program: F7 opens it; after a minute and
// more at Rate=100 beside a busy program of ours, Ctrl+C copies the hour's
// records naming that program, the keys move the readout, and Ctrl+Tab
// turns to the day's minutes.  The network's figures come from the system's
// own counters (this test sends some datagrams out); the disks' and the
// graphics' fields are empty where the system has no such counters.
#include <winsock2.h>
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <vector>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "dialogs/history_form_win.h"
#include "main_window_support.h"
#include "support/clipboard_text_win.h"
#include "util/clipboard_win.h"
#include "util/unicode_win.h"

namespace zt::e2e {
namespace {

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

struct Copied {
  int records = 0;        // lines that begin with a time
  int naming = 0;         // of those, the ones naming `name`
  int whole_minutes = 0;  // of those, the ones at a whole minute
  int whole_rows = 0;     // of those, the ones with a field under every heading
  int network_sent = 0;   // of those, the ones that say the network sent something
  int disk_read = 0;      // of those, the ones with a figure of the disks' reading
  std::string heading;
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == '\t') fields.emplace_back();
    else fields.back().push_back(c);
  }
  return fields;
}

// What Ctrl+C, with the focus where it is, puts on the clipboard.
Copied CopyRecords(const std::string& name) {
  Copied copied;
  if (!CopyTextToClipboard(nullptr, L"before") || !Keys({VK_CONTROL, 'C'}) ||
      !WaitUntil([&] { return test::ClipboardText() != L"before"; }, 5000))
    return copied;
  std::istringstream lines(Narrow(test::ClipboardText()));
  std::getline(lines, copied.heading);
  if (!copied.heading.empty() && copied.heading.back() == '\r') copied.heading.pop_back();
  const std::vector<std::string> heading = Fields(copied.heading);
  auto column = [&](const char* text) { return std::find(heading.begin(), heading.end(), text) - heading.begin(); };
  const size_t sent = static_cast<size_t>(column("Network sent (KB/s)"));
  const size_t disk = static_cast<size_t>(column("Disk read (KB/s)"));
  const std::regex timed(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:(\d\d)\t.*)");
  std::smatch match;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!std::regex_match(line, match, timed)) continue;
    ++copied.records;
    copied.naming += line.find("\t" + name + "\t") != std::string::npos;
    copied.whole_minutes += match[1] == "00";
    const std::vector<std::string> fields = Fields(line);
    if (fields.size() != heading.size()) continue;
    ++copied.whole_rows;
    copied.network_sent += sent < fields.size() && !fields[sent].empty() && std::atof(fields[sent].c_str()) > 0;
    copied.disk_read += disk < fields.size() && !fields[disk].empty();
  }
  return copied;
}

TEST(HistoryWindowE2E, F7OpensItItCopiesTheHourNamingTheBusyProgramAndTheKeysMoveTheReadout) {
  // This test program keeps a processor busy: the busiest process of every
  // interval.
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::string self = Narrow(std::wstring(path).substr(std::wstring(path).find_last_of(L"\\/") + 1));
  std::atomic<bool> stop{false};
  std::thread busy([&] { while (!stop.load(std::memory_order_relaxed)) continue; });
  // Datagrams to an address that answers nobody (TEST-NET-1): where the
  // machine has a way out, they leave through its adapter.
  std::atomic<int> datagrams{0};
  std::thread traffic([&] {
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return;
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    to.sin_addr.s_addr = htonl(0xC0000201);  // 192.0.2.1
    const std::string payload(1400, 'z');
    while (s != INVALID_SOCKET && !stop.load()) {
      if (sendto(s, payload.data(), static_cast<int>(payload.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) > 0)
        ++datagrams;
      Sleep(20);
    }
    if (s != INVALID_SOCKET) closesocket(s);
    WSACleanup();
  });
  AppFolder folder;
  folder.WriteIni("[General]\r\nLanguage=en-US\r\nFirstLaunch=0\r\nAppModeHotkey=0\r\nRate=100\r\n");
  const ULONGLONG started = GetTickCount64();
  App app(folder.exe());
  HWND main = app.WaitForMainWindow(), history = app.WaitForWindow(kHistoryFormClass, L"History");
  ASSERT_TRUE(main && history) << "made at start";
  EXPECT_FALSE(IsWindowVisible(history));
  PostMessageW(main, WM_KEYDOWN, VK_F7, 0);
  ASSERT_TRUE(WaitVisible(history, true)) << "F7 opens it";
  HWND graph = FindDescendant(history, kIdHistoryGraph), readout = FindDescendant(history, kIdHistoryReadout);
  ASSERT_TRUE(graph && readout);
  EXPECT_EQ(WindowText(readout), Widen(TextIn(Language::English, TextId::HistoryHint)));

  Sleep(static_cast<DWORD>(std::max<LONGLONG>(0, 70000 - static_cast<LONGLONG>(GetTickCount64() - started))));
  ASSERT_TRUE(FocusControl(graph)) << "the graph takes the focus";
  const Copied hour = CopyRecords(self);
  EXPECT_GE(hour.records, 60) << hour.heading;
  EXPECT_GE(hour.naming, 60) << self;
  EXPECT_EQ(hour.whole_rows, hour.records) << hour.heading;
  if (datagrams > 100) {
    EXPECT_GE(hour.network_sent, 30) << datagrams << " datagrams sent";
  }
  if (UnderWine()) {
    EXPECT_EQ(hour.disk_read, 0) << "no disk counters: empty, never 0";
  }

  ASSERT_TRUE(Keys({VK_END}));
  const std::wstring last = WindowText(readout);
  EXPECT_TRUE(std::regex_search(Narrow(last), std::regex(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d .*\r\n)"))) << Narrow(last);
  // The readout names the network's figures, and no disk's where none are.
  EXPECT_TRUE(hour.network_sent == 0 || last.find(L"\r\nNetwork: received ") != std::wstring::npos) << Narrow(last);
  EXPECT_TRUE(!UnderWine() || last.find(L"Disk: ") == std::wstring::npos) << Narrow(last);
  ASSERT_TRUE(Keys({VK_LEFT}));
  EXPECT_NE(WindowText(readout), last) << "one record back";
  EXPECT_NE(WindowText(readout).find(L" CPU: mean "), std::wstring::npos);

  // The day's view: records of whole minutes, three busiest a record.
  ASSERT_TRUE(Keys({VK_CONTROL, VK_TAB}));
  const Copied day = CopyRecords(self);
  EXPECT_GE(day.records, 1);
  EXPECT_EQ(day.whole_minutes, day.records);
  EXPECT_NE(day.heading, hour.heading);
  EXPECT_EQ(WindowText(readout), Widen(TextIn(Language::English, TextId::HistoryHint))) << "another view: none chosen";

  stop = true;
  busy.join();
  traffic.join();
  ASSERT_TRUE(CloseMain(app, main));
}

}  // namespace
}  // namespace zt::e2e
