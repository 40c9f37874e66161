#include "util/dpi.h"

#include <cstdint>
#include <limits>

namespace zt {

int MulDivRound(int value, int numerator, int denominator) {
  if (denominator == 0) return value;
  int64_t product = static_cast<int64_t>(value) * numerator;
  int64_t d = denominator;
  if (d < 0) {
    product = -product;
    d = -d;
  }
  // Twice the product against twice the divisor keeps the half exact for
  // odd divisors.
  const int64_t q = product >= 0 ? (2 * product + d) / (2 * d) : -((-2 * product + d) / (2 * d));
  if (q > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (q < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(q);
}

int ScaleToDpi(int design, int dpi) {
  return dpi > 0 ? MulDivRound(design, dpi, kDesignDpi) : design;
}

int ScaleFromDpi(int pixels, int dpi) {
  return dpi > 0 ? MulDivRound(pixels, kDesignDpi, dpi) : pixels;
}

int FontHeightForPoints(int points, int dpi) {
  return -MulDivRound(points, dpi > 0 ? dpi : kDesignDpi, 72);
}

}  // namespace zt
