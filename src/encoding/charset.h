#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Text passes between the phone and the host as UTF-16 code units, one unit at a time: a
// surrogate pair is two independent units everywhere in this layer.
using WideString = std::u16string;

// Every conversion first empties its output. On failure (false) the output holds what was
// converted before the failing character.

// Phone text in the phone's current character set. Fixed names, compared without regard to
// case: "GSM", "IRA", "UTF-8"/"UTF8", "UCS2"/"UCS-2", "HEX"; any other name goes to the
// system's code-page conversion with the page from CharsetCodePage.
bool PhoneToWide(std::string_view phone, std::string_view charset, WideString& wide);
bool WideToPhone(const WideString& wide, std::string_view charset, std::string& phone);

// Whether the set writes text as hexadecimal digits (UCS2, HEX): some phones then leave the
// quotes off.
bool IsHexCharset(std::string_view charset);

// Whether phone text in `charset` may stand on a command line: no byte below 0x20, since a
// phone may act on a control byte (one that edits its command line takes 0x08, the GSM set's
// 'ò', as a backspace), save the GSM set's escape code in front of an extension-table character.
bool FitsOnCommandLine(std::string_view phone, std::string_view charset);

// The GSM default alphabet, one 7-bit code per byte, not packed.
bool GsmToWide(std::string_view septets, WideString& wide);
bool WideToGsm(const WideString& wide, std::string& septets);
bool IsGsmText(const WideString& wide);

// Septet i is the seven bits from bit 7i of the octets, least significant bit first.
// UnpackSeptets produces at most `count` septets and only those whose bits all lie within
// `octets`: a short input gives fewer septets, never invented ones. It never fails.
bool UnpackSeptets(std::string_view octets, size_t count, std::string& septets);
// Packs (7n + 7) / 8 octets with zero bits above the last septet; only the low seven bits of
// each byte are used. It never fails.
bool PackSeptets(std::string_view septets, std::string& octets);
bool UnpackGsmText(std::string_view octets, size_t count, WideString& wide);

// The Windows code page a phone charset name stands for: "PCCPn" and "windows-n" give n,
// "ISO-8859-n" gives 28590 + n, anything else the OEM code page (Platform::kOemCodePageId).
// A number that would give a page above 65535 (no system has one) is taken as no number at
// all, so a name full of digits can neither overflow nor wrap round into a real page.
uint32_t CharsetCodePage(std::string_view charset);

// Host text in the OEM code page, taken up to its first zero. Longer texts than the host's
// 1023-character fields are converted whole; it is for the host to cut them.
WideString OemToWide(std::string_view oem);
std::string WideToOem(const WideString& wide);

// UTF-8 limited to the 16-bit range: four-byte sequences and broken bytes are skipped, overlong
// forms are accepted. Neither direction fails.
WideString Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(const WideString& wide);
