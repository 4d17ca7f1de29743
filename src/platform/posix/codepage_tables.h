#pragma once
// The two routes of the POSIX code page conversions, apart so that tests can hold one against
// the other: pages of one byte per character go through tables built once from iconv, every
// other page through iconv itself.
#include <cstdint>
#include <string>
#include <string_view>

namespace Platform::Posix {

// Whether the page (a real number, not the ANSI or OEM stand-in) converts through tables.
bool HasSingleByteTable(uint32_t codePage);

// MultiByteToWide and WideToMultiByte through iconv alone, whatever the page.
bool IconvMultiByteToWide(uint32_t codePage, std::string_view bytes, std::u16string& wide);
bool IconvWideToMultiByte(uint32_t codePage, std::u16string_view wide, std::string& bytes);

}  // namespace Platform::Posix
