#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/codepage.h"
#include "platform/error.h"

namespace Platform {
namespace {

// Which pages a run expects is named by the one who chose the locale: scripts/test-windows for
// the default run, the Russian rerun for itself ("866,1251").
TEST(Win32CodePages, AreTheLocalesPages) {
  const char* expected = std::getenv("ZANTEL_TEST_CODE_PAGES");
  if (expected == nullptr) GTEST_SKIP() << "ZANTEL_TEST_CODE_PAGES names no pages for this run";
  EXPECT_EQ(std::to_string(OemCodePage()) + "," + std::to_string(AnsiCodePage()), expected);
}

struct LetterPair {
  char oem;
  char ansi;
};

struct LocaleLetters {
  uint32_t oemPage;
  uint32_t ansiPage;
  std::vector<LetterPair> letters;
};

// The same letters in each pair of pages a locale brings: e acute, U umlaut, n tilde; and
// Cyrillic a, A, yo, Yo.
const LocaleLetters kLocaleLetters[] = {
    {437, 1252, {{'A', 'A'}, {'\x82', '\xE9'}, {'\x9A', '\xDC'}, {'\xA4', '\xF1'}}},
    {866,
     1251,
     {{'A', 'A'}, {'\xA0', '\xE0'}, {'\x80', '\xC0'}, {'\xF1', '\xB8'}, {'\xF0', '\xA8'}}},
};

const LocaleLetters* LettersOfThisLocale() {
  for (const LocaleLetters& locale : kLocaleLetters) {
    if (locale.oemPage == OemCodePage() && locale.ansiPage == AnsiCodePage()) return &locale;
  }
  return nullptr;
}

TEST(Win32CodePages, OemAndAnsiLettersMapBothWays) {
  const LocaleLetters* locale = LettersOfThisLocale();
  if (locale == nullptr)
    GTEST_SKIP() << "no letters known for pages " << OemCodePage() << "/" << AnsiCodePage();
  for (const LetterPair& letter : locale->letters) {
    EXPECT_EQ(OemToAnsi(std::string(1, letter.oem)), std::string(1, letter.ansi))
        << "OEM byte " << int{static_cast<unsigned char>(letter.oem)};
    EXPECT_EQ(AnsiToOem(std::string(1, letter.ansi)), std::string(1, letter.oem))
        << "ANSI byte " << int{static_cast<unsigned char>(letter.ansi)};
  }
  EXPECT_EQ(OemToAnsi(""), "");
}

struct CasePair {
  char lower;
  char upper;
};

struct PageCases {
  uint32_t ansiPage;
  std::vector<CasePair> letters;
  std::vector<char> caseless;
};

// e acute, y diaeresis (whose capital sits at 0x9F in 1252), n tilde; Cyrillic a, yo, ya.
const PageCases kPageCases[] = {
    {1252, {{'a', 'A'}, {'\xE9', '\xC9'}, {'\xFF', '\x9F'}, {'\xF1', '\xD1'}}, {'1', '\xD7', '\0'}},
    {1251, {{'a', 'A'}, {'\xE0', '\xC0'}, {'\xB8', '\xA8'}, {'\xFF', '\xDF'}}, {'1', '\xB9', '\0'}},
};

TEST(Win32CodePages, AnsiCaseFollowsTheAnsiPage) {
  const PageCases* page = nullptr;
  for (const PageCases& cases : kPageCases) {
    if (cases.ansiPage == AnsiCodePage()) page = &cases;
  }
  if (page == nullptr) GTEST_SKIP() << "no letters known for ANSI page " << AnsiCodePage();
  for (const auto& [lower, upper] : page->letters) {
    EXPECT_EQ(AnsiUpper(lower), upper) << int{static_cast<unsigned char>(lower)};
    EXPECT_EQ(AnsiLower(upper), lower) << int{static_cast<unsigned char>(upper)};
    EXPECT_EQ(AnsiUpper(upper), upper) << int{static_cast<unsigned char>(upper)};
    EXPECT_EQ(AnsiLower(lower), lower) << int{static_cast<unsigned char>(lower)};
  }
  for (const char c : page->caseless) {
    EXPECT_EQ(AnsiUpper(c), c) << int{static_cast<unsigned char>(c)};
    EXPECT_EQ(AnsiLower(c), c) << int{static_cast<unsigned char>(c)};
  }
}

// The system's conversion calls refuse an empty text, so the backend answers for them.
TEST(Win32CodePages, EmptyTextConvertsForKnownPagesOnly) {
  for (const uint32_t page : {kAnsiCodePageId, kOemCodePageId, uint32_t{866}, uint32_t{65001}}) {
    std::u16string wide = u"old";
    EXPECT_TRUE(MultiByteToWide(page, "", wide)) << page;
    EXPECT_EQ(wide, u"");
    std::string bytes = "old";
    EXPECT_TRUE(WideToMultiByte(page, u"", bytes)) << page;
    EXPECT_EQ(bytes, "");
  }
  std::u16string wide;
  SetLastError(kErrorSuccess);
  EXPECT_FALSE(MultiByteToWide(12345, "", wide));
  EXPECT_EQ(LastError(), kErrorInvalidParameter);
  std::string bytes;
  EXPECT_FALSE(WideToMultiByte(12345, u"", bytes));
}

// The system does not take 1200 at all; its bytes are the units, low byte first.
TEST(Win32CodePages, Utf16HalfUnitDecodesToReplacementCharacter) {
  std::u16string wide;
  ASSERT_TRUE(MultiByteToWide(1200, std::string("A\0B", 3), wide));
  EXPECT_EQ(wide, u"A\uFFFD");
}

}  // namespace
}  // namespace Platform
