#include <windows.h>

#include "util/platform.h"
#include "util/unicode_win.h"

namespace zt {

namespace {

// The version as the system reports it to this program; the manifest lists the
// supported systems, so the numbers are not capped at 6.2.
bool QueryVersion(OSVERSIONINFOW& info) {
  info = OSVERSIONINFOW{};
  info.dwOSVersionInfoSize = sizeof(info);
  return GetVersionExW(&info) != FALSE;
}

}  // namespace

template <>
IPlatformVersion& Seam<IPlatformVersion>::Real() {
  class WindowsVersion final : public IPlatformVersion {
   public:
    bool IsWindows2000OrLater() override {
      static const bool answer = [] {
        OSVERSIONINFOW info;
        if (!QueryVersion(info)) return false;
        return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
      }();
      return answer;
    }
  };
  static WindowsVersion version;
  return version;
}

std::string ExecutablePath() {
  // A path longer than MAX_PATH comes back cut short, filling the buffer:
  // the buffer grows until the whole path fits.
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      buf.resize(n);
      return Narrow(buf);
    }
    buf.resize(buf.size() * 2);
  }
}

uint32_t CurrentThreadId() { return GetCurrentThreadId(); }

uint32_t GetTickCountMs() { return GetTickCount(); }
uint64_t GetTickCount64Ms() { return GetTickCount64(); }

double NowAsDateTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return DateTimeFromParts(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                           st.wMilliseconds);
}

double NowAsDateTime(int* utc_offset) {
  FILETIME utc, local;
  GetSystemTimeAsFileTime(&utc);
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) {
    *utc_offset = 0;
    return NowAsDateTime();
  }
  auto ticks = [](const FILETIME& t) {
    return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  // In 100 ns ticks; offsets are whole minutes.
  const int64_t difference = ticks(local) - ticks(utc);
  *utc_offset = static_cast<int>((difference + (difference < 0 ? -300000000 : 300000000)) / 600000000);
  return DateTimeFromParts(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                           st.wMilliseconds);
}

}  // namespace zt
