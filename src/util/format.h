// Shared number helpers used across the program.  Portable; no OS calls.
#pragma once
#include <cstdint>
#include <string>

namespace zt {

// Rounds to the nearest integer, an exact half going to the even neighbour
// (2.5 -> 2, 3.5 -> 4).  Every measured value that becomes an integer for
// display (gauge, tray, MHz, MB) goes through this.
int64_t RoundHalfEven(double value);

// A non-negative value rounded as above, written in decimal with "," before
// every group of three digits from the right: 1234567 -> "1,234,567".
// Negative input is written as 0.
std::string FormatThousands(double value);

// A value with a fixed number of decimals (0 to 9) and the given decimal
// separator, as the patterns "0.0", "0.00", "0.000" write it:
// FormatFixed(45.25, 1, ",") -> "45,2".  A value that rounds to zero never
// shows a minus sign.
std::string FormatFixed(double value, int decimals, const std::string& decimal_separator);

}  // namespace zt
