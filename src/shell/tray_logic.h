// What the tray icon shows for a sample: which image of the numeric (101) or
// gradient (15) list, and the two-line tip.  Portable; the Windows layer
// (tray_icon_win.h) only hands the results to the shell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

constexpr int kTrayNumericImages = 101;
constexpr int kTrayGradientImages = 15;
// The shell's tip field holds 128 characters with the terminator (every
// system the program runs on).
constexpr std::size_t kTrayTipMaxChars = 127;

// Image for a load in per cent: load x (count - 1) / 100, rounded to the
// nearest integer with an exact half going to the even neighbour, then kept
// within 0 .. count - 1.  Done in integers so the halves (25 % and 75 % on
// the gradient list) are exact.
int TrayImageIndex(int load, int count);

// "CPU: 37%" and, when memory >= 0, a bare carriage return and the memory's
// line, in the current language.
std::u16string TrayTipText(int load, int memory);

// The first 127 UTF-16 units of text, never ending in half a surrogate pair.
std::u16string LimitTrayTip(const std::u16string& text);

// What the notification area was last given, so that an update which
// changes neither the picture nor the tip costs no call into the shell.  A
// refused call, or anything else that leaves the shell's copy in doubt (the
// icon removed or put back), forgets it: the next update is then sent
// whatever it holds.
class TrayShellCopy {
 public:
  // True unless the shell is known to hold exactly this picture (any value
  // that names it) and tip.
  bool Differs(std::uintptr_t picture, std::u16string_view tip) const;
  // The shell took this picture and tip.
  void Took(std::uintptr_t picture, std::u16string_view tip);
  void Forget() { known_ = false; }

 private:
  bool known_ = false;
  std::uintptr_t picture_ = 0;
  std::u16string tip_;
};

}  // namespace zt
