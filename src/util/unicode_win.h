// UTF-8 <-> UTF-16 conversions for the Windows layer.
#pragma once
#include <string>

namespace zt {
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
}  // namespace zt
