#include <string>

namespace zt {

// No debugger channel here: the in-memory record is the trace.
void ReportCaughtToDebugger(const std::string&) noexcept {}

}  // namespace zt
