#include "host/oem_text.h"

#include <algorithm>

#include "platform/codepage.h"

namespace Host {

std::wstring FromOem(std::string_view oem) {
  std::u16string wide;
  if (!Platform::MultiByteToWide(Platform::kOemCodePageId, oem, wide)) {
    std::wstring bytes;
    for (const char c : oem) bytes.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return bytes;
  }
  std::wstring text;
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    text.push_back(static_cast<wchar_t>(c));
  }
  return text;
}

std::string ToOem(std::wstring_view text) {
  std::u16string wide;
  for (const wchar_t c : text) {
    const auto code = static_cast<char32_t>(c);
    if (code >= 0x10000) {
      wide.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      wide.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      wide.push_back(static_cast<char16_t>(code));
    }
  }
  std::string oem;
  if (!Platform::WideToMultiByte(Platform::kOemCodePageId, wide, oem)) return {};
  return oem;
}

bool OemCarries(wchar_t c) {
  const std::string oem = ToOem(std::wstring(1, c));
  return oem.size() == 1 && (oem != "?" || c == L'?') && FromOem(oem) == std::wstring(1, c);
}

}  // namespace Host
