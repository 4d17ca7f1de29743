#include "host/oem_text.h"

#include <algorithm>
#include <optional>

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

namespace {

// nullopt unless every byte belongs to a well-formed, shortest UTF-8 sequence.
std::optional<std::wstring> DecodeUtf8(std::string_view bytes) {
  std::wstring text;
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    int length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
      length = 1;
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      c = lead & 0x07;
    } else {
      return std::nullopt;
    }
    if (i + static_cast<size_t>(length) > bytes.size()) return std::nullopt;
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    text.push_back(static_cast<wchar_t>(c));
    i += static_cast<size_t>(length);
  }
  return text;
}

}  // namespace

std::wstring FileNameText(std::string_view name) {
  if (std::optional<std::wstring> text = DecodeUtf8(name)) return *text;
  return FromOem(name);
}

bool OemCarries(wchar_t c) {
  const std::string oem = ToOem(std::wstring(1, c));
  return oem.size() == 1 && (oem != "?" || c == L'?') && FromOem(oem) == std::wstring(1, c);
}

}  // namespace Host
