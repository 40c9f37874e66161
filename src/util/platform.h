// Small platform facts and clocks used across the program.  Portable
// interface; Windows and Linux each provide their own implementation.
#pragma once

#include <cstdint>
#include <string>

#include "util/seam.h"

namespace zt {

// Which family of the system the program runs on.
class IPlatformVersion {
 public:
  virtual ~IPlatformVersion() = default;
  // True on the NT family from Windows 2000 on (major version 5 or more).
  // From then on the system's processor object ends with an all-processors
  // aggregate instance.  The Linux build presents its processors the same
  // way and answers true.
  virtual bool IsWindows2000OrLater() = 0;
};
template <>
IPlatformVersion& Seam<IPlatformVersion>::Real();

inline bool IsWindows2000OrLater() { return Seam<IPlatformVersion>::Get().IsWindows2000OrLater(); }

// The running program's own file, its full path in UTF-8 as the system
// reports it (however long); empty when the system cannot tell.
std::string ExecutablePath();

// The system's number of the calling thread.
uint32_t CurrentThreadId();

// Milliseconds since system start, wrapping at 2^32 like GetTickCount.
uint32_t GetTickCountMs();
// Milliseconds since system start, 64 bits wide: it does not wrap.
uint64_t GetTickCount64Ms();

// Local date and time as days since 30 December 1899, the time of day as the
// fraction (the program's date-time format).
double NowAsDateTime();
// The same, with how many minutes that local time is ahead of UTC, both
// from one reading of the clock.
double NowAsDateTime(int* utc_offset);

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day);

// The date-time value of a local calendar date and time (no range check
// beyond what the arithmetic needs; month 1..12, day 1..31).
double DateTimeFromParts(int year, int month, int day, int hour, int minute, int second,
                         int millisecond);

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
};
// The calendar date and time of a date-time value, the inverse of
// DateTimeFromParts: the time of day is rounded to the millisecond, then
// the seconds are whole.  A value that is not a number or lies beyond the
// years 1 to 9999 gives the zero date, 30 December 1899, 00:00:00.
DateTimeParts DateTimeToParts(double value);

}  // namespace zt
