#pragma once
#include <string>
#include <string_view>

// The plug-in's texts are in the OEM code page; the screen and the keyboard speak wide
// characters. Characters the page cannot carry become its default character, as in Far.
namespace Host {

std::wstring FromOem(std::string_view oem);
std::string ToOem(std::wstring_view text);
// A name from the file system: UTF-8 when it reads as UTF-8 (a person's own files on Linux),
// else the OEM page's bytes (files the plug-in named, as on Windows).
std::wstring FileNameText(std::string_view name);
// Whether the OEM page carries the character (typing one it lacks would store '?').
bool OemCarries(wchar_t c);

}  // namespace Host
