#include "util/handles_win.h"

namespace zt {
std::atomic<long> HandleCounters::gdi{0};
std::atomic<long> HandleCounters::user{0};
}  // namespace zt
