// Runs the built zettrim-cpuinfo and answers what it printed, for tests that
// hold a window against the report.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "util/unicode_win.h"

namespace zt::test {

// A path of the build as the program sees it: a Linux path under Wine is on
// drive Z:.
inline std::wstring FromBuildPath(const std::string& path) {
  std::wstring w = Widen(path);
  if (!w.empty() && w[0] == L'/') w = L"Z:" + w;
  std::replace(w.begin(), w.end(), L'/', L'\\');
  return w;
}

// Runs `exe` with `args` (a command-line tail) and answers its output.
inline std::string RunCpuinfo(const std::wstring& exe, const std::wstring& args) {
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return {};
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = write_end;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring command = L"\"" + exe + L"\" " + args;
  PROCESS_INFORMATION pi = {};
  const BOOL started =
      CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
  CloseHandle(write_end);
  std::string out;
  if (started) {
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(read_end, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  CloseHandle(read_end);
  return out;
}

}  // namespace zt::test
