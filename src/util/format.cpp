#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zt {

int64_t RoundHalfEven(double value) {
  if (!std::isfinite(value)) return 0;
  double floor_value = std::floor(value);
  double diff = value - floor_value;
  double result;
  if (diff > 0.5) {
    result = floor_value + 1.0;
  } else if (diff < 0.5) {
    result = floor_value;
  } else {
    result = std::fmod(floor_value, 2.0) == 0.0 ? floor_value : floor_value + 1.0;
  }
  if (result >= 9.2e18) return INT64_MAX;
  if (result <= -9.2e18) return INT64_MIN;
  return static_cast<int64_t>(result);
}

std::string FormatThousands(double value) {
  int64_t n = RoundHalfEven(value);
  if (n < 0) n = 0;
  std::string digits = std::to_string(n);
  std::string out;
  out.reserve(digits.size() + digits.size() / 3);
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

std::string FormatFixed(double value, int decimals, const std::string& decimal_separator) {
  char buf[352];  // the longest double with nine decimals fits
  std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 9), value);
  std::string text(buf);
  // A value a hair below zero must not show as "-0.00".
  if (text.compare(0, 2, "-0") == 0 && text.find_first_not_of("-0.") == std::string::npos)
    text.erase(0, 1);
  const size_t dot = text.find('.');
  if (dot != std::string::npos) text.replace(dot, 1, decimal_separator);
  return text;
}

}  // namespace zt
