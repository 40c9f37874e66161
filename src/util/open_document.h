// The text of the box shown when the shell cannot open a file or address.
// Portable so the exact wording is tested everywhere.
#pragma once

#include <string>

namespace zt {

// "Could not open the following file:\r\r<target>\r\rError: <text> (<code>)."
// The system's message text loses its trailing line break and full stop so
// the sentence does not end twice.
std::string OpenDocumentErrorText(const std::string& target, const std::string& system_text, int code);

}  // namespace zt
