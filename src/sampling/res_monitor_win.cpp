#include <windows.h>

#include "sampling/res_monitor.h"
#include "util/unicode_win.h"

namespace zt {

std::string UserDecimalSeparator() {
  wchar_t buf[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) <= 1) return ".";
  return Narrow(buf);
}

}  // namespace zt
