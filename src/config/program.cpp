#include "config/program.h"

namespace zt {

std::string ProgramVersion() {
  return std::to_string(kProgramVersionMajor) + "." + std::to_string(kProgramVersionMinor);
}

std::string BuildDate() { return "2013-12-16"; }

}  // namespace zt
