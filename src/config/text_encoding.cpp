#include "config/text_encoding.h"

#include "util/unicode.h"

namespace zt {
namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::optional<DecodedText> DecodeText(std::string_view bytes) {
  DecodedText result;
  if (StartsWith(bytes, kUtf8Mark)) {
    result.encoding = TextEncoding::kUtf8Bom;
    result.text = std::string(bytes.substr(3));
    return result;
  }
  const bool le = StartsWith(bytes, "\xFF\xFE");
  const bool be = StartsWith(bytes, "\xFE\xFF");
  if (!le && !be) {
    result.text = std::string(bytes);
    return result;
  }
  if (bytes.size() % 2 != 0) return std::nullopt;
  result.encoding = le ? TextEncoding::kUtf16LE : TextEncoding::kUtf16BE;
  std::u16string units(bytes.size() / 2 - 1, u'\0');  // without the mark
  for (size_t k = 0; k < units.size(); ++k) {
    const auto a = static_cast<unsigned char>(bytes[2 * k + 2]);
    const auto b = static_cast<unsigned char>(bytes[2 * k + 3]);
    units[k] = static_cast<char16_t>(le ? (a | (b << 8)) : ((a << 8) | b));
  }
  result.text = Utf8(units, LoneSurrogates::kKeep);
  return result;
}

std::string EncodeText(std::string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kPlain:
      return std::string(text);
    case TextEncoding::kUtf8Bom:
      return kUtf8Mark + std::string(text);
    case TextEncoding::kUtf16LE:
    case TextEncoding::kUtf16BE:
      break;
  }
  const bool be = encoding == TextEncoding::kUtf16BE;
  std::string out;
  out.reserve(2 * text.size() + 2);
  for (const char16_t unit : u'\uFEFF' + Utf16(text, LoneSurrogates::kKeep)) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += be ? high : low;
    out += be ? low : high;
  }
  return out;
}

}  // namespace zt
