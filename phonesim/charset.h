#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace PhoneSim {

// Texts live in the state file as UTF-8; inside AT commands they travel in the character set
// chosen with AT+CSCS. These are the simulator's own conversions, written from GSM 07.07 and
// 03.38: GSM (one unpacked default-alphabet code per byte, the extension table behind 0x1B),
// IRA, UCS2 (four hex digits per UTF-16 unit), UTF-8, HEX (the default-alphabet codes as two
// hex digits each, the phone's own characters without conversion), 8859-1 and PCCP437.

// nullopt when the text has a character the set cannot carry.
std::optional<std::string> EncodeText(std::string_view utf8, std::string_view charset);
// nullopt when the bytes are not valid in the set.
std::optional<std::string> DecodeText(std::string_view bytes, std::string_view charset);

// As EncodeText, but a character the set cannot carry becomes "?", as a phone shows a name
// stored in a richer set than the one selected.
std::string EncodeTextLossy(std::string_view utf8, std::string_view charset);

// Whether quoted strings in this set may hold the double quote and backslash that the
// \HH escapes of GSM 07.07 stand for (the hex sets never carry them).
bool NeedsEscapes(std::string_view charset);

// Characters, not bytes, of a UTF-8 text (a phone's name limit counts characters).
size_t CharacterCount(std::string_view utf8);

}  // namespace PhoneSim
