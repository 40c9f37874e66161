#include <windows.h>

#include "sampling/memory.h"
#include "util/dynamic_calls_win.h"
#include "util/platform.h"

namespace zt {

void GetMemoryFigures(bool physical, uint64_t& total, uint64_t& available) {
  total = kMemoryQueryFailed;
  available = kMemoryQueryFailed;
  if (IsWindows2000OrLater()) {
    const auto status_ex = Kernel32().GlobalMemoryStatusEx;
    if (!status_ex) {
      SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
      return;
    }
    MEMORYSTATUSEX ms = {};
    ms.dwLength = sizeof(ms);  // 64
    if (!status_ex(&ms)) return;
    if (physical) {
      total = ms.ullTotalPhys;
      available = ms.ullAvailPhys;
    } else {
      total = ms.ullTotalPageFile;
      available = ms.ullAvailPageFile;
    }
  } else {
    MEMORYSTATUS ms = {};
    ms.dwLength = sizeof(ms);
    GlobalMemoryStatus(&ms);
    if (physical) {
      total = ms.dwTotalPhys;
      available = ms.dwAvailPhys;
    } else {
      total = ms.dwTotalPageFile;
      available = ms.dwAvailPageFile;
    }
  }
}

}  // namespace zt
