#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace Platform {

// Code page numbers as Windows numbers them; 0 and 1 stand for the ANSI and OEM pages.
constexpr uint32_t kAnsiCodePageId = 0;  // CP_ACP
constexpr uint32_t kOemCodePageId = 1;   // CP_OEMCP

uint32_t OemCodePage();
uint32_t AnsiCodePage();

// MultiByteToWideChar / WideCharToMultiByte with flags 0: false only when the code page is
// unknown to the system. Characters the code page cannot show become its default character.
bool MultiByteToWide(uint32_t codePage, std::string_view bytes, std::u16string& wide);
bool WideToMultiByte(uint32_t codePage, std::u16string_view wide, std::string& bytes);

// OemToCharBuffA / CharToOemBuffA: byte for byte between the OEM and the ANSI page.
std::string OemToAnsi(std::string_view oem);
std::string AnsiToOem(std::string_view ansi);

// CharUpperA / CharLowerA on one character of the ANSI page.
char AnsiUpper(char c);
char AnsiLower(char c);

}  // namespace Platform
