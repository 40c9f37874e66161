#include <windows.h>

#include "util/texts.h"

namespace zt {
namespace {

class RealSystemLanguage final : public ISystemLanguage {
 public:
  uint16_t UserUiLanguage() override { return GetUserDefaultUILanguage(); }
};

}  // namespace

template <>
ISystemLanguage& Seam<ISystemLanguage>::Real() {
  static RealSystemLanguage real;
  return real;
}

}  // namespace zt
