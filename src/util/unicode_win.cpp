#include "util/unicode_win.h"

#include <windows.h>

#include "util/unicode.h"

namespace zt {

// A wchar_t is a UTF-16 unit on Windows; the units are copied across, as
// the two types may not be read through each other.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring Widen(const std::string& utf8) {
  const std::u16string units = Utf16(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string Narrow(const std::wstring& utf16) {
  return Utf8(std::u16string(utf16.begin(), utf16.end()));
}

std::string SystemMessageText(uint32_t code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const std::string text = n && buffer ? Narrow(std::wstring(buffer, n)) : std::string();
  if (buffer) LocalFree(buffer);
  return text;
}

}  // namespace zt
