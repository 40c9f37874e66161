// Common error base of the program.  Operations that fail raise an error
// object that carries a message; the shell catches them at its boundaries.
#pragma once
#include <stdexcept>
#include <string>

namespace zt {

class EZettrimError : public std::runtime_error {
 public:
  explicit EZettrimError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zt
