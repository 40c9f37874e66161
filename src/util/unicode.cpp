#include "util/unicode.h"

namespace zt {
namespace {

bool IsSurrogate(uint32_t unit) { return unit >= 0xD800 && unit < 0xE000; }
bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

struct Decoded {
  uint32_t code;
  size_t length;  // 0: the byte starts no well-formed sequence
};

// The code point at `i`.  Surrogates are answered as they stand.
Decoded DecodeAt(std::string_view text, size_t i) {
  constexpr Decoded kMalformed{0xFFFD, 0};
  const auto lead = static_cast<unsigned char>(text[i]);
  const size_t length =
      lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
  if (length == 1) return {lead, 1};
  if (length == 0 || text.size() - i < length) return kMalformed;
  uint32_t code = lead & (0x7Fu >> length);
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return kMalformed;
    code = code << 6 | (next & 0x3Fu);
  }
  // The shortest form only: anything longer would let one text be spelt
  // two ways.
  const uint32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
  if (code < smallest || code > 0x10FFFF) return kMalformed;
  return {code, length};
}

}  // namespace

std::u16string Utf16(std::string_view utf8, LoneSurrogates lone) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto [code, length] = DecodeAt(utf8, i);
    if (length == 0 || (IsSurrogate(code) && lone == LoneSurrogates::kReplace)) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return out;
}

std::string Utf8(std::u16string_view utf16, LoneSurrogates lone) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    uint32_t code = utf16[i];
    if (IsHighSurrogate(code) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[++i] - 0xDC00u);
    } else if (IsSurrogate(code) && lone == LoneSurrogates::kReplace) {
      code = 0xFFFD;
    }
    AppendUtf8(out, code);
  }
  return out;
}

void AppendUtf8(std::string& out, uint32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
    return;
  }
  // The lead byte's marker for the number of continuation bytes after it.
  constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  const int tail = code_point < 0x800 ? 1 : code_point < 0x10000 ? 2 : 3;
  out += static_cast<char>(kLead[tail] | (code_point >> (6 * tail)));
  for (int k = tail - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((code_point >> (6 * k)) & 0x3F));
}

}  // namespace zt
