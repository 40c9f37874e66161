// UTF-8, the program's text, and UTF-16, the system's: the one place where
// either is turned into the other.  Text that is not well formed never
// stops a conversion; what cannot be read becomes U+FFFD.  Portable
// (unicode_win.h puts the same conversions in the system's string types).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

// What becomes of a surrogate code unit that does not pair up.
enum class LoneSurrogates {
  kReplace,  // U+FFFD: the text is well formed afterwards
  kKeep,     // carried in its three-byte form, so that the way back gives the unit again
};

// The UTF-16 of UTF-8 text.  A byte that starts no well-formed sequence
// (cut short, too long for its value, beyond U+10FFFF) reads as one U+FFFD;
// so does each byte of a surrogate's three-byte form unless it is kept.
std::u16string Utf16(std::string_view utf8, LoneSurrogates lone = LoneSurrogates::kReplace);

// The UTF-8 of UTF-16 units.
std::string Utf8(std::u16string_view utf16, LoneSurrogates lone = LoneSurrogates::kReplace);

// One code point (at most U+10FFFF, surrogates included) in UTF-8.
void AppendUtf8(std::string& out, uint32_t code_point);

}  // namespace zt
