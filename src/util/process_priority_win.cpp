#include <windows.h>

#include "util/process_priority.h"

namespace zt {
namespace {

class WindowsPriorityClass final : public IProcessPriorityClass {
 public:
  bool Read(uint32_t& priority_class) override {
    const DWORD value = GetPriorityClass(GetCurrentProcess());
    if (value == 0) return false;
    priority_class = value;
    return true;
  }
  bool Write(uint32_t priority_class) override {
    return SetPriorityClass(GetCurrentProcess(), priority_class) != FALSE;
  }
};

}  // namespace

ZT_SEAM_REAL(IProcessPriorityClass, WindowsPriorityClass)

namespace detail {

bool ExchangeThreadPriority(int* level, bool highest) {
  const int wanted = highest ? THREAD_PRIORITY_TIME_CRITICAL : *level;
  *level = GetThreadPriority(GetCurrentThread());
  return *level != THREAD_PRIORITY_ERROR_RETURN && SetThreadPriority(GetCurrentThread(), wanted) != FALSE;
}

}  // namespace detail

}  // namespace zt
