#pragma once
#include <string>
#include <string_view>

// The plug-in's texts are in the OEM code page; the screen and the keyboard speak wide
// characters. Characters the page cannot carry become its default character, as in Far.
namespace Host {

std::wstring FromOem(std::string_view oem);
std::string ToOem(std::wstring_view text);
// Whether the OEM page carries the character (typing one it lacks would store '?').
bool OemCarries(wchar_t c);

}  // namespace Host
