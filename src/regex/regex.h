#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Entry 0 is the whole match, entry i the text of group i. The list ends with the last group
// that took part in the match; a group before it that took no part is an empty string.
using GroupList = std::vector<std::string>;

// Option bits keep the values of the PCRE 4.5 API the callers were written against; they are
// translated to the engine's own bits inside the facade. A compile option that is unknown or
// only meaningful for matching makes the compilation fail, and a match option that is unknown
// or only meaningful for compiling makes the match fail, as PCRE 4.5 itself did.
constexpr int kRegexCaseless = 0x0001;
constexpr int kRegexMultiline = 0x0002;
constexpr int kRegexDotAll = 0x0004;
constexpr int kRegexExtended = 0x0008;
constexpr int kRegexAnchored = 0x0010;
constexpr int kRegexDollarEndOnly = 0x0020;
constexpr int kRegexExtra = 0x0040;
constexpr int kRegexNotBol = 0x0080;
constexpr int kRegexNotEol = 0x0100;
constexpr int kRegexUngreedy = 0x0200;
constexpr int kRegexNotEmpty = 0x0400;
constexpr int kRegexUtf8 = 0x0800;
constexpr int kRegexNoAutoCapture = 0x1000;
constexpr int kRegexNoUtf8Check = 0x2000;

// The engine's own types, named here only so the handles can be owned without its header.
struct pcre2_real_code_8;
struct pcre2_real_match_data_8;

// Where a match lies in the subject, as byte offsets.
struct RegexSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

class CRegex {
 public:
  CRegex(const std::string& pattern, int compileOptions);
  ~CRegex();
  CRegex(const CRegex&) = delete;
  CRegex& operator=(const CRegex&) = delete;

  bool IsCompiled() const;
  // The engine's message and the pattern offset when compilation failed; empty and 0 otherwise.
  std::string ErrorText() const;
  std::size_t ErrorOffset() const;

  // Searches the whole subject. On failure the group list is left as it was.
  bool Match(const std::string& subject, int matchOptions, GroupList* groups);
  // Searches from offset on; anchors and look-behinds still see the whole subject.
  bool MatchFrom(const std::string& subject, std::size_t offset, int matchOptions,
                 GroupList* groups, RegexSpan* span);

  // Builds replacement text: $n group references, backslash escapes and case modes.
  std::string Expand(const std::string& templ, const GroupList& groups) const;

  // Replaces the first match (or every match) in place. Each search sees the rest of the
  // subject as a subject of its own, so "^" matches where the previous replacement ended.
  // False only when the pattern did not compile.
  bool Replace(std::string& subject, const std::string& templ, bool all, int matchOptions);

 private:
  struct SCodeDeleter {
    void operator()(pcre2_real_code_8* code) const;
  };
  struct SMatchDataDeleter {
    void operator()(pcre2_real_match_data_8* matchData) const;
  };

  bool Search(std::string_view subject, std::size_t offset, int matchOptions, GroupList* groups,
              RegexSpan* span);

  int m_errorCode = 0;
  std::size_t m_errorOffset = 0;
  std::unique_ptr<pcre2_real_code_8, SCodeDeleter> m_code;
  std::unique_ptr<pcre2_real_match_data_8, SMatchDataDeleter> m_matchData;
};

bool RegexMatch(const std::string& subject, const std::string& pattern, int compileOptions,
                int matchOptions, GroupList* groups);
// False only when the pattern does not compile.
bool RegexReplace(std::string& subject, const std::string& pattern, const std::string& templ,
                  bool all, int compileOptions, int matchOptions);
// Cuts the subject at every match. Separators at the very start or end yield no empty field,
// except with the single-space pattern " ". False (fields untouched) only when the pattern
// does not compile.
bool RegexSplit(const std::string& subject, const std::string& pattern,
                std::vector<std::string>* fields, int compileOptions, int matchOptions);
// Expands the template once per match. False (results untouched) only when the pattern does
// not compile.
bool RegexFormatAll(const std::string& subject, const std::string& pattern,
                    const std::string& formatTemplate, std::vector<std::string>* results,
                    int compileOptions, int matchOptions);
