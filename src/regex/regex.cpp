#include "regex/regex.h"

#include <algorithm>
#include <array>
#include <cstdint>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace {

enum class EOptionPhase { kCompile, kMatch };

struct SOptionBit {
  int legacy;
  uint32_t engine;
  bool atCompile;
  bool atMatch;
};

// The one place where the callers' PCRE 4.5 bits meet the engine's. PCRE2 always rejects
// unknown letter escapes, which is what the extra option asked for, so it needs no bit.
constexpr SOptionBit kOptionBits[] = {
    {kRegexCaseless, PCRE2_CASELESS, true, false},
    {kRegexMultiline, PCRE2_MULTILINE, true, false},
    {kRegexDotAll, PCRE2_DOTALL, true, false},
    {kRegexExtended, PCRE2_EXTENDED, true, false},
    {kRegexAnchored, PCRE2_ANCHORED, true, true},
    {kRegexDollarEndOnly, PCRE2_DOLLAR_ENDONLY, true, false},
    {kRegexExtra, 0, true, false},
    {kRegexNotBol, PCRE2_NOTBOL, false, true},
    {kRegexNotEol, PCRE2_NOTEOL, false, true},
    {kRegexUngreedy, PCRE2_UNGREEDY, true, false},
    {kRegexNotEmpty, PCRE2_NOTEMPTY, false, true},
    {kRegexUtf8, PCRE2_UTF, true, false},
    {kRegexNoAutoCapture, PCRE2_NO_AUTO_CAPTURE, true, false},
    {kRegexNoUtf8Check, PCRE2_NO_UTF_CHECK, true, true},
};

// False when a bit is unknown or does not belong to the phase.
bool TranslateOptions(int legacy, EOptionPhase phase, uint32_t& engine) {
  engine = 0;
  int known = 0;
  for (const SOptionBit& bit : kOptionBits) {
    const bool allowed = phase == EOptionPhase::kCompile ? bit.atCompile : bit.atMatch;
    if (allowed) {
      known |= bit.legacy;
      engine |= (legacy & bit.legacy) != 0 ? bit.engine : 0;
    }
  }
  return (legacy & ~known) == 0;
}

PCRE2_SPTR Bytes(std::string_view text) { return reinterpret_cast<PCRE2_SPTR>(text.data()); }

// Fills the list from the match: the engine reports one pair per group up to the last one that
// took part; pairs of groups that took no part are unset.
void FillGroups(std::string_view subject, pcre2_match_data* matchData, int rc, GroupList& groups) {
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData);
  // A result of 0 would mean the pairs did not fit; the data is sized from the pattern, so it
  // cannot happen, and the pairs that did fit are still right.
  const uint32_t count = rc > 0 ? static_cast<uint32_t>(rc) : pcre2_get_ovector_count(matchData);
  groups.clear();
  groups.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const PCRE2_SIZE begin = ovector[2 * i];
    const PCRE2_SIZE end = ovector[2 * i + 1];
    // \K inside a look-ahead can set a start after the end; such a group counts as empty.
    const bool usable = begin != PCRE2_UNSET && end != PCRE2_UNSET && begin <= end;
    groups.emplace_back(usable ? subject.substr(begin, end - begin) : std::string_view{});
  }
}

}  // namespace

void CRegex::SCodeDeleter::operator()(pcre2_real_code_8* code) const { pcre2_code_free(code); }

void CRegex::SMatchDataDeleter::operator()(pcre2_real_match_data_8* matchData) const {
  pcre2_match_data_free(matchData);
}

CRegex::CRegex(const std::string& pattern, int compileOptions) {
  uint32_t options = 0;
  if (!TranslateOptions(compileOptions, EOptionPhase::kCompile, options)) {
    m_errorCode = PCRE2_ERROR_BADOPTION;
    return;
  }
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  m_code.reset(
      pcre2_compile(Bytes(pattern), pattern.size(), options, &errorCode, &errorOffset, nullptr));
  if (!m_code) {
    m_errorCode = errorCode;
    m_errorOffset = errorOffset;
    return;
  }
  // Without JIT support the interpreter matches just the same, only slower.
  pcre2_jit_compile(m_code.get(), PCRE2_JIT_COMPLETE);
  uint32_t captureCount = 0;
  pcre2_pattern_info(m_code.get(), PCRE2_INFO_CAPTURECOUNT, &captureCount);
  m_matchData.reset(pcre2_match_data_create(captureCount + 1, nullptr));
  if (!m_matchData) {
    m_errorCode = PCRE2_ERROR_NOMEMORY;
    m_code.reset();
  }
}

CRegex::~CRegex() = default;

bool CRegex::IsCompiled() const { return m_code != nullptr; }

std::string CRegex::ErrorText() const {
  if (m_errorCode == 0) {
    return {};
  }
  std::array<PCRE2_UCHAR, 256> buffer{};
  const int length = pcre2_get_error_message(m_errorCode, buffer.data(), buffer.size());
  return length > 0 ? std::string(reinterpret_cast<const char*>(buffer.data()),
                                  static_cast<std::size_t>(length))
                    : std::string{};
}

std::size_t CRegex::ErrorOffset() const { return m_errorOffset; }

bool CRegex::Match(const std::string& subject, int matchOptions, GroupList* groups) {
  return Search(subject, 0, matchOptions, groups, nullptr);
}

bool CRegex::MatchFrom(const std::string& subject, std::size_t offset, int matchOptions,
                       GroupList* groups, RegexSpan* span) {
  return Search(subject, offset, matchOptions, groups, span);
}

bool CRegex::Search(std::string_view subject, std::size_t offset, int matchOptions,
                    GroupList* groups, RegexSpan* span) {
  uint32_t options = 0;
  if (!m_code || !TranslateOptions(matchOptions, EOptionPhase::kMatch, options)) {
    return false;
  }
  const int rc = pcre2_match(m_code.get(), Bytes(subject), subject.size(), offset, options,
                             m_matchData.get(), nullptr);
  if (rc < 0) {
    return false;
  }
  if (groups != nullptr) {
    FillGroups(subject, m_matchData.get(), rc, *groups);
  }
  if (span != nullptr) {
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_matchData.get());
    span->begin = ovector[0];
    span->end = std::max(ovector[0], ovector[1]);
  }
  return true;
}

bool CRegex::Replace(std::string& subject, const std::string& templ, bool all, int matchOptions) {
  if (!IsCompiled()) {
    return false;
  }
  GroupList groups;
  RegexSpan span;
  std::size_t position = 0;
  while (position <= subject.size()) {
    const std::string_view tail = std::string_view(subject).substr(position);
    if (!Search(tail, 0, matchOptions, &groups, &span)) {
      break;
    }
    const std::string replacement = Expand(templ, groups);
    subject.replace(position + span.begin, span.end - span.begin, replacement);
    position += span.begin + replacement.size();
    // An empty match would be found again at the same place: step over one character.
    if (span.begin == span.end) {
      ++position;
    }
    if (!all) {
      break;
    }
  }
  return true;
}
