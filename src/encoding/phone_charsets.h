#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "encoding/charset.h"

// The single-charset conversions that PhoneToWide and WideToPhone choose between. Each empties
// its output first and on failure leaves what was converted before the failing character.

bool IraToWide(std::string_view phone, WideString& wide);
bool WideToIra(const WideString& wide, std::string& phone);

// Four hexadecimal digits per code unit.
bool Ucs2ToWide(std::string_view phone, WideString& wide);
bool WideToUcs2(const WideString& wide, std::string& phone);

// Two hexadecimal digits per code unit; units above 0xFF cannot be written.
bool HexToWide(std::string_view phone, WideString& wide);
bool WideToHex(const WideString& wide, std::string& phone);

// The system's conversion for the code page, retried with the OEM code page when the system
// does not know the page. False, with an empty output, only when both fail.
bool CodePageToWide(uint32_t codePage, std::string_view phone, WideString& wide);
bool WideToCodePage(uint32_t codePage, const WideString& wide, std::string& phone);
