#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Hexadecimal digits as phones, PDUs and our own tools read and write them: either case is
// read, upper case is written.

inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

// 0 to 15, or -1 for any other character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  return -1;
}

// Whether the text is one or more hexadecimal digits and nothing else.
constexpr bool IsHexText(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (HexDigitValue(c) < 0) return false;
  }
  return true;
}

// Two digits per octet, high nibble first.
inline std::string OctetsToHex(std::string_view octets) {
  std::string hex;
  hex.reserve(octets.size() * 2);
  for (const char octet : octets) {
    const auto value = static_cast<uint8_t>(octet);
    hex.push_back(kUpperHexDigits[value >> 4]);
    hex.push_back(kUpperHexDigits[value & 0x0F]);
  }
  return hex;
}
