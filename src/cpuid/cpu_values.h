// The three immutable value objects of the identification library and their
// text forms.  Numbers with one decimal ("%1.1n") use "," between thousands
// and "." before the decimal, whatever the platform's locale, so every build
// prints the same text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cpuid/interfaces.h"

namespace zt::cpuid {

class TCpuBoolean final : public ICpuBoolean {
 public:
  explicit TCpuBoolean(bool value) : value_(value) {}
  bool Value() const override { return value_; }
  std::string AsYesNo() const override;
  std::string AsTrueFalse() const override;
  std::string AsOnOff() const override;

 private:
  bool value_;
};

class TCpuWord final : public ICpuWord {
 public:
  explicit TCpuWord(uint16_t value) : value_(value) {}
  uint8_t HighByte() const override { return static_cast<uint8_t>(value_ >> 8); }
  uint8_t LowByte() const override { return static_cast<uint8_t>(value_ & 0xFF); }
  uint16_t Value() const override { return value_; }

 private:
  uint16_t value_;
};

class TCpuNumber final : public ICpuNumber {
 public:
  explicit TCpuNumber(uint32_t value) : value_(value) {}
  uint32_t Value() const override { return value_; }
  std::string AsString() const override;
  std::shared_ptr<ICpuWord> HighWord() const override;
  std::shared_ptr<ICpuWord> LowWord() const override;
  uint8_t BitCount() const override;
  std::shared_ptr<ICpuBoolean> Bit(uint8_t index) const override;
  std::string AsSize() const override;
  std::string AsHex() const override;
  std::string AsFrequency() const override;
  std::string AsChars() const override;
  std::string AsVersion() const override;

 private:
  uint32_t value_;
};

// Shorthands for the getters that hand out value objects.
std::shared_ptr<ICpuBoolean> MakeBoolean(bool value);
std::shared_ptr<ICpuNumber> MakeNumber(uint32_t value);

// numerator / denominator with one decimal, rounded half away from zero on
// the exact quotient, thousands separated by ","  (1048575/1024 -> "1,024.0").
// A zero denominator gives "0.0".
std::string FormatOneDecimal(uint64_t numerator, uint64_t denominator);

// Eight upper-case hexadecimal digits ("%1.8x").
std::string Hex8(uint32_t value);

}  // namespace zt::cpuid
