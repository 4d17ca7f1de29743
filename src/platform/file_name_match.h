#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Wildcard matching and listing order of file names, shared by the OS backends so that both
// systems list the same names in the same order.
namespace Platform {

// How many bytes the character at `at` takes in the system's file-name encoding.
using CharacterLengthFn = size_t (*)(std::string_view text, size_t at);

// '*' and '?' as on Windows, ASCII letters without regard to case; "name.*" also matches a
// name without any extension ("*.*" matches all).
bool MatchesFileName(std::string_view pattern, std::string_view name,
                     CharacterLengthFn characterLength);

// Letter case ignored, ties broken by the exact bytes.
bool FileNameOrder(const std::string& a, const std::string& b);

}  // namespace Platform
