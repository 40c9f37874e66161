#include "shell/tray_logic.h"

#include <cstdint>

#include "util/texts.h"
#include "util/unicode.h"

namespace zt {

int TrayImageIndex(int load, int count) {
  if (count <= 1) return 0;
  const int64_t n = static_cast<int64_t>(load) * (count - 1);
  // Floor division so negative loads round the same way as positive ones.
  int64_t q = n / 100;
  int64_t r = n % 100;
  if (r < 0) {
    r += 100;
    --q;
  }
  if (r > 50 || (r == 50 && (q & 1) != 0)) ++q;
  if (q < 0) return 0;
  if (q >= count) return count - 1;
  return static_cast<int>(q);
}

std::u16string TrayTipText(int load, int memory) {
  std::string tip = Format(TextId::TrayTipCpu, {std::to_string(load)});
  if (memory >= 0) {
    tip += '\r';
    tip += Format(TextId::TrayTipMemory, {std::to_string(memory)});
  }
  return Utf16(tip);
}

std::u16string LimitTrayTip(const std::u16string& text) {
  if (text.size() <= kTrayTipMaxChars) return text;
  std::size_t n = kTrayTipMaxChars;
  const char16_t last = text[n - 1];
  if (last >= 0xD800 && last <= 0xDBFF) --n;  // keep surrogate pairs whole
  return text.substr(0, n);
}

bool TrayShellCopy::Differs(std::uintptr_t picture, std::u16string_view tip) const {
  return !known_ || picture != picture_ || tip != tip_;
}

void TrayShellCopy::Took(std::uintptr_t picture, std::u16string_view tip) {
  picture_ = picture;
  tip_.assign(tip.data(), tip.size());  // keeps its buffer from update to update
  known_ = true;
}

}  // namespace zt
