#include "util/platform.h"

#include <cmath>

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

namespace {

// Date-time values of 0001-01-01 and of the day after 9999-12-31.
constexpr double kFirstDateTime = -693593;
constexpr double kEndDateTime = 2958466;

struct CivilDate {
  int64_t year, month, day;
};

// The calendar date of a day count from 1970-01-01 (inverse of DaysFromCivil).
CivilDate CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  return {yoe + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

}  // namespace

DateTimeParts DateTimeToParts(double value) {
  DateTimeParts fields;
  if (!(value >= kFirstDateTime && value < kEndDateTime)) return fields;
  // Whole milliseconds since 1899-12-30 00:00, so that 0.99999999 of a day
  // is midnight of the next day rather than 23:59:59.
  const auto ms = static_cast<int64_t>(std::llround(value * 86400000.0));
  int64_t days = ms / 86400000;
  int64_t ms_of_day = ms % 86400000;
  if (ms_of_day < 0) {
    ms_of_day += 86400000;
    --days;
  }
  const CivilDate date = CivilFromDays(days - 25569);
  fields.year = static_cast<int>(date.year);
  fields.month = static_cast<int>(date.month);
  fields.day = static_cast<int>(date.day);
  const int64_t secs = ms_of_day / 1000;
  fields.hour = static_cast<int>(secs / 3600);
  fields.minute = static_cast<int>(secs / 60 % 60);
  fields.second = static_cast<int>(secs % 60);
  return fields;
}

}  // namespace zt
