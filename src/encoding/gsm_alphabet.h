#pragma once
#include <array>
#include <cstdint>

// The GSM 7-bit default alphabet. Both tables are indexed by the 7-bit code; the extension
// table is reached by the escape code followed by a second code.
constexpr uint8_t kGsmEscapeCode = 0x1B;

using CGsmTable = std::array<char16_t, 128>;

// GSM 03.38 default alphabet, except that code 0x09 is the capital C with cedilla and the
// escape code stands for U+001B, so that a lone trailing escape still decodes to something.
extern const CGsmTable kGsmBasicTable;

// GSM 03.38 extension table, except that 0x0A (page break) and 0x1B (reserved) both give a
// space. U+0000 marks a code with no character of its own.
extern const CGsmTable kGsmExtensionTable;

// The International Reference Alphabet, taken as 7-bit ASCII: entry n is U+0000 + n.
extern const CGsmTable kIraTable;
