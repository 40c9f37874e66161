#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "sampling/process_times.h"

namespace zt {

namespace {

class ProcProcessList final : public IProcessTimes {
 public:
  bool Read(std::vector<ProcessTime>& out) override {
    out.clear();
    DIR* dir = opendir("/proc");
    if (!dir) return false;
    const long ticks = sysconf(_SC_CLK_TCK);
    std::string line;
    char path[64];
    char text[1024];
    while (const dirent* entry = readdir(dir)) {
      if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) continue;
      std::snprintf(path, sizeof path, "/proc/%.20s/stat", entry->d_name);
      // A process that ends meanwhile is simply not in this reading.
      const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
      if (fd < 0) continue;
      const ssize_t n = ::read(fd, text, sizeof text - 1);
      ::close(fd);
      if (n <= 0) continue;
      line.assign(text, static_cast<size_t>(n));
      ProcessTime p;
      if (ParseProcStat(line, ticks > 0 ? static_cast<uint64_t>(ticks) : 100, &p)) out.push_back(std::move(p));
    }
    closedir(dir);
    return true;
  }
};

}  // namespace

ZT_SEAM_REAL(IProcessTimes, ProcProcessList)

}  // namespace zt
