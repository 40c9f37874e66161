// OpenDocument: hands a file name or web address to the system shell, as
// every "open" command of the program does.  On failure it shows an English
// warning box with the system's reason and returns false.
#pragma once

#include <windows.h>

#include <string>

namespace zt {

// The box is owned by `owner`, the window whose command failed: it opens
// above that window even when the window stays on top of every other.
bool OpenDocument(HWND owner, const std::string& target);

}  // namespace zt
