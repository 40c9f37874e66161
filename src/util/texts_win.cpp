#include <windows.h>

#include "util/texts.h"

namespace zt {
namespace {

class RealSystemLanguage final : public ISystemLanguage {
 public:
  uint16_t UserUiLanguage() override { return GetUserDefaultUILanguage(); }
};

}  // namespace

ZT_SEAM_REAL(ISystemLanguage, RealSystemLanguage)

}  // namespace zt
