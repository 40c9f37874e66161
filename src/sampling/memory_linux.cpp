#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "sampling/memory.h"

namespace zt {

namespace {

// /proc/meminfo stays open: the kernel writes the text afresh on every read
// from offset 0, and pread needs no shared file position, so callers on
// different threads do not disturb each other.
int MemInfoFile() {
  static const int fd = open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
  return fd;
}

}  // namespace

void GetMemoryFigures(bool physical, uint64_t& total, uint64_t& available) {
  total = kMemoryQueryFailed;
  available = kMemoryQueryFailed;
  const int fd = MemInfoFile();
  if (fd < 0) return;
  // The lines needed are near the top; a few KB hold the whole file.
  char buffer[8192];
  ssize_t got;
  do {
    got = pread(fd, buffer, sizeof buffer, 0);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) return;
  ParseMemInfo(buffer, static_cast<size_t>(got), physical, total, available);
}

}  // namespace zt
