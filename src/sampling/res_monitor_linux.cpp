#include "sampling/res_monitor.h"

namespace zt {

// The program formats numbers in the C locale on Linux.
std::string UserDecimalSeparator() { return "."; }

}  // namespace zt
