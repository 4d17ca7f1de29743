#include "farlib/number_format.h"

#include <cstdio>

#include "encoding/hex_digits.h"

namespace FarLib {
namespace {

constexpr uint64_t kBeyond32Bits = uint64_t{1} << 32;

struct ScannedNumber {
  bool negative = false;
  bool anyDigit = false;
  bool tooLong = false;
  uint64_t magnitude = 0;
};

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Above every base, so that `DigitValue(c) < base` alone tells whether c is a digit.
constexpr int kNotADigit = 99;

int DigitValue(char c) {
  const int value = HexDigitValue(c);
  return value < 0 ? kNotADigit : value;
}

bool StartsHexPrefix(const char* text) {
  return text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && DigitValue(text[2]) < 16;
}

ScannedNumber Scan(const char* text, int base) {
  ScannedNumber number;
  while (IsBlank(*text)) ++text;
  if (*text == '+' || *text == '-') number.negative = *text++ == '-';
  if (base == 16 && StartsHexPrefix(text)) text += 2;
  for (; DigitValue(*text) < base; ++text) {
    number.anyDigit = true;
    number.magnitude =
        number.magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(DigitValue(*text));
    // Past 32 bits no answer is right; stop before the 64-bit sum can wrap as well.
    if (number.magnitude >= kBeyond32Bits) number.tooLong = true;
    if (number.tooLong) number.magnitude = kBeyond32Bits;
  }
  return number;
}

template <typename... TArgs>
void Print(std::span<char> buffer, const char* format, TArgs... args) {
  if (buffer.empty()) return;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(buffer.data(), buffer.size(), format, args...);
#pragma GCC diagnostic pop
}

class CDecimalFormat : public CFarNumberFormat {
 public:
  void Format(int32_t value, std::span<char> buffer) const override { Print(buffer, "%d", value); }

  bool Read(const char* text, int32_t& result) const override {
    const ScannedNumber number = Scan(text, 10);
    const uint64_t limit = number.negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    if (!number.anyDigit || number.tooLong || number.magnitude > limit) return false;
    const int64_t value = static_cast<int64_t>(number.magnitude);
    result = static_cast<int32_t>(number.negative ? -value : value);
    return true;
  }
};

class CHexFormat : public CFarNumberFormat {
 public:
  void Format(int32_t value, std::span<char> buffer) const override {
    Print(buffer, "%X", static_cast<uint32_t>(value));
  }

  bool Read(const char* text, int32_t& result) const override {
    const ScannedNumber number = Scan(text, 16);
    if (!number.anyDigit || number.tooLong) return false;
    const auto bits = static_cast<uint32_t>(number.magnitude);
    result = static_cast<int32_t>(number.negative ? 0u - bits : bits);
    return true;
  }
};

}  // namespace

const CFarNumberFormat& DecimalFormat() {
  static const CDecimalFormat format;
  return format;
}

const CFarNumberFormat& HexFormat() {
  static const CHexFormat format;
  return format;
}

}  // namespace FarLib
