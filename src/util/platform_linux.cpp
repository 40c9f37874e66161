#include <time.h>

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

uint64_t GetTickCount64Ms() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

uint32_t GetTickCountMs() { return static_cast<uint32_t>(GetTickCount64Ms()); }

double NowAsDateTime() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  time_t secs = ts.tv_sec;
  localtime_r(&secs, &local);
  return DateTimeFromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min, local.tm_sec, static_cast<int>(ts.tv_nsec / 1000000));
}

}  // namespace zt
