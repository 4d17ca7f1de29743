#include "platform/file_name_match.h"

#include <algorithm>

namespace Platform {
namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchesWildcard(std::string_view pattern, std::string_view name,
                     CharacterLengthFn characterLength) {
  constexpr size_t kNoStar = std::string_view::npos;
  size_t p = 0;
  size_t n = 0;
  size_t afterStar = kNoStar;
  size_t starMatchEnd = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      afterStar = ++p;
      starMatchEnd = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += characterLength(name, n);
    } else if (p < pattern.size() && AsciiLower(pattern[p]) == AsciiLower(name[n])) {
      ++p;
      ++n;
    } else if (afterStar != kNoStar) {
      p = afterStar;
      starMatchEnd += characterLength(name, starMatchEnd);
      n = starMatchEnd;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), AsciiLower);
  return text;
}

}  // namespace

bool MatchesFileName(std::string_view pattern, std::string_view name,
                     CharacterLengthFn characterLength) {
  if (MatchesWildcard(pattern, name, characterLength)) return true;
  return pattern.ends_with(".*") && name.find('.') == std::string_view::npos &&
         MatchesWildcard(pattern.substr(0, pattern.size() - 2), name, characterLength);
}

bool FileNameOrder(const std::string& a, const std::string& b) {
  const std::string lowerA = Lowered(a);
  const std::string lowerB = Lowered(b);
  return lowerA != lowerB ? lowerA < lowerB : a < b;
}

}  // namespace Platform
