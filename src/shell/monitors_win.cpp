#include "shell/monitors_win.h"

#include <atomic>
#include <exception>
#include <memory>

#include "sampling/cpu_speed.h"
#include "sampling/perf_lib.h"
#include "sampling/processor_load.h"
#include "sampling/res_monitor.h"
#include "shell/window_messages.h"
#include "util/format.h"
#include "util/message_box_win.h"
#include "util/message_window_win.h"

namespace zt {

const char* const kPerfCountersDisabledPrompt =
    "性能计数器已禁用。应用程序不能正常工作。\r\n\r\n尝试启用性能计数器吗？";
const char* const kPerfCountersRefusedMessage =
    "无法启用性能计数器：需要管理员权限。\r\n\r\n请以管理员身份运行本程序，然后再试。";
const wchar_t kMonitorQueryClass[] = L"Zettrim.MonitorQuery";
const wchar_t kQueryStatisticsMessage[] = L"Zettrim.QueryStatistics";

namespace {

// Hands each clock figure to the main window as WM_CPUSPEED; the clock
// thread never touches the window itself.
class WindowSpeedSink : public ISpeedSink {
 public:
  explicit WindowSpeedSink(HWND window) : window_(window) {}
  void PostSpeed(unsigned mhz) override {
    last_.store(static_cast<long>(mhz));
    PostMessageW(window_, WM_CPUSPEED, static_cast<WPARAM>(mhz), 0);
  }
  long Last() const { return last_.load(); }

 private:
  HWND window_;
  std::atomic<long> last_{-1};
};

std::unique_ptr<WindowSpeedSink> g_speed_sink;
HWND g_query_window = nullptr;
UINT g_query_message = 0;

LRESULT AnswerQuery(WPARAM item) {
  if (static_cast<QueryItem>(item) == QueryItem::LastSpeedMHz)
    return g_speed_sink ? g_speed_sink->Last() : -1;
  if (!ResMonitor) return -1;
  const TResStatistics s = ResMonitor->CopyStatistics();
  switch (static_cast<QueryItem>(item)) {
    case QueryItem::Samples: return static_cast<LRESULT>(s.Samples);
    case QueryItem::CpuCount: return ResMonitor->CopySample().CpuCount;
    case QueryItem::MonitorRunning:
      return ResMonitor->Started() && !ResMonitor->Finished() ? 1 : 0;
    case QueryItem::CpuAverageX100: return static_cast<LRESULT>(RoundHalfEven(s.CpuAverage * 100));
    case QueryItem::MemoryTotalMB: return static_cast<LRESULT>(RoundHalfEven(s.MemoryTotal));
    default: return -1;
  }
}

LRESULT CALLBACK QueryWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  try {
    if (g_query_message != 0 && msg == g_query_message) return AnswerQuery(wparam);
  } catch (...) {
    return -1;  // nothing may unwind into the system
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

void CreateQueryWindow() {
  if (g_query_window) return;
  g_query_message = RegisterWindowMessageW(kQueryStatisticsMessage);
  // The window answers only processes the system lets send to it; the
  // message filter is not relaxed for it: processes of lower integrity have
  // no business with the program's figures.
  g_query_window = CreateMessageOnlyWindow(kMonitorQueryClass, QueryWindowProc);
}

void DestroyQueryWindow() {
  if (g_query_window) DestroyWindow(g_query_window);
  g_query_window = nullptr;
}

}  // namespace

void StartMonitors(HWND main_window, IMonitorDisplay& display) {
  if (ResMonitor || CPUSpeed) return;
  ResMonitor = new TResMonitor(&display);  // suspended until the first reading works
  g_speed_sink = std::make_unique<WindowSpeedSink>(main_window);
  CPUSpeed = new TCPUSpeed(*g_speed_sink);
  CPUSpeed->Start();
  CreateQueryWindow();

  // Asked once at each start, and only while the counters are off.  Without
  // administrator rights nothing can be written: the user is told so once,
  // instead of a silent nothing that looks like success.
  if (PerformanceCountersDisabled()) {
    if (ShowMessageBox(main_window, BoxKind::Warning, kPerfCountersDisabledPrompt,
                       BoxButtons::YesNoCancel) == BoxAnswer::Yes &&
        EnablePerformanceCounters() == PerfSwitchResult::Refused)
      ShowMessageBox(main_window, BoxKind::Error, kPerfCountersRefusedMessage, BoxButtons::Ok);
  }

  try {
    ProcessorLoad().RefreshProcessorCounters();
  } catch (const std::exception& e) {
    // The window runs on without the monitor: empty graph, all-zero
    // statistics; the clock label still updates.
    ShowMessageBox(main_window, BoxKind::Error, e.what(), BoxButtons::Ok);
    return;
  }
  ResMonitor->Start();
}

void RequestMonitorsStop() {
  if (CPUSpeed) CPUSpeed->Terminate();
  if (ResMonitor) ResMonitor->Terminate();
}

void StopMonitors() {
  RequestMonitorsStop();
  // Each deletion waits for its thread; the wait serves a display step the
  // monitor may be blocked in.
  delete ResMonitor;
  ResMonitor = nullptr;
  delete CPUSpeed;
  CPUSpeed = nullptr;
  g_speed_sink.reset();
  DestroyQueryWindow();
}

}  // namespace zt
