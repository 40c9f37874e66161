#include "cpuid/cpu_values.h"

#include <cstdio>

#include "util/format.h"

namespace zt::cpuid {

namespace {

// User-visible texts of the value objects.
constexpr const char* kTextYes = "Yes";
constexpr const char* kTextNo = "No";
constexpr const char* kTextTrue = "True";
constexpr const char* kTextFalse = "False";
constexpr const char* kTextOn = "On";
constexpr const char* kTextOff = "Off";
constexpr const char* kTextBytes = " bytes";
constexpr const char* kTextKb = " Kb";
constexpr const char* kTextMb = " Mb";
constexpr const char* kTextGb = " Gb";
constexpr const char* kTextMhz = " Mhz";
constexpr const char* kTextGhz = " Ghz";

}  // namespace

std::string FormatOneDecimal(uint64_t numerator, uint64_t denominator) {
  if (denominator == 0) return "0.0";
  // Tenths, rounded half up on the exact quotient.  The operands here are at
  // most 32 bits, so 20 * numerator cannot overflow.
  const uint64_t tenths = (numerator * 20 + denominator) / (denominator * 2);
  // The whole part is below 2^53, so the double holds it exactly and the
  // shared formatter has nothing to round.
  return FormatThousands(static_cast<double>(tenths / 10)) + "." + std::to_string(tenths % 10);
}

std::string Hex8(uint32_t value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(value));
  return buf;
}

std::shared_ptr<ICpuBoolean> MakeBoolean(bool value) {
  return std::make_shared<TCpuBoolean>(value);
}

std::shared_ptr<ICpuNumber> MakeNumber(uint32_t value) {
  return std::make_shared<TCpuNumber>(value);
}

std::string TCpuBoolean::AsYesNo() const { return value_ ? kTextYes : kTextNo; }
std::string TCpuBoolean::AsTrueFalse() const { return value_ ? kTextTrue : kTextFalse; }
std::string TCpuBoolean::AsOnOff() const { return value_ ? kTextOn : kTextOff; }

std::string TCpuNumber::AsString() const { return std::to_string(value_); }

std::shared_ptr<ICpuWord> TCpuNumber::HighWord() const {
  return std::make_shared<TCpuWord>(static_cast<uint16_t>(value_ >> 16));
}

std::shared_ptr<ICpuWord> TCpuNumber::LowWord() const {
  return std::make_shared<TCpuWord>(static_cast<uint16_t>(value_ & 0xFFFF));
}

uint8_t TCpuNumber::BitCount() const {
  uint8_t count = 0;
  for (uint32_t v = value_; v != 0; v &= v - 1) ++count;
  return count;
}

std::shared_ptr<ICpuBoolean> TCpuNumber::Bit(uint8_t index) const {
  return MakeBoolean(((value_ >> (index & 31)) & 1) != 0);
}

std::string TCpuNumber::AsSize() const {
  const uint64_t v = value_;
  if (v < 1024) return std::to_string(v) + kTextBytes;
  if (v <= 0xFFFFF) return FormatOneDecimal(v, 1024) + kTextKb;
  if (v <= 0x3FFFFFFF) return FormatOneDecimal(v, 1048576) + kTextMb;
  return FormatOneDecimal(v, 1073741824) + kTextGb;
}

std::string TCpuNumber::AsHex() const { return "$" + Hex8(value_); }

std::string TCpuNumber::AsFrequency() const {
  if (value_ < 1000) return std::to_string(value_) + kTextMhz;
  return FormatOneDecimal(value_, 1000) + kTextGhz;
}

std::string TCpuNumber::AsChars() const {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((value_ >> (8 * i)) & 0xFF);
  return s;
}

std::string TCpuNumber::AsVersion() const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%u.%u.%02u", static_cast<unsigned>(value_ / 1000),
                static_cast<unsigned>((value_ % 1000) / 100), static_cast<unsigned>(value_ % 100));
  return buf;
}

}  // namespace zt::cpuid
