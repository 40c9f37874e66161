#include <cstdlib>
#include <cstring>

#include "util/texts.h"

namespace zt {
namespace {

// The native build has no UI language of its own: it answers as Windows
// would for the locale the environment names (the first of LC_ALL,
// LC_MESSAGES and LANG that is set).
class RealSystemLanguage final : public ISystemLanguage {
 public:
  uint16_t UserUiLanguage() override {
    constexpr uint16_t kChineseChina = 0x0804;
    constexpr uint16_t kEnglishUs = 0x0409;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
      const char* value = std::getenv(name);
      if (value == nullptr || *value == '\0') continue;
      return std::strncmp(value, "zh", 2) == 0 ? kChineseChina : kEnglishUs;
    }
    return kEnglishUs;
  }
};

}  // namespace

ZT_SEAM_REAL(ISystemLanguage, RealSystemLanguage)

}  // namespace zt
