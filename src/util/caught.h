// A trace of every exception caught at a boundary (a window procedure, a
// thread's entry, a COM method, a best-effort save): where, and what it said.
// The boundary still swallows it, as nothing may unwind into the system, but
// the fault no longer vanishes: a debugger sees it (OutputDebugString on
// Windows) and the last few stay in memory for a look from outside.
// Portable.
#pragma once

#include <string>
#include <vector>

namespace zt {

struct CaughtException {
  std::string where;
  std::string what;  // the exception's own text, or "unknown exception"
};

// Call only inside a catch block: notes the exception being handled.  Never
// raises.
void RecordCaught(const char* where) noexcept;

// The newest records, oldest first (at most kCaughtKept).
constexpr size_t kCaughtKept = 32;
std::vector<CaughtException> CaughtExceptions();

}  // namespace zt
