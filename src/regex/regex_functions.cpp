#include <utility>

#include "regex/regex.h"

namespace {

// Where the next search starts: after an empty match one character further on, or the same
// empty match would be found for ever.
std::size_t NextSearch(const RegexSpan& span) {
  return span.begin == span.end ? span.end + 1 : span.end;
}

void Store(std::vector<std::string>&& values, std::vector<std::string>* target) {
  if (target != nullptr) {
    *target = std::move(values);
  }
}

}  // namespace

bool RegexMatch(const std::string& subject, const std::string& pattern, int compileOptions,
                int matchOptions, GroupList* groups) {
  CRegex regex(pattern, compileOptions);
  return regex.Match(subject, matchOptions, groups);
}

bool RegexReplace(std::string& subject, const std::string& pattern, const std::string& templ,
                  bool all, int compileOptions, int matchOptions) {
  CRegex regex(pattern, compileOptions);
  return regex.Replace(subject, templ, all, matchOptions);
}

bool RegexSplit(const std::string& subject, const std::string& pattern,
                std::vector<std::string>* fields, int compileOptions, int matchOptions) {
  CRegex regex(pattern, compileOptions);
  if (!regex.IsCompiled()) {
    return false;
  }
  // Only a single space as separator keeps the empty fields at the edges of the subject.
  const bool keepEdgeFields = pattern == " ";
  std::vector<std::string> found;
  std::size_t fieldStart = 0;
  std::size_t searchStart = 0;
  RegexSpan span;
  while (searchStart <= subject.size() &&
         regex.MatchFrom(subject, searchStart, matchOptions, nullptr, &span)) {
    if (span.begin != 0 || keepEdgeFields) {
      found.push_back(subject.substr(fieldStart, span.begin - fieldStart));
    }
    fieldStart = span.end;
    searchStart = NextSearch(span);
  }
  if (fieldStart < subject.size() || keepEdgeFields) {
    found.push_back(subject.substr(fieldStart));
  }
  Store(std::move(found), fields);
  return true;
}

bool RegexFormatAll(const std::string& subject, const std::string& pattern,
                    const std::string& formatTemplate, std::vector<std::string>* results,
                    int compileOptions, int matchOptions) {
  CRegex regex(pattern, compileOptions);
  if (!regex.IsCompiled()) {
    return false;
  }
  std::vector<std::string> found;
  GroupList groups;
  RegexSpan span;
  std::size_t searchStart = 0;
  while (searchStart <= subject.size() &&
         regex.MatchFrom(subject, searchStart, matchOptions, &groups, &span)) {
    found.push_back(regex.Expand(formatTemplate, groups));
    searchStart = NextSearch(span);
  }
  Store(std::move(found), results);
  return true;
}
