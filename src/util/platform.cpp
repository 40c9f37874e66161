#include "util/platform.h"

namespace zt {

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

double DateTimeFromParts(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
  // 1899-12-30 is 25569 days before 1970-01-01.
  const int64_t days = DaysFromCivil(year, month, day) + 25569;
  const double ms_of_day =
      ((static_cast<double>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(days) + ms_of_day / 86400000.0;
}

}  // namespace zt
