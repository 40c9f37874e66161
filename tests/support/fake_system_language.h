// A system whose user-interface language (a Windows LANGID) the test chooses.
#pragma once

#include "util/texts.h"

namespace zt {

class FakeSystemLanguage : public ISystemLanguage {
 public:
  explicit FakeSystemLanguage(uint16_t langid) : langid_(langid) {}
  uint16_t UserUiLanguage() override { return langid_; }

 private:
  uint16_t langid_;
};

}  // namespace zt
