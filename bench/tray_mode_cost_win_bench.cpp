// Processor time of tray mode: the real zettrim.exe, hidden in tray mode,
// beside a minimal reference program that makes the same queries (the
// processor-load reading and the memory status) and modifies a tray icon
// once per sample, both at the same rate and at the same time.  After a
// warm-up, the processor time (user + kernel) each process uses over the
// measuring period is read and compared: with GetProcessTimes, or under Wine,
// whose answer there for another process does not move, from the Linux
// process's /proc/<pid>/stat (found by its command line, read through drive
// Z:).  The reference is this program started with --reference.
//
//   tray_mode_cost_win_bench [seconds] [path\to\zettrim.exe] [rate] [window]
//
// With "window" the program runs with its window shown (translucent, the
// clock label measuring) and the reference keeps a minimal translucent
// window instead of the tray icon, drawing the load's figure once per sample.
// "history" is "window" with the history window open beside it (the menu's
// History command), drawing its graph once a second.
//
// Settings of the [General] section may follow the mode
// ("ShowMoreResources=1").  An argument "every=N" prints the program's
// memory every N minutes of the measuring period as well (under Wine the
// Linux process's resident set, elsewhere the working set and the private
// bytes), e.g. the history window's cost over 70 minutes:
//
//   tray_mode_cost_win_bench 4200 zettrim-testable.exe 100 history every=10
//
// Defaults: 30 s, the zettrim-testable.exe of the build folder above this
// program (the program with the tests' query window, which the sample
// counts come from), Rate 100.  Other load on the machine touches both processes alike; the
// figure that counts is the ratio.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "sampling/memory.h"
#include "sampling/processor_load.h"
#include "sampling/res_monitor.h"
#include "shell/main_form_win.h"
#include "shell/menu_model.h"
#include "shell/tray_images_win.h"
#include "shell/tray_logic.h"
#include "support/app_query_win.h"
#include "util/platform.h"

namespace {

constexpr wchar_t kReferenceClass[] = L"Zettrim.Bench.TrayReference";
constexpr wchar_t kReferenceSamplesMessage[] = L"Zettrim.Bench.ReferenceSamples";
constexpr int kWarmUpMs = 5000;

// ---------------------------------------------------------------------------
// The reference: a hidden window with a tray icon; every `rate` ms one
// processor-load reading, one memory query and one NIM_MODIFY with the
// picture and tip of the sample.

long g_reference_samples = 0;
UINT g_samples_message = 0;
wchar_t g_reference_text[16] = L"";

LRESULT CALLBACK ReferenceProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  if (g_samples_message != 0 && msg == g_samples_message) return g_reference_samples;
  if (msg == WM_CLOSE) {
    PostQuitMessage(0);
    return 0;
  }
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetTextColor(dc, RGB(0, 255, 0));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, g_reference_text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

int RunReference(unsigned rate, bool window) {
  g_samples_message = RegisterWindowMessageW(kReferenceSamplesMessage);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ReferenceProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kReferenceClass;
  RegisterClassExW(&wc);
  const DWORD ex_style = WS_EX_TOOLWINDOW | (window ? WS_EX_LAYERED | WS_EX_TOPMOST : 0);
  HWND hwnd = CreateWindowExW(ex_style, kReferenceClass, L"reference", WS_POPUP, 0, 0, window ? 200 : 10,
                              window ? 100 : 10, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 1;
  if (window) {
    SetLayeredWindowAttributes(hwnd, RGB(255, 255, 255), 200, LWA_ALPHA | LWA_COLORKEY);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  }

  zt::TrayImageList pictures;
  zt::BuildGradientTrayImages(&pictures);
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = hwnd;
  data.uID = 7;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_APP + 7;
  data.hIcon = pictures.Icon(0);
  if (!window) Shell_NotifyIconW(NIM_ADD, &data);

  zt::IProcessorLoad& load = zt::ProcessorLoad();
  int32_t cpu_count = 1;
  try {
    load.RefreshProcessorCounters();
    cpu_count = load.GetProcessorCount() - (zt::IsWindows2000OrLater() ? 1 : 0);
  } catch (...) {
  }
  if (cpu_count < 1) cpu_count = 1;
  std::vector<double> usages(static_cast<size_t>(cpu_count));
  zt::IMemoryStatus& memory = zt::Seam<zt::IMemoryStatus>::Get();

  for (;;) {
    const DWORD t0 = GetTickCount();
    double usage = 0;
    try {
      zt::SampleCpuLoad(load, cpu_count, usage, usages);
    } catch (...) {
    }
    uint64_t total = 0, available = 0;
    memory.Figures(true, total, available);
    const zt::MemorySample m = zt::MemorySampleFromFigures(total, available);
    const int load_percent = static_cast<int>(usage + 0.5);
    const std::u16string tip = zt::TrayTipText(load_percent, static_cast<int>(m.MemoryUsage + 0.5));
    std::wmemcpy(data.szTip, reinterpret_cast<const wchar_t*>(tip.c_str()), tip.size() + 1);
    data.hIcon = pictures.Icon(zt::TrayImageIndex(load_percent, pictures.Count()));
    if (window) {
      swprintf(g_reference_text, 16, L"%d %%", load_percent);
      InvalidateRect(hwnd, nullptr, FALSE);
    } else {
      Shell_NotifyIconW(NIM_MODIFY, &data);
    }
    ++g_reference_samples;

    const DWORD next = t0 + static_cast<DWORD>(zt::MonitorDelay(rate, t0, GetTickCount()));
    for (;;) {
      const auto left = static_cast<LONG>(next - GetTickCount());
      if (left <= 0) break;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          if (!window) Shell_NotifyIconW(NIM_DELETE, &data);
          DestroyWindow(hwnd);
          return 0;
        }
        DispatchMessageW(&msg);
      }
    }
  }
}

