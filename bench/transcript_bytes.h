#pragma once
#include <cstddef>
#include <string_view>

// The simulator's transcript escapes what crossed the line: \r, \n, \\ and \xHH each stand for
// one byte. The benchmarks count bytes from it to work out the line's lower bound.
namespace Bench {

inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline size_t ByteCount(std::string_view escaped) {
  size_t count = 0;
  for (size_t i = 0; i < escaped.size(); ++i, ++count) {
    if (escaped[i] != '\\' || i + 1 == escaped.size()) continue;
    ++i;
    if (escaped[i] == 'x' && i + 2 < escaped.size() && HexValue(escaped[i + 1]) >= 0 &&
        HexValue(escaped[i + 2]) >= 0) {
      i += 2;
    }
  }
  return count;
}

}  // namespace Bench
