#include "support/app_query_win.h"

#include <objbase.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/application_win.h"
#include "dialogs/info_form_win.h"
#include "sampling/cpu_speed.h"
#include "sampling/res_monitor.h"
#include "shell/chart_model.h"
#include "shell/main_form_win.h"
#include "support/shown_controls_win.h"
#include "util/control_text_win.h"
#include "util/dpi.h"
#include "util/dpi_win.h"
#include "util/format.h"
#include "util/handles_win.h"
#include "util/message_window_win.h"
#include "util/shell_win.h"

namespace zt::test {
namespace {

const TApplication* g_application = nullptr;
UINT g_query_message = 0;

// What the program handed to the shell: the targets it asked it to open,
// and the tray icon as the shell was last told it.
struct ShellRecord {
  std::vector<std::wstring> opened;
  bool tray_shown = false;  // added and not removed since (a failed add is retried)
  std::wstring tray_tip;
  int tray_icon_side = -1;
  long tray_refreshes = 0;  // NIM_MODIFY calls
};
ShellRecord* g_shell = nullptr;

int IconSide(HICON icon) {
  ICONINFO ii = {};
  if (!icon || !GetIconInfo(icon, &ii)) return -1;
  BITMAP bm = {};
  GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  return static_cast<int>(bm.bmWidth);
}

LRESULT AskMainWindow(AppQuery item) {
  if (item == AppQuery::ComApartment) {
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    return SUCCEEDED(CoGetApartmentType(&type, &qualifier)) ? static_cast<LRESULT>(type) : -1;
  }
  if (item == AppQuery::HotkeyRegistered) return AppModeHotkeyRegistered() ? 1 : 0;
  const TForm_Main* main = g_application->main_form();
  if (!main) return -1;
  const auto first_line = static_cast<WPARAM>(AppQuery::LinePoints0);
  const auto w = static_cast<WPARAM>(item);
  if (w >= first_line && w < first_line + kChartLines) return main->GraphPointCount(static_cast<int>(w - first_line));
  switch (item) {
    case AppQuery::TrayShown: return g_shell && g_shell->tray_shown ? 1 : 0;
    case AppQuery::TrayIconSize: return g_shell ? g_shell->tray_icon_side : -1;
    case AppQuery::TrayRefreshes: return g_shell ? g_shell->tray_refreshes : -1;
    default: return -1;
  }
}

LRESULT AskMonitor(AppQuery item) {
  if (item == AppQuery::ClockThreadId) return CPUSpeed ? static_cast<LRESULT>(CPUSpeed->ThreadId()) : 0;
  if (item == AppQuery::MonitorThreadId) return ResMonitor ? static_cast<LRESULT>(ResMonitor->ThreadId()) : 0;
  if (!ResMonitor) return -1;
  const TResStatistics s = ResMonitor->CopyStatistics();
  switch (item) {
    case AppQuery::Samples: return static_cast<LRESULT>(s.Samples);
    case AppQuery::CpuCount: return ResMonitor->CopySample().CpuCount;
    case AppQuery::MonitorRunning: return ResMonitor->Started() && !ResMonitor->Finished() ? 1 : 0;
    case AppQuery::CpuAverageX100: return static_cast<LRESULT>(RoundHalfEven(s.CpuAverage * 100));
    case AppQuery::MemoryTotalMB: return static_cast<LRESULT>(RoundHalfEven(s.MemoryTotal));
    default: return -1;
  }
}

LRESULT AskInfoWindow(AppQuery item, HWND asker) {
  const TForm_Info* info = g_application->info_form();
  if (!info) return item == AppQuery::InfoReading ? -1 : 0;
  std::wstring text;
  switch (item) {
    case AppQuery::InfoReading: return info->Reading() ? 1 : 0;
    case AppQuery::InfoTree:
      for (const std::wstring& line : TreeLines(FindControl(info->hwnd(), kIdInfoNavigation))) text += line + L"\n";
      break;
    case AppQuery::InfoRows:
    case AppQuery::InfoFeatureRows:
      for (const auto& row : item == AppQuery::InfoFeatureRows ? ListRows(FindControl(info->hwnd(), kIdInfoStandard), true)
                                                                : ListRows(FindControl(info->hwnd(), kIdInfoInformation))) {
        for (size_t i = 0; i < row.size(); ++i) text += (i ? L"\t" : L"") + row[i];
        text += L"\n";
      }
      break;
    default: return 0;
  }
  if (!IsWindow(asker)) return 0;
  COPYDATASTRUCT data = {};
  data.dwData = static_cast<ULONG_PTR>(item);
  data.cbData = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  data.lpData = text.data();
  // An asker that stops answering must not hang the program.
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(asker, WM_COPYDATA, reinterpret_cast<WPARAM>(info->hwnd()),
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 2000, &answer) != 0
             ? 1
             : 0;
}

LRESULT FontHeightOf(HWND window) {
  DWORD pid = 0;
  if (!IsWindow(window) || (GetWindowThreadProcessId(window, &pid), pid != GetCurrentProcessId())) return -1;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  LOGFONTW lf = {};
  return font && GetObjectW(font, sizeof(lf), &lf) ? lf.lfHeight : 0;
}

LRESULT TextOverflowOf(HWND control) {
  DWORD pid = 0;
  if (!IsWindow(control) || (GetWindowThreadProcessId(control, &pid), pid != GetCurrentProcessId())) return -1;
  wchar_t cls[32] = {};
  GetClassNameW(control, cls, 32);
  const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
  const int dpi = WindowDpi(GetAncestor(control, GA_ROOT));
  RECT client = {};
  GetClientRect(control, &client);
  int room = client.right;
  const bool is_static = lstrcmpiW(cls, L"Static") == 0, button = lstrcmpiW(cls, L"Button") == 0;
  const LONG_PTR type = style & (is_static ? SS_TYPEMASK : BS_TYPEMASK);
  const UINT format = DT_CALCRECT | DT_SINGLELINE | (is_static && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
  if (is_static && type > SS_RIGHT) return -1;  // a picture, a frame, a line
  // A group's caption sits clear of the frame's corners; a check box's
  // after its box; a button's inside its edges.  Owner-drawn ones place
  // their own text.
  if (button && type == BS_GROUPBOX) room -= 2 * ScaleToDpi(8, dpi);
  else if (button && type == BS_AUTOCHECKBOX) room -= SystemMetricForDpi(SM_CXMENUCHECK, dpi) + ScaleToDpi(4, dpi);
  else if (button && type == BS_PUSHBUTTON) room -= 2 * ScaleToDpi(4, dpi);
  else if (!is_static) return -1;
  const std::wstring text = ControlText(control);
  if (text.empty()) return 0;
  WindowDc dc(control);
  SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT need = {};
  DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &need, format);
  return std::max<LRESULT>(0, std::max<LRESULT>(need.right - room, need.bottom - client.bottom));
}

// Sends `text` to the asker's window; 1 when it was delivered.
LRESULT SendText(HWND asker, HWND from, AppQuery item, std::wstring text) {
  if (!IsWindow(asker)) return 0;
  COPYDATASTRUCT data = {};
  data.dwData = static_cast<ULONG_PTR>(item);
  data.cbData = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  data.lpData = text.data();
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(asker, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 2000, &answer) != 0
             ? 1
             : 0;
}

LRESULT AskShell(AppQuery item, HWND asker, HWND from) {
  std::wstring text;
  if (!g_shell) return 0;
  if (item == AppQuery::TrayTip) return SendText(asker, from, item, g_shell->tray_tip);
  if (item != AppQuery::ShellOpened) return 0;
  for (const std::wstring& target : g_shell->opened) text += target + L"\n";
  return SendText(asker, from, item, std::move(text));
}

LRESULT Answer(AppQuery item, LPARAM lparam, HWND from) {
  if (item == AppQuery::WindowFontHeight) return FontHeightOf(reinterpret_cast<HWND>(lparam));
  if (item == AppQuery::TextOverflow) return TextOverflowOf(reinterpret_cast<HWND>(lparam));
  const auto w = static_cast<WPARAM>(item);
  if (w >= static_cast<WPARAM>(AppQuery::ShellOpened)) return AskShell(item, reinterpret_cast<HWND>(lparam), from);
  if (w < static_cast<WPARAM>(AppQuery::Samples)) return AskMainWindow(item);
  if (w < static_cast<WPARAM>(AppQuery::InfoTree)) return AskMonitor(item);
  return AskInfoWindow(item, reinterpret_cast<HWND>(lparam));
}

LRESULT CALLBACK QueryWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  try {
    if (g_query_message != 0 && msg == g_query_message) return Answer(static_cast<AppQuery>(wparam), lparam, hwnd);
  } catch (...) {
    return -1;  // nothing may unwind into the system
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace

// Records what the program asks the shell to open instead of opening it; the
// notification-area icon is the real one, and what it was told is recorded.
class AppQueryWindow::RecordingShell : public IShell {
 public:
  RecordingShell() : use_(*this) { g_shell = &record_; }
  ~RecordingShell() override { g_shell = nullptr; }
  int Open(HWND, const std::wstring& target) override {
    record_.opened.push_back(target);
    return 42;  // what the shell answers for a document it opened
  }
  bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) override {
    if (message == NIM_ADD) record_.tray_shown = true;
    if (message == NIM_DELETE) record_.tray_shown = false;
    if (message == NIM_MODIFY) ++record_.tray_refreshes;
    if (message != NIM_DELETE && (data->uFlags & NIF_TIP)) record_.tray_tip = data->szTip;
    if (message != NIM_DELETE && (data->uFlags & NIF_ICON) && data->hIcon != last_icon_) {
      last_icon_ = data->hIcon;
      record_.tray_icon_side = IconSide(data->hIcon);
    }
    return Seam<IShell>::Real().NotifyIcon(message, data);
  }
  int NotifyIconSize() override { return Seam<IShell>::Real().NotifyIconSize(); }

 private:
  ShellRecord record_;
  HICON last_icon_ = nullptr;  // measured once per picture
  ScopedOverride<IShell> use_;
};

AppQueryWindow::AppQueryWindow(const TApplication& application) : shell_(std::make_unique<RecordingShell>()) {
  g_application = &application;
  g_query_message = RegisterWindowMessageW(kAppQueryMessage);
  // The window answers only processes the system lets send to it; the
  // message filter is not relaxed for it.
  hwnd_ = CreateMessageOnlyWindow(kAppQueryClass, QueryWindowProc);
}

AppQueryWindow::~AppQueryWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  g_application = nullptr;
}

}  // namespace zt::test
