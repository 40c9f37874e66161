// The conversions of unicode.h in the system's own string type, and the
// system's words for an error code.  Windows only.
#pragma once
#include <cstdint>
#include <string>

namespace zt {
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
// The system's own words for an error code (FormatMessage), as it gives
// them, line break included; empty when it has none.
std::string SystemMessageText(uint32_t code);
}  // namespace zt
