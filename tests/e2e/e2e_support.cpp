#include "e2e_support.h"

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <thread>

#include "util/control_text_win.h"

namespace zt::e2e {

namespace {

// Where the build put the program: a Linux path under Wine (drive Z:) or a
// Windows path.
std::wstring BuiltExeDir() {
  std::string dir = ZT_EXE_DIR;
  std::wstring w(dir.begin(), dir.end());
  if (!w.empty() && w[0] == L'/') w = L"Z:" + w;
  std::replace(w.begin(), w.end(), L'/', L'\\');
  return w;
}

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = dir + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

struct FindData {
  DWORD pid;
  const wchar_t* cls;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lparam) {
  auto* fd = reinterpret_cast<FindData*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != fd->pid) return TRUE;
  wchar_t buf[256];
  if (fd->cls) {
    GetClassNameW(hwnd, buf, 256);
    if (lstrcmpW(buf, fd->cls) != 0) return TRUE;
  }
  if (fd->title && ControlText(hwnd) != fd->title) return TRUE;
  fd->found = hwnd;
  return FALSE;
}

}  // namespace

AppFolder::AppFolder() {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  static int counter = 0;
  for (;;) {
    dir_ = std::wstring(tmp) + L"zt-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
    if (CreateDirectoryW(dir_.c_str(), nullptr)) break;
  }
  std::wstring src = BuiltExeDir();
  CopyFileW((src + L"\\zettrim-testable.exe").c_str(), exe().c_str(), FALSE);
  CopyFileW((src + L"\\History.txt").c_str(), (dir_ + L"\\History.txt").c_str(), FALSE);
  CopyFileW((src + L"\\Copyrights.txt").c_str(), (dir_ + L"\\Copyrights.txt").c_str(), FALSE);
}

AppFolder::~AppFolder() { RemoveTree(dir_); }

std::string AppFolder::ReadIni() const {
  std::ifstream in(ini().c_str(), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void AppFolder::WriteIni(const std::string& bytes) const {
  std::ofstream out(ini().c_str(), std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool AppFolder::IniExists() const {
  return GetFileAttributesW(ini().c_str()) != INVALID_FILE_ATTRIBUTES;
}

App::App(const std::wstring& exe, const std::wstring& args) {
  std::wstring cmd = L"\"" + exe + L"\"";
  if (!args.empty()) cmd += L" " + args;
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
  CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                 &pi_);
}

App::~App() {
  Kill();
  if (pi_.hProcess) CloseHandle(pi_.hProcess);
  if (pi_.hThread) CloseHandle(pi_.hThread);
}

HWND App::WaitForWindow(const wchar_t* cls, const wchar_t* title, int timeout_ms) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        FindData fd{pid(), cls, title, nullptr};
        EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&fd));
        found = fd.found;
        return found != nullptr;
      },
      timeout_ms);
  return found;
}

HWND App::WaitForMainWindow(int timeout_ms) {
  return WaitForWindow(L"TForm_Main", L"Zettrim", timeout_ms);
}

bool App::WaitForExit(int timeout_ms, DWORD* exit_code) {
  if (!pi_.hProcess) return false;
  if (WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0)
    return false;
  if (exit_code) GetExitCodeProcess(pi_.hProcess, exit_code);
  return true;
}

bool App::Running() {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

void App::Kill() {
  if (Running()) {
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 5000);
  }
}

std::wstring WindowText(HWND hwnd) {
  // By message: an edit control of another process keeps its own text.
  const LRESULT n = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  if (n <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got > 0 && got <= n ? got : 0));
  return text;
}

std::wstring MessageBoxText(HWND box) {
  // The message is the static control with id 0xFFFF in the system box.
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? WindowText(text) : std::wstring();
}

void ClickButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

namespace {
struct ChildTextSearch {
  const std::wstring* text;
  HWND found;
};
BOOL CALLBACK FindChildText(HWND child, LPARAM lp) {
  auto* d = reinterpret_cast<ChildTextSearch*>(lp);
  if (WindowText(child) == *d->text) {
    d->found = child;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindChildByText(HWND parent, const std::wstring& text) {
  ChildTextSearch data{&text, nullptr};
  EnumChildWindows(parent, FindChildText, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

Language SystemLanguage() { return LanguageFor("", GetUserDefaultUILanguage()); }

bool WaitUntil(const std::function<bool()>& condition, int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool ReadAutorunValue(std::wstring* data) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  wchar_t buf[2048] = {};
  DWORD size = sizeof(buf) - sizeof(wchar_t), type = 0;
  LONG r = RegQueryValueExW(key, L"Zettrim", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS || type != REG_SZ) return false;
  if (data) *data = buf;
  return true;
}

void DeleteAutorunValue() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return;
  RegDeleteValueW(key, L"Zettrim");
  RegCloseKey(key);
}

bool IniValue(const std::string& ini, const std::string& section, const std::string& key,
              std::string* value) {
  auto lower = [](std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  std::istringstream in(ini);
  std::string line, current;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      current = lower(line.substr(1, line.size() - 2));
      continue;
    }
    auto eq = line.find('=');
    if (eq == std::string::npos || current != lower(section)) continue;
    if (lower(line.substr(0, eq)) == lower(key)) {
      if (value) *value = line.substr(eq + 1);
      return true;
    }
  }
  return false;
}

namespace {

struct IdSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND child, LPARAM param) {
  auto* s = reinterpret_cast<IdSearch*>(param);
  if (GetDlgCtrlID(child) != s->id) return TRUE;
  s->found = child;
  return FALSE;
}

}  // namespace

HWND FindDescendant(HWND parent, int id) {
  IdSearch search = {id, nullptr};
  EnumChildWindows(parent, MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace zt::e2e
