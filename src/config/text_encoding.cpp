#include "config/text_encoding.h"

#include <cstdint>

namespace zt {
namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    // Also a lone surrogate, so that it survives the way back.
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUnit(std::string& out, uint16_t unit, bool big_endian) {
  const char hi = static_cast<char>(unit >> 8);
  const char lo = static_cast<char>(unit & 0xFF);
  if (big_endian) {
    out += hi;
    out += lo;
  } else {
    out += lo;
    out += hi;
  }
}

// The next code point of UTF-8 text (surrogate values allowed, as DecodeText
// writes them); U+FFFD for a byte that starts no valid sequence.
uint32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  // Sequence length, bits of the first byte, smallest value it may carry.
  struct Lead {
    size_t length;
    uint32_t bits;
    uint32_t min;
  };
  const Lead lead = (b0 & 0xE0) == 0xC0   ? Lead{2, b0 & 0x1Fu, 0x80}
                    : (b0 & 0xF0) == 0xE0 ? Lead{3, b0 & 0x0Fu, 0x800}
                    : (b0 & 0xF8) == 0xF0 ? Lead{4, b0 & 0x07u, 0x10000}
                                          : Lead{0, 0, 0};
  const size_t length = lead.length;
  uint32_t cp = lead.bits;
  const uint32_t min = lead.min;
  if (length == 0 || i + length > text.size()) {
    ++i;
    return 0xFFFD;
  }
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF) {
    ++i;
    return 0xFFFD;
  }
  i += length;
  return cp;
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
  const size_t units = bytes.size() / 2;
  auto unit = [&](size_t k) {
    const auto a = static_cast<unsigned char>(bytes[2 * k]);
    const auto b = static_cast<unsigned char>(bytes[2 * k + 1]);
    return static_cast<uint16_t>(le ? (a | (b << 8)) : ((a << 8) | b));
  };
  result.text.reserve(units);
  for (size_t k = 1; k < units; ++k) {
    const uint16_t u = unit(k);
    if (u >= 0xD800 && u < 0xDC00 && k + 1 < units) {
      const uint16_t next = unit(k + 1);
      if (next >= 0xDC00 && next < 0xE000) {
        AppendUtf8(result.text, 0x10000u + ((u - 0xD800u) << 10) + (next - 0xDC00u));
        ++k;
        continue;
      }
    }
    AppendUtf8(result.text, u);
  }
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
  AppendUnit(out, 0xFEFF, be);
  for (size_t i = 0; i < text.size();) {
    const uint32_t cp = NextCodePoint(text, i);
    if (cp >= 0x10000) {
      AppendUnit(out, static_cast<uint16_t>(0xD800 + ((cp - 0x10000) >> 10)), be);
      AppendUnit(out, static_cast<uint16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)), be);
    } else {
      AppendUnit(out, static_cast<uint16_t>(cp), be);
    }
  }
  return out;
}

}  // namespace zt
