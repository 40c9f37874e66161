#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include "util/platform.h"

namespace zt {

template <>
IPlatformVersion& Seam<IPlatformVersion>::Real() {
  class LinuxVersion final : public IPlatformVersion {
   public:
    bool IsWindows2000OrLater() override { return true; }
  };
  static LinuxVersion version;
  return version;
}

std::string ExecutablePath() {
  std::string buf(256, '\0');
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buf.size()) {
      buf.resize(static_cast<size_t>(n));
      return buf;
    }
    buf.resize(buf.size() * 2);
  }
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

uint64_t GetTickCount64Ms() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

uint32_t GetTickCountMs() { return static_cast<uint32_t>(GetTickCount64Ms()); }

double NowAsDateTime() {
  int offset = 0;
  return NowAsDateTime(&offset);
}

double NowAsDateTime(int* utc_offset) {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  time_t secs = ts.tv_sec;
  localtime_r(&secs, &local);
  *utc_offset = static_cast<int>(local.tm_gmtoff / 60);
  return DateTimeFromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min, local.tm_sec, static_cast<int>(ts.tv_nsec / 1000000));
}

}  // namespace zt
