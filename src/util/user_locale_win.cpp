#include <windows.h>

#include "util/unicode_win.h"
#include "util/user_locale.h"

namespace zt {

std::array<std::string, 12> UserShortMonthNames() {
  std::array<std::string, 12> names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int i = 0; i < 12; ++i) {
    wchar_t buf[80] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + i), buf, 80) > 1)
      names[static_cast<size_t>(i)] = Narrow(buf);
  }
  return names;
}

}  // namespace zt
