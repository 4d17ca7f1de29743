#pragma once
#include <string_view>

// Blanks as typed into fields and written in the host's text files: spaces and tabs. Line ends
// are the reader's to split on, not blanks.

inline constexpr std::string_view kBlanks = " \t";

// The text without the blanks at either end; empty when it holds nothing else.
constexpr std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}
