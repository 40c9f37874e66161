// OpenDocument: hands a file name or web address to the system shell, as
// every "open" command of the program does.  On failure it shows an English
// warning box with the system's reason and returns false.
#pragma once

#include <string>

namespace zt {

bool OpenDocument(const std::string& target);

}  // namespace zt
