// The user's names for things the program writes in the user's own way.
// Portable interface; Windows asks the user's locale, Linux answers as the C
// locale does (the Linux build formats numbers in the C locale too).
#pragma once

#include <array>
#include <string>

namespace zt {

// The twelve short month names, January first, UTF-8 ("Jan" ... "Dec" in
// English).  A name the system cannot give is the English one.
std::array<std::string, 12> UserShortMonthNames();

}  // namespace zt
