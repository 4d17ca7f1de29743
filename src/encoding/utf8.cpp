#include "encoding/charset.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

unsigned char ByteAt(std::string_view text, size_t pos) {
  return static_cast<unsigned char>(text[pos]);
}

}  // namespace

WideString Utf8ToWide(std::string_view utf8) {
  WideString wide;
  size_t pos = 0;
  while (pos < utf8.size()) {
    const unsigned char lead = ByteAt(utf8, pos);
    const size_t left = utf8.size() - pos - 1;
    if (lead < 0x80) {
      wide.push_back(lead);
      pos += 1;
    } else if ((lead & 0xE0) == 0xC0 && left >= 1 && IsContinuation(ByteAt(utf8, pos + 1))) {
      wide.push_back(static_cast<char16_t>(((lead & 0x1F) << 6) | (ByteAt(utf8, pos + 1) & 0x3F)));
      pos += 2;
    } else if ((lead & 0xF0) == 0xE0 && left >= 2 && IsContinuation(ByteAt(utf8, pos + 1)) &&
               IsContinuation(ByteAt(utf8, pos + 2))) {
      wide.push_back(static_cast<char16_t>(((lead & 0x0F) << 12) |
                                           ((ByteAt(utf8, pos + 1) & 0x3F) << 6) |
                                           (ByteAt(utf8, pos + 2) & 0x3F)));
      pos += 3;
    } else {
      // Stray continuations, broken or missing continuations and the four-byte leads.
      pos += 1;
    }
  }
  return wide;
}

std::string WideToUtf8(const WideString& wide) {
  std::string utf8;
  utf8.reserve(wide.size());
  for (const char16_t unit : wide) {
    if (unit < 0x80) {
      utf8.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
      utf8.push_back(static_cast<char>(0xC0 | (unit >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
      utf8.push_back(static_cast<char>(0xE0 | (unit >> 12)));
      utf8.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
  }
  return utf8;
}
