#include "util/user_locale.h"

namespace zt {

std::array<std::string, 12> UserShortMonthNames() {
  return {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}

}  // namespace zt
