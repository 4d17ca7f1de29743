#pragma once
#include <cstdint>
#include <string>

namespace PhoneSim {

// 0 to 15 for a hexadecimal digit in either case, -1 for anything else.
inline int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The low `digits` nibbles of `value`, most significant first, in upper case as phones send them.
inline void AppendHex(std::string& out, uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out.push_back(kDigits[(value >> shift) & 0xF]);
}

}  // namespace PhoneSim
