#include <windows.h>

#include "sampling/memory.h"
#include "util/platform.h"

namespace zt {

namespace {

using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);

// Looked up at run time: the call does not exist before Windows 2000.
GlobalMemoryStatusExFn LookUpGlobalMemoryStatusEx() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return nullptr;
  return reinterpret_cast<GlobalMemoryStatusExFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GlobalMemoryStatusEx")));
}

}  // namespace

void GetMemoryFigures(bool physical, uint64_t& total, uint64_t& available) {
  total = kMemoryQueryFailed;
  available = kMemoryQueryFailed;
  if (IsWindows2000OrLater()) {
    static const GlobalMemoryStatusExFn status_ex = LookUpGlobalMemoryStatusEx();
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