// ---------------------------------------------------------------------------
// The measurement

std::string ReadSmallFile(const std::wstring& path) {
  std::string bytes;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return bytes;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0) bytes.append(buf, got);
  CloseHandle(f);
  return bytes;
}

// The Linux process (under Wine) whose command line holds `marker`, as its
// /proc folder seen through drive Z:, or "".
std::wstring UnixProcessDir(const std::string& marker) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (find == INVALID_HANDLE_VALUE) return L"";
  std::wstring result;
  do {
    if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') continue;
    const std::wstring dir = std::wstring(L"Z:\\proc\\") + found.cFileName;
    if (ReadSmallFile(dir + L"\\cmdline").find(marker) != std::string::npos) {
      result = dir;
      break;
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return result;
}

// utime + stime of /proc/<pid>/stat, in milliseconds (USER_HZ 100).
double UnixCpuMs(const std::wstring& dir) {
  const std::string stat = ReadSmallFile(dir + L"\\stat");
  const size_t paren = stat.rfind(')');
  if (paren == std::string::npos) return -1;
  // Fields after the command: state is field 3, utime 14, stime 15.
  const char* p = stat.c_str() + paren + 1;
  char* end = nullptr;
  double ticks = 0;
  for (int field = 3; field <= 15; ++field) {
    while (*p == ' ') ++p;
    if (field >= 14) {
      ticks += static_cast<double>(std::strtoull(p, &end, 10));
      p = end;
    } else {
      while (*p && *p != ' ') ++p;
    }
  }
  return ticks * 10.0;
}

struct Process {
  PROCESS_INFORMATION pi = {};
  std::string marker;  // a text only this process's command line holds
  std::wstring unix_dir;
  bool Start(const std::wstring& exe, const std::wstring& args) {
    std::wstring line = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) !=
           FALSE;
  }
  ~Process() {
    if (!pi.hProcess) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  // User plus kernel time, milliseconds.
  double CpuMs() {
    if (UnderWine()) {
      if (unix_dir.empty()) unix_dir = UnixProcessDir(marker);
      return unix_dir.empty() ? -1 : UnixCpuMs(unix_dir);
    }
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(pi.hProcess, &created, &exited, &kernel, &user)) return -1;
    auto v = [](const FILETIME& f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return static_cast<double>(v(kernel) + v(user)) / 10000.0;
  }
  // The program's memory as a line of figures: what Windows says (the
  // working set and the private bytes), and under Wine also the Linux
  // process's resident set and its anonymous part, where a heap that grows
  // shows.
  std::string MemoryFigures() {
    char line[160] = "";
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)))
      std::snprintf(line, sizeof(line), "working set %8lu kB  private %8lu kB",
                    static_cast<unsigned long>(counters.WorkingSetSize / 1024),
                    static_cast<unsigned long>(counters.PrivateUsage / 1024));
    std::string figures = line;
    if (UnderWine()) {
      if (unix_dir.empty()) unix_dir = UnixProcessDir(marker);
      const std::string status = ReadSmallFile(unix_dir + L"\\status");
      for (const char* field : {"VmRSS:", "RssAnon:"}) {
        const size_t at = status.find(field);
        if (at == std::string::npos) continue;
        std::snprintf(line, sizeof(line), "  %s %8ld kB", field, std::strtol(status.c_str() + at + std::strlen(field), nullptr, 10));
        figures += line;
      }
    }
    return figures;
  }
  static bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }
};

