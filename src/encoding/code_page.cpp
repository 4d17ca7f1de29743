#include <array>
#include <optional>

#include "encoding/phone_charsets.h"
#include "platform/codepage.h"
#include "regex/regex.h"

namespace {

// No system numbers a code page above this; a bigger number in a name is noise, not a page.
constexpr uint32_t kHighestCodePage = 0xFFFF;
constexpr uint32_t kIso8859Base = 28590;

struct CCodePagePattern {
  const char* m_pattern;
  uint32_t m_base;
};

// Tried in order; group 2 holds the number, added to the base.
constexpr std::array kCodePagePatterns = {
    CCodePagePattern{R"((PCCP|windows-?)(\d+))", 0},
    CCodePagePattern{R"((ISO-?)?8859-?(\d+))", kIso8859Base},
};

// Stops as soon as the page would pass kHighestCodePage, so thirty digits neither overflow nor
// wrap round into some real page.
std::optional<uint32_t> CodePageFromDigits(std::string_view digits, uint32_t base) {
  uint32_t page = 0;
  for (const char digit : digits) {
    page = page * 10 + static_cast<uint32_t>(digit - '0');
    if (base + page > kHighestCodePage) {
      return std::nullopt;
    }
  }
  return base + page;
}

std::optional<uint32_t> MatchCodePage(const std::string& name, const CCodePagePattern& pattern) {
  constexpr size_t kNumberGroup = 2;
  GroupList groups;
  if (!RegexMatch(name, pattern.m_pattern, kRegexCaseless, 0, &groups) ||
      groups.size() <= kNumberGroup) {
    return std::nullopt;
  }
  return CodePageFromDigits(groups[kNumberGroup], pattern.m_base);
}

// Tries the named page, then the OEM page, each into an emptied output. The system refuses an
// empty input, which would then fail on the OEM page too; empty text needs no conversion at all.
template <typename CInput, typename COutput, typename CConvert>
bool ConvertWithOemFallback(uint32_t codePage, const CInput& input, COutput& output,
                            CConvert convert) {
  output.clear();
  if (input.empty()) {
    return true;
  }
  for (const uint32_t page : {codePage, Platform::kOemCodePageId}) {
    if (convert(page, input, output)) {
      return true;
    }
    output.clear();
  }
  return false;
}

}  // namespace

uint32_t CharsetCodePage(std::string_view charset) {
  const std::string name(charset);
  for (const CCodePagePattern& pattern : kCodePagePatterns) {
    if (const auto page = MatchCodePage(name, pattern)) {
      return *page;
    }
  }
  return Platform::kOemCodePageId;
}

bool CodePageToWide(uint32_t codePage, std::string_view phone, WideString& wide) {
  return ConvertWithOemFallback(codePage, phone, wide, Platform::MultiByteToWide);
}

bool WideToCodePage(uint32_t codePage, const WideString& wide, std::string& phone) {
  return ConvertWithOemFallback(codePage, std::u16string_view(wide), phone,
                                Platform::WideToMultiByte);
}

WideString OemToWide(std::string_view oem) {
  WideString wide;
  CodePageToWide(Platform::kOemCodePageId, oem.substr(0, oem.find('\0')), wide);
  return wide;
}

std::string WideToOem(const WideString& wide) {
  std::string oem;
  ConvertWithOemFallback(Platform::kOemCodePageId,
                         std::u16string_view(wide).substr(0, wide.find(u'\0')), oem,
                         Platform::WideToMultiByte);
  return oem;
}
