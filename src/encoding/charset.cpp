#include <algorithm>
#include <array>

#include "encoding/gsm_alphabet.h"
#include "encoding/phone_charsets.h"

namespace {

using CToWide = bool (*)(std::string_view phone, WideString& wide);
using CFromWide = bool (*)(const WideString& wide, std::string& phone);

bool Utf8PhoneToWide(std::string_view phone, WideString& wide) {
  wide = Utf8ToWide(phone);
  return true;
}

bool WideToUtf8Phone(const WideString& wide, std::string& phone) {
  phone = WideToUtf8(wide);
  return true;
}

struct CCharsetRoute {
  std::array<std::string_view, 2> m_names;
  CToWide m_toWide;
  CFromWide m_fromWide;
};

// Searched in order; the first route with a matching name decides.
constexpr std::array kCharsetRoutes = {
    CCharsetRoute{{"GSM", "GSM"}, GsmToWide, WideToGsm},
    CCharsetRoute{{"IRA", "IRA"}, IraToWide, WideToIra},
    CCharsetRoute{{"UTF-8", "UTF8"}, Utf8PhoneToWide, WideToUtf8Phone},
    CCharsetRoute{{"UCS2", "UCS-2"}, Ucs2ToWide, WideToUcs2},
    CCharsetRoute{{"HEX", "HEX"}, HexToWide, WideToHex},
};

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringCase(std::string_view name, std::string_view upperName) {
  return name.size() == upperName.size() &&
         std::equal(name.begin(), name.end(), upperName.begin(),
                    [](char a, char b) { return AsciiUpper(a) == b; });
}

// A code that follows the escape code for a character of the extension table; those below 0x20
// stand for a page break or nothing and would reach the command line as controls.
bool IsExtensionCode(char code) {
  const auto byte = static_cast<unsigned char>(code);
  return byte >= 0x20 && byte < kGsmExtensionTable.size() && kGsmExtensionTable[byte] != u'\0';
}

const CCharsetRoute* FindRoute(std::string_view charset) {
  for (const CCharsetRoute& route : kCharsetRoutes) {
    for (const std::string_view name : route.m_names) {
      if (EqualsIgnoringCase(charset, name)) {
        return &route;
      }
    }
  }
  return nullptr;
}

}  // namespace

bool IsHexCharset(std::string_view charset) {
  const CCharsetRoute* route = FindRoute(charset);
  return route && (route->m_toWide == Ucs2ToWide || route->m_toWide == HexToWide);
}

bool FitsOnCommandLine(std::string_view phone, std::string_view charset) {
  const CCharsetRoute* route = FindRoute(charset);
  const bool gsm = route && route->m_fromWide == WideToGsm;
  for (size_t i = 0; i < phone.size(); ++i) {
    if (static_cast<unsigned char>(phone[i]) >= 0x20) continue;
    const bool extension = gsm && static_cast<unsigned char>(phone[i]) == kGsmEscapeCode &&
                           i + 1 < phone.size() && IsExtensionCode(phone[i + 1]);
    if (!extension) return false;
  }
  return true;
}

bool IraToWide(std::string_view phone, WideString& wide) {
  wide.clear();
  for (const char byte : phone) {
    const auto code = static_cast<unsigned char>(byte);
    if (code >= kIraTable.size()) {
      return false;
    }
    wide.push_back(kIraTable[code]);
  }
  return true;
}

bool WideToIra(const WideString& wide, std::string& phone) {
  phone.clear();
  for (const char16_t character : wide) {
    const auto found = std::find(kIraTable.begin(), kIraTable.end(), character);
    if (found == kIraTable.end()) {
      return false;
    }
    phone.push_back(static_cast<char>(found - kIraTable.begin()));
  }
  return true;
}

bool PhoneToWide(std::string_view phone, std::string_view charset, WideString& wide) {
  if (const CCharsetRoute* route = FindRoute(charset)) {
    return route->m_toWide(phone, wide);
  }
  return CodePageToWide(CharsetCodePage(charset), phone, wide);
}

bool WideToPhone(const WideString& wide, std::string_view charset, std::string& phone) {
  if (const CCharsetRoute* route = FindRoute(charset)) {
    return route->m_fromWide(wide, phone);
  }
  return WideToCodePage(CharsetCodePage(charset), wide, phone);
}
