#include <windows.h>

#include <string>

#include "util/unicode_win.h"

namespace zt {

void ReportCaughtToDebugger(const std::string& line) noexcept {
  try {
    OutputDebugStringW(Widen(line).c_str());
  } catch (...) {
  }
}

}  // namespace zt
