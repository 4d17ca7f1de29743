#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "platform/codepage.h"
#include "regex/regex.h"

using namespace std::string_literals;

namespace {

struct ExpandCase {
  std::string templ;
  GroupList groups;
  std::string expected;
};

class RegexExpand : public testing::TestWithParam<ExpandCase> {};

TEST_P(RegexExpand, BuildsReplacementText) {
  const ExpandCase& c = GetParam();
  const CRegex regex("x", 0);
  EXPECT_EQ(regex.Expand(c.templ, c.groups), c.expected);
}

const GroupList kThree{"whole", "one", "two"};

INSTANTIATE_TEST_SUITE_P(
    GroupReferences, RegexExpand,
    testing::Values(
        ExpandCase{"$1", {"whole"}, ""}, ExpandCase{"$", {"whole"}, "whole"},
        ExpandCase{"<$x>", {"whole"}, "<wholex>"}, ExpandCase{"$0-$1-$2", kThree, "whole-one-two"},
        ExpandCase{"$2$1", kThree, "twoone"}, ExpandCase{"$3", kThree, ""},
        ExpandCase{"$01", kThree, "one"},
        ExpandCase{"$10", {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "ten"}, "ten"},
        ExpandCase{"$99999999999", kThree, ""},
        ExpandCase{"[$999999999999999999999999999999]", kThree, "[]"}, ExpandCase{"$1", {}, ""}));

INSTANTIATE_TEST_SUITE_P(
    Escapes, RegexExpand,
    testing::Values(ExpandCase{"\\x41", {}, "A"}, ExpandCase{"\\x6a", {}, "j"},
                    ExpandCase{"\\x4g", {}, "\x04g"}, ExpandCase{"\\x414", {}, "A4"},
                    ExpandCase{"\\x", {}, "\0"s}, ExpandCase{"\\101", {}, "A"},
                    ExpandCase{"\\1014", {}, "A4"}, ExpandCase{"\\0", {}, "\0"s},
                    ExpandCase{"\\18", {}, "\x10"}, ExpandCase{"\\777", {}, "\xFF"},
                    ExpandCase{"\\", {}, "\\"}, ExpandCase{"a\\", {}, "a\\"},
                    ExpandCase{"\\a\\b\\e\\f\\n\\r\\t\\v", {}, "\a\b\x1b\f\n\r\t\v"},
                    ExpandCase{"\\\\\\$1\\q", kThree, "\\$1q"}));

INSTANTIATE_TEST_SUITE_P(
    CaseModes, RegexExpand,
    testing::Values(ExpandCase{"\\Uab\\Ec", {}, "ABc"}, ExpandCase{"\\uab", {}, "Ab"},
                    ExpandCase{"\\U$1", {"x", "ab"}, "ab"},
                    ExpandCase{"\\u$1b", {"x", "ab"}, "abB"}, ExpandCase{"\\LAB\\EC", {}, "abC"},
                    ExpandCase{"\\lAB", {}, "aB"}, ExpandCase{"\\Ua\\lBC", {}, "AbC"},
                    ExpandCase{"\\CaB1c", {}, "Ab1C"}, ExpandCase{"\\cab", {}, "Ab"},
                    ExpandCase{"\\U\\x61\\141\\q", {}, "AAQ"}, ExpandCase{"\\U\\n1", {}, "\n1"}));

// Shade characters have no counterpart on the ANSI page of either usual pair (437/1252,
// 866/1251), and the ANSI byte of the same value is a degree sign the OEM page keeps elsewhere:
// the trip there and back fails, so the character is left alone and the one-shot mode waits.
TEST(RegexExpandCase, CharacterWithoutAnsiCounterpartKeepsOneShotMode) {
  const CRegex regex("x", 0);
  EXPECT_EQ(regex.Expand("\\u\xB0"
                         "ab",
                         {}),
            "\xB0"
            "Ab");
}

struct OemLetter {
  uint32_t oemPage;
  char lower;
  char upper;
};

// One letter beyond ASCII for each usual OEM page: e acute in 437, Cyrillic a in 866.
constexpr OemLetter kOemLetters[] = {{437, '\x82', '\x90'}, {866, '\xA0', '\x80'}};

TEST(RegexExpandCase, LettersBeyondAsciiChangeCaseThroughTheAnsiPage) {
  const uint32_t page = Platform::OemCodePage();
  const auto* letter = std::find_if(std::begin(kOemLetters), std::end(kOemLetters),
                                    [page](const OemLetter& l) { return l.oemPage == page; });
  if (letter == std::end(kOemLetters)) {
    GTEST_SKIP() << "no letter known for OEM page " << page;
  }
  const std::string lower(1, letter->lower);
  const std::string upper(1, letter->upper);
  const CRegex regex("x", 0);
  EXPECT_EQ(regex.Expand("\\U" + lower, {}), upper);
  EXPECT_EQ(regex.Expand("\\L" + upper, {}), lower);
  EXPECT_EQ(regex.Expand("\\C" + lower + upper, {}), upper + lower);
}

}  // namespace
