#include "platform/codepage.h"

#include <limits>

#include "platform/error.h"
#include "platform/win32/windows_api.h"

namespace Platform {
namespace {

// A Windows code page number that MultiByteToWideChar and WideCharToMultiByte do not take:
// its bytes are the UTF-16 units themselves, low byte first.
constexpr uint32_t kUtf16 = 1200;
constexpr char16_t kReplacement = u'\uFFFD';

bool Fail(uint32_t code) {
  SetLastError(code);
  return false;
}

// The conversion calls refuse an empty input, so whether the page exists is asked apart.
bool KnownCodePage(uint32_t codePage) {
  if (codePage == kAnsiCodePageId || codePage == kOemCodePageId) return true;
  return IsValidCodePage(codePage) || Fail(kErrorInvalidParameter);
}

bool FitsCall(size_t length) {
  return length <= static_cast<size_t>(std::numeric_limits<int>::max()) ||
         Fail(kErrorInvalidParameter);
}

// An odd last byte is half a unit: it decodes to the replacement character, as any other
// byte a page cannot decode.
std::u16string UnitsFromBytes(std::string_view bytes) {
  std::u16string wide;
  for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
    wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                         static_cast<unsigned char>(bytes[at + 1]) << 8));
  }
  if (bytes.size() % 2 != 0) wide.push_back(kReplacement);
  return wide;
}

std::string BytesFromUnits(std::u16string_view wide) {
  std::string bytes;
  for (const char16_t unit : wide) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

LPSTR CharacterArgument(char c) {
  return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<unsigned char>(c)));
}

char CharacterResult(LPSTR result) {
  return static_cast<char>(reinterpret_cast<uintptr_t>(result) & 0xFF);
}

}  // namespace

uint32_t OemCodePage() { return GetOEMCP(); }

uint32_t AnsiCodePage() { return GetACP(); }

bool MultiByteToWide(uint32_t codePage, std::string_view bytes, std::u16string& wide) {
  wide.clear();
  if (codePage == kUtf16) {
    wide = UnitsFromBytes(bytes);
    return true;
  }
  if (bytes.empty()) return KnownCodePage(codePage);
  if (!FitsCall(bytes.size())) return false;
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (length == 0) return false;
  wide.resize(static_cast<size_t>(length));
  auto* units = reinterpret_cast<wchar_t*>(wide.data());
  if (MultiByteToWideChar(codePage, 0, bytes.data(), size, units, length) == length) return true;
  wide.clear();
  return false;
}

bool WideToMultiByte(uint32_t codePage, std::u16string_view wide, std::string& bytes) {
  bytes.clear();
  if (codePage == kUtf16) {
    bytes = BytesFromUnits(wide);
    return true;
  }
  if (wide.empty()) return KnownCodePage(codePage);
  if (!FitsCall(wide.size())) return false;
  const int size = static_cast<int>(wide.size());
  const auto* units = reinterpret_cast<const wchar_t*>(wide.data());
  const int length = WideCharToMultiByte(codePage, 0, units, size, nullptr, 0, nullptr, nullptr);
  if (length == 0) return false;
  bytes.resize(static_cast<size_t>(length));
  if (WideCharToMultiByte(codePage, 0, units, size, bytes.data(), length, nullptr, nullptr) ==
      length) {
    return true;
  }
  bytes.clear();
  return false;
}

std::string OemToAnsi(std::string_view oem) {
  std::string ansi(oem.size(), '\0');
  if (!ansi.empty()) OemToCharBuffA(oem.data(), ansi.data(), static_cast<DWORD>(ansi.size()));
  return ansi;
}

std::string AnsiToOem(std::string_view ansi) {
  std::string oem(ansi.size(), '\0');
  if (!oem.empty()) CharToOemBuffA(ansi.data(), oem.data(), static_cast<DWORD>(oem.size()));
  return oem;
}

// Given a value below 0x10000 instead of a text, CharUpperA and CharLowerA change that one
// character and return it in the low byte.
char AnsiUpper(char c) { return CharacterResult(CharUpperA(CharacterArgument(c))); }

char AnsiLower(char c) { return CharacterResult(CharLowerA(CharacterArgument(c))); }

}  // namespace Platform
