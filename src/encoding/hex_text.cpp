#include <optional>

#include "encoding/hex_digits.h"
#include "encoding/phone_charsets.h"

namespace {

constexpr size_t kUcs2GroupSize = 4;
constexpr size_t kHexGroupSize = 2;
constexpr char16_t kHighestHexUnit = 0xFF;

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads one group the way "%4X" or "%2X" reads a field, confined to the group's own characters:
// leading white space, then hexadecimal digits up to the first other character. Unlike scanf,
// no sign and no "0x" prefix is taken: phones send bare digits, and "+041" is damage.
std::optional<char16_t> ParseHexGroup(std::string_view group) {
  size_t pos = 0;
  while (pos < group.size() && IsWhiteSpace(group[pos])) {
    ++pos;
  }
  const size_t firstDigit = pos;
  unsigned value = 0;
  for (; pos < group.size() && HexDigitValue(group[pos]) >= 0; ++pos) {
    value = value * 16 + static_cast<unsigned>(HexDigitValue(group[pos]));
  }
  if (pos == firstDigit) {
    return std::nullopt;
  }
  return static_cast<char16_t>(value);
}

// A trailing group shorter than groupSize is ignored.
bool HexGroupsToWide(std::string_view phone, size_t groupSize, WideString& wide) {
  wide.clear();
  for (size_t pos = 0; pos + groupSize <= phone.size(); pos += groupSize) {
    const auto unit = ParseHexGroup(phone.substr(pos, groupSize));
    if (!unit) {
      return false;
    }
    wide.push_back(*unit);
  }
  return true;
}

void AppendUpperHex(char16_t unit, size_t digits, std::string& phone) {
  for (size_t digit = digits; digit-- > 0;) {
    phone.push_back(kUpperHexDigits[(unit >> (4 * digit)) & 0xF]);
  }
}

}  // namespace

bool Ucs2ToWide(std::string_view phone, WideString& wide) {
  return HexGroupsToWide(phone, kUcs2GroupSize, wide);
}

bool WideToUcs2(const WideString& wide, std::string& phone) {
  phone.clear();
  phone.reserve(wide.size() * kUcs2GroupSize);
  for (const char16_t unit : wide) {
    AppendUpperHex(unit, kUcs2GroupSize, phone);
  }
  return true;
}

bool HexToWide(std::string_view phone, WideString& wide) {
  return HexGroupsToWide(phone, kHexGroupSize, wide);
}

bool WideToHex(const WideString& wide, std::string& phone) {
  phone.clear();
  for (const char16_t unit : wide) {
    if (unit > kHighestHexUnit) {
      return false;
    }
    AppendUpperHex(unit, kHexGroupSize, phone);
  }
  return true;
}
