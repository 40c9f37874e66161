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

}  // namespace zt