HWND TopWindowOf(DWORD pid, const wchar_t* cls) {
  HWND h = nullptr;
  while ((h = FindWindowExW(nullptr, h, cls, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) return h;
  }
  return nullptr;
}

HWND MessageWindowOf(DWORD pid, const wchar_t* cls) {
  HWND h = nullptr;
  while ((h = FindWindowExW(HWND_MESSAGE, h, cls, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) return h;
  }
  return nullptr;
}

HWND WaitForWindow(DWORD pid, const wchar_t* cls, bool message_only) {
  for (int i = 0; i < 1000; ++i) {
    HWND h = message_only ? MessageWindowOf(pid, cls) : TopWindowOf(pid, cls);
    if (h) return h;
    Sleep(20);
  }
  return nullptr;
}

LRESULT Ask(HWND h, const wchar_t* message, WPARAM item) {
  DWORD_PTR result = 0;
  if (!h || !SendMessageTimeoutW(h, RegisterWindowMessageW(message), item, 0, SMTO_ABORTIFHUNG, 5000, &result))
    return -1;
  return static_cast<LRESULT>(result);
}

std::wstring ModuleDir() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s = path;
  return s.substr(0, s.find_last_of(L"\\/"));
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(f);
  return ok;
}

// Both programs run, are measured and end inside this; 0 with the figures
// printed.
int RunSideBySide(int seconds, const std::wstring& exe, unsigned rate, bool window, bool history,
                  int every_minutes) {
  int status = 0;
  {
    Process app, reference;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string tag = std::to_string(GetCurrentProcessId());
    app.marker = "zt_tray_cost_" + tag + "\\zettrim.exe";
    reference.marker = "zt_tray_reference_" + tag;
    if (!app.Start(exe, L"") ||
        !reference.Start(self, L"--reference " + std::to_wstring(rate) + (window ? L" window" : L" tray") +
                                   L" zt_tray_reference_" +
                                   std::wstring(tag.begin(), tag.end()))) {
      std::fprintf(stderr, "cannot start the two programs\n");
      return 2;
    }
    HWND main = WaitForWindow(app.pi.dwProcessId, zt::kMainWindowClass, false);
    HWND query = WaitForWindow(app.pi.dwProcessId, zt::test::kAppQueryClass, true);
    HWND ref = WaitForWindow(reference.pi.dwProcessId, kReferenceClass, false);
    if (!main || !query || !ref) {
      std::fprintf(stderr, "the programs' windows did not appear\n");
      return 2;
    }
    // The window shows a moment after it is made.
    for (int i = 0; i < 250 && (IsWindowVisible(main) != FALSE) != window; ++i) Sleep(20);
    if ((IsWindowVisible(main) != FALSE) != window)
      std::fprintf(stderr, "warning: the main window is %s\n", window ? "hidden" : "visible, not in tray mode");
    if (history) {
      PostMessageW(main, WM_COMMAND, zt::MI_History, 0);
      HWND shown = nullptr;
      for (int i = 0; i < 250 && !(shown && IsWindowVisible(shown)); ++i, Sleep(20))
        shown = TopWindowOf(app.pi.dwProcessId, L"TForm_History");
      if (!shown || !IsWindowVisible(shown)) std::fprintf(stderr, "warning: the history window did not open\n");
    }
    Sleep(kWarmUpMs);

    const auto samples = static_cast<WPARAM>(zt::test::AppQuery::Samples);
    const auto tray_refreshes = static_cast<WPARAM>(zt::test::AppQuery::TrayRefreshes);
    const double app_cpu0 = app.CpuMs(), ref_cpu0 = reference.CpuMs();
    if (app_cpu0 < 0 || ref_cpu0 < 0) {
      std::fprintf(stderr, "the processor time of the two programs cannot be read\n");
      return 2;
    }
    if (!app.unix_dir.empty())
      std::printf("processor time from %ls and %ls\n", app.unix_dir.c_str(), reference.unix_dir.c_str());
    const LRESULT app_samples0 = Ask(query, zt::test::kAppQueryMessage, samples);
    const LRESULT app_refresh0 = Ask(query, zt::test::kAppQueryMessage, tray_refreshes);
    const LRESULT ref_samples0 = Ask(ref, kReferenceSamplesMessage, 0);
    if (every_minutes > 0) {
      std::printf("minute  zettrim.exe memory\n");
      for (int waited = 0;; waited += every_minutes * 60) {
        std::printf("%6d  %s\n", waited / 60, app.MemoryFigures().c_str());
        std::fflush(stdout);
        if (waited >= seconds) break;
        Sleep(static_cast<DWORD>(std::min(every_minutes * 60, seconds - waited)) * 1000);
      }
    } else {
      Sleep(static_cast<DWORD>(seconds) * 1000);
    }
    const double app_cpu = app.CpuMs() - app_cpu0, ref_cpu = reference.CpuMs() - ref_cpu0;
    const LRESULT app_samples = Ask(query, zt::test::kAppQueryMessage, samples) - app_samples0;
    // -1 from a program that does not count them.
    const LRESULT app_refresh =
        app_refresh0 < 0 ? -1 : Ask(query, zt::test::kAppQueryMessage, tray_refreshes) - app_refresh0;
    const LRESULT ref_samples = Ask(ref, kReferenceSamplesMessage, 0) - ref_samples0;

    std::printf("%s, Rate=%u, %d s after a %d s warm-up, both programs side by side\n",
                history ? "window and history window shown" : window ? "window shown" : "tray mode", rate, seconds,
                kWarmUpMs / 1000);
    std::printf("%-12s %10.1f ms processor time  %6ld samples  %8.1f us/sample", "zettrim.exe", app_cpu,
                static_cast<long>(app_samples),
                app_samples > 0 ? app_cpu * 1000 / static_cast<double>(app_samples) : 0.0);
    if (app_refresh >= 0) std::printf("  %6ld tray modifies", static_cast<long>(app_refresh));
    std::printf("\n");
    std::printf("%-12s %10.1f ms processor time  %6ld samples  %8.1f us/sample  %6ld tray modifies\n", "reference",
                ref_cpu, static_cast<long>(ref_samples),
                ref_samples > 0 ? ref_cpu * 1000 / static_cast<double>(ref_samples) : 0.0,
                static_cast<long>(ref_samples));
    if (ref_cpu > 0 && app_samples > 0 && ref_samples > 0) {
      std::printf("ratio (zettrim.exe / reference): %.2fx, per sample %.2fx\n", app_cpu / ref_cpu,
                  (app_cpu / static_cast<double>(app_samples)) / (ref_cpu / static_cast<double>(ref_samples)));
      if (!app.unix_dir.empty())
        std::printf("(Linux counts processor time in 10 ms ticks: repeat short runs, or run longer)\n");
    } else {
      std::printf("ratio: the reference used no measurable processor time\n");
      status = 1;
    }

    PostMessageW(main, WM_CLOSE, 0, 0);
    PostMessageW(ref, WM_CLOSE, 0, 0);
    WaitForSingleObject(app.pi.hProcess, 10000);
    WaitForSingleObject(reference.pi.hProcess, 10000);
  }
  return status;
}

int Measure(int seconds, const std::wstring& zettrim_source, unsigned rate, bool window, bool history,
            int every_minutes, const std::string& more_settings) {
  // A private folder: the program's settings file sits beside it.
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"zt_tray_cost_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring exe = dir + L"\\zettrim.exe";
  const std::wstring ini = dir + L"\\zettrim.ini";
  // No hot key: whether another program holds it must make no difference.
  const std::string settings = "[General]\r\nFirstLaunch=0\r\nAppTrayMode=" +
                               // The window alone: no tray icon beside it, as the reference has none.
                               std::string(window ? "0\r\nHideTrayWhenVisible=1" : "1") + "\r\nRate=" + std::to_string(rate) +
                               "\r\nAppModeHotkey=0\r\nAppModeHotkeyModifiers=0\r\n" + more_settings;
  int status = 2;
  if (!CopyFileW(zettrim_source.c_str(), exe.c_str(), FALSE) || !WriteFileBytes(ini, settings)) {
    std::fprintf(stderr, "cannot make the program's folder %ls\n", dir.c_str());
  } else {
    status = RunSideBySide(seconds, exe, rate, window, history, every_minutes);
  }
  DeleteFileW(ini.c_str());
  DeleteFileW(exe.c_str());
  RemoveDirectoryW(dir.c_str());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--reference") == 0)
    return RunReference(argc >= 3 ? static_cast<unsigned>(std::atoi(argv[2])) : 100u,
                        argc >= 4 && std::strcmp(argv[3], "window") == 0);
  const int seconds = argc >= 2 ? std::atoi(argv[1]) : 30;
  std::wstring zettrim = ModuleDir() + L"\\..\\zettrim-testable.exe";
  if (argc >= 3) {
    const std::string a = argv[2];
    zettrim.assign(a.begin(), a.end());
  }
  const unsigned rate = argc >= 4 ? static_cast<unsigned>(std::atoi(argv[3])) : 100u;
  const bool history = argc >= 5 && std::strcmp(argv[4], "history") == 0;
  const bool window = history || (argc >= 5 && std::strcmp(argv[4], "window") == 0);
  // After the mode: "every=N", and settings of the [General] section
  // ("ShowMoreResources=1").
  int every = 0;
  std::string more_settings;
  for (int i = 5; i < argc; ++i) {
    if (std::strncmp(argv[i], "every=", 6) == 0) every = std::atoi(argv[i] + 6);
    else if (std::strchr(argv[i], '=')) more_settings += std::string(argv[i]) + "\r\n";
  }
  return Measure(seconds > 0 ? seconds : 30, zettrim, rate, window, history, every, more_settings);
}
