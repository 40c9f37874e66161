#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "util/process_priority.h"

namespace zt {
namespace {

// Linux schedules threads, not processes: there is no class to share, and
// each measuring thread raises only itself.
class LinuxPriorityClass final : public IProcessPriorityClass {
 public:
  bool Read(uint32_t&) override { return false; }
  bool Write(uint32_t) override { return false; }
};

id_t CurrentThreadId() { return static_cast<id_t>(syscall(SYS_gettid)); }

}  // namespace

ZT_SEAM_REAL(IProcessPriorityClass, LinuxPriorityClass)

// The thread's nice value stands for its priority.  An unprivileged process
// may not lower it; real-time scheduling is not asked for, as a desktop
// program should not.
namespace detail {

bool ExchangeThreadPriority(int* level, bool highest) {
  const int wanted = highest ? -20 : *level;
  errno = 0;
  *level = getpriority(PRIO_PROCESS, CurrentThreadId());
  if (*level == -1 && errno != 0) return false;
  return setpriority(PRIO_PROCESS, CurrentThreadId(), wanted) == 0;
}

}  // namespace detail

}  // namespace zt
