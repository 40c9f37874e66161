// The encodings a settings file may arrive in.  The program writes plain
// text in the system's code page, but a file saved from Notepad may start
// with a UTF-8 byte-order mark ("UTF-8 with BOM") or be UTF-16 with its mark
// ("Unicode", "Unicode big endian").  Such files are read through the same
// INI rules and written back in the encoding they came in, so nothing in them
// is lost.  Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zt {

enum class TextEncoding {
  kPlain,    // no byte-order mark: bytes as they are
  kUtf8Bom,  // EF BB BF, then UTF-8
  kUtf16LE,  // FF FE, then UTF-16 little-endian
  kUtf16BE,  // FE FF, then UTF-16 big-endian
};

struct DecodedText {
  TextEncoding encoding = TextEncoding::kPlain;
  std::string text;  // without the mark; UTF-16 turned into UTF-8
};

// The text of a file's bytes.  UTF-16 code units that do not pair up (a lone
// surrogate) are carried as three-byte sequences so that writing the text
// back gives the same units.  nullopt for UTF-16 with an odd number of bytes,
// which cannot be read back faithfully.
std::optional<DecodedText> DecodeText(std::string_view bytes);

// The bytes of `text` in `encoding`, mark included: the inverse of
// DecodeText.  Bytes of the text that are not UTF-8 (never produced by
// DecodeText) become U+FFFD in UTF-16.
std::string EncodeText(std::string_view text, TextEncoding encoding);

}  // namespace zt
