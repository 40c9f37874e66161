// The questions the end-to-end tests ask the running program about what no
// window text shows.  Only the test build of the program (zettrim-testable:
// the program's own run with this window beside it) answers them; the
// released program carries none of this.
//
// One message-only window of class kAppQueryClass per process, from before
// the main window is made until the program's run has ended (its windows
// gone, its sampling threads waited for).  SendMessage(Timeout) with the
// registered message kAppQueryMessage and wParam an AppQuery.  Figures come
// back as the result, -1 where what is asked about does not exist.  Texts
// are sent to the asker's window named in lParam, as UTF-16 in WM_COPYDATA
// (dwData = the item) before the call returns; the result is 1 when they
// were delivered.
//
// The test build hands nothing to the desktop's programs: what the program
// asks the shell to open (a link, a text file) is recorded for ShellOpened
// instead, and answered as opened.
#pragma once

#include <windows.h>

#include <memory>

namespace zt {
class TApplication;
}

namespace zt::test {

inline constexpr wchar_t kAppQueryClass[] = L"Zettrim.Query";
inline constexpr wchar_t kAppQueryMessage[] = L"Zettrim.Query";

enum class AppQuery : WPARAM {
  // The main window.
  TrayShown = 0,       // 1 while the tray icon is added (and not removed since)
  HotkeyRegistered = 1,
  LinePoints0 = 4,     // 4..8: points of graph lines 0..4
  ComApartment = 14,   // the UI thread's COM apartment type (APTTYPE), -1 without COM
  TrayRefreshes = 15,  // new pictures or tips of the tray icon sent to the shell
  TrayIconSize = 17,   // the side in pixels of the tray picture last handed to the shell
  // The sampling threads.
  Samples = 20,          // Statistics.Samples
  CpuCount = 21,         // CpuCount
  MonitorRunning = 22,   // 1 while the monitor thread runs, else 0
  CpuAverageX100 = 23,   // Round(Statistics.CpuAverage * 100)
  MemoryTotalMB = 24,    // Round(Statistics.MemoryTotal)
  MonitorThreadId = 26,  // the system's number of the monitor thread, 0 without one
  ClockThreadId = 27,    // and of the clock thread
  // The processor information window: texts, one line each.
  InfoTree = 30,         // a node: a TAB per level, then the caption
  InfoRows = 31,         // a row of the property list: property TAB value
  InfoFeatureRows = 32,  // a feature row: picture index TAB index TAB mnemonic TAB description
  InfoReading = 33,      // a figure: 1 while a page or feature table is being read
  // Any window of the program, named by lParam: the height (lfHeight) of
  // the font it shows, 0 without one, -1 when it is no window of the program.
  WindowFontHeight = 40,
  // A static, button, check box or group box named by lParam: the pixels its
  // text, in the control's own font, needs beyond its room (0: it fits);
  // -1 for any other window.
  TextOverflow = 41,
  // The shell: texts, one line each.
  ShellOpened = 50,  // every target the program asked the shell to open, in order
  TrayTip = 51,      // the tray icon's tip as last handed to the shell
};

// The query window of one run of the program.
class AppQueryWindow {
 public:
  explicit AppQueryWindow(const TApplication& application);
  ~AppQueryWindow();
  AppQueryWindow(const AppQueryWindow&) = delete;
  AppQueryWindow& operator=(const AppQueryWindow&) = delete;

 private:
  class RecordingShell;
  std::unique_ptr<RecordingShell> shell_;
  HWND hwnd_ = nullptr;
};

}  // namespace zt::test
