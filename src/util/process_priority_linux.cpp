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

}  // namespace

template <>
IProcessPriorityClass& Seam<IProcessPriorityClass>::Real() {
  static LinuxPriorityClass priority;
  return priority;
}

}  // namespace zt
