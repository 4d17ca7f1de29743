#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "regex/regex.h"

namespace {

struct GroupCase {
  const char* pattern;
  const char* subject;
  GroupList expected;
};

class RegexGroups : public testing::TestWithParam<GroupCase> {};

TEST_P(RegexGroups, ListEndsWithLastParticipatingGroup) {
  const GroupCase& c = GetParam();
  GroupList groups{"stale"};
  ASSERT_TRUE(RegexMatch(c.subject, c.pattern, 0, 0, &groups));
  EXPECT_EQ(groups, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegexGroups,
    testing::Values(
        GroupCase{"b+", "abbc", {"bb"}}, GroupCase{"(a)(b)(c)?", "ab", {"ab", "a", "b"}},
        GroupCase{"(x)?(b)(c)?", "b", {"b", "", "b"}}, GroupCase{"(a)|(b)", "b", {"b", "", "b"}},
        GroupCase{"(a)|(b)", "a", {"a", "a"}}, GroupCase{"(a*)b", "b", {"b", ""}},
        GroupCase{R"re(^\+CPBR:\s*(\d+),"([^"]*)",(\d+),"(.*)"$)re",
                  R"(+CPBR: 12,"+79001234",145,"Ivan")",
                  {R"(+CPBR: 12,"+79001234",145,"Ivan")", "12", "+79001234", "145", "Ivan"}}));

struct OptionCase {
  const char* pattern;
  const char* subject;
  int compileOptions;
  int matchOptions;
  std::optional<std::string> whole;
};

void PrintTo(const OptionCase& c, std::ostream* out) {
  *out << "pattern " << testing::PrintToString(std::string(c.pattern)) << " compile 0x" << std::hex
       << c.compileOptions << " match 0x" << c.matchOptions;
}

class RegexOptions : public testing::TestWithParam<OptionCase> {};

TEST_P(RegexOptions, LegacyBitsMeanWhatTheySay) {
  const OptionCase& c = GetParam();
  GroupList groups;
  const bool matched = RegexMatch(c.subject, c.pattern, c.compileOptions, c.matchOptions, &groups);
  ASSERT_EQ(matched, c.whole.has_value());
  if (matched) {
    EXPECT_EQ(groups.at(0), *c.whole);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegexOptions,
    testing::Values(
        OptionCase{"abc", "xABCx", 0, 0, std::nullopt},
        OptionCase{"abc", "xABCx", kRegexCaseless, 0, "ABC"},
        OptionCase{"b", "ab", kRegexAnchored, 0, std::nullopt},
        OptionCase{"b", "ba", kRegexAnchored, 0, "b"},
        OptionCase{"b", "ab", 0, kRegexAnchored, std::nullopt},
        OptionCase{"b", "Bc", kRegexCaseless | kRegexAnchored, 0, "B"},
        OptionCase{"b", "aB", kRegexCaseless | kRegexAnchored, 0, std::nullopt},
        OptionCase{"^b", "a\nb", 0, 0, std::nullopt},
        OptionCase{"^b", "a\nb", kRegexMultiline, 0, "b"},
        OptionCase{"a.b", "a\nb", 0, 0, std::nullopt},
        OptionCase{"a.b", "a\nb", kRegexDotAll, 0, "a\nb"},
        OptionCase{"a b", "ab", kRegexExtended, 0, "ab"}, OptionCase{"a$", "a\n", 0, 0, "a"},
        OptionCase{"a$", "a\n", kRegexDollarEndOnly, 0, std::nullopt},
        OptionCase{"a+", "aaa", kRegexUngreedy, 0, "a"},
        OptionCase{"^.$", "\xC3\xA9", 0, 0, std::nullopt},
        OptionCase{"^.$", "\xC3\xA9", kRegexUtf8, 0, "\xC3\xA9"},
        OptionCase{"a", "a", kRegexExtra, 0, "a"},
        OptionCase{"^a", "a", 0, kRegexNotBol, std::nullopt},
        OptionCase{"a$", "a", 0, kRegexNotEol, std::nullopt}, OptionCase{"a*", "b", 0, 0, ""},
        OptionCase{"a*", "b", 0, kRegexNotEmpty, std::nullopt},
        // Each match-time bit also where it leaves a match, so that a bit the
        // facade refused (which fails every match) cannot pass for one honoured.
        OptionCase{"b", "ba", 0, kRegexAnchored, "b"}, OptionCase{"^a|b", "ab", 0, 0, "a"},
        OptionCase{"^a|b", "ab", 0, kRegexNotBol, "b"},
        OptionCase{"^b", "a\nb", kRegexMultiline, kRegexNotBol, "b"},
        OptionCase{"ab$|a", "ab", 0, 0, "ab"}, OptionCase{"ab$|a", "ab", 0, kRegexNotEol, "a"},
        OptionCase{"a$", "a\nb", kRegexMultiline, kRegexNotEol, "a"},
        OptionCase{"a*", "ba", 0, kRegexNotEmpty, "a"},
        OptionCase{"^.$", "\xC3\xA9", kRegexUtf8, kRegexNoUtf8Check, "\xC3\xA9"},
        OptionCase{"^a|b", "ab", 0, kRegexNotBol | kRegexNotEmpty, "b"},
        OptionCase{"a", "a", 0x4000, 0, std::nullopt},
        OptionCase{"a", "a", kRegexNotBol, 0, std::nullopt},
        OptionCase{"a", "a", 0, kRegexCaseless, std::nullopt},
        OptionCase{"a", "a", 0, 0x10000, std::nullopt}));

TEST(RegexOptions, NoAutoCaptureLeavesOnlyTheWholeMatch) {
  GroupList groups;
  ASSERT_TRUE(RegexMatch("ab", "(a)b", kRegexNoAutoCapture, 0, &groups));
  EXPECT_EQ(groups, GroupList{"ab"});
}

TEST(RegexMatch, FailedMatchKeepsEarlierGroups) {
  CRegex regex(R"(\+CSQ:\s*(\d+),(\d+))", 0);
  GroupList groups;
  ASSERT_TRUE(regex.Match("+CSQ: 17,99", 0, &groups));
  EXPECT_FALSE(regex.Match("ERROR", 0, &groups));
  EXPECT_EQ(groups, (GroupList{"+CSQ: 17,99", "17", "99"}));
}

TEST(RegexMatch, OneCompiledPatternServesManyLines) {
  CRegex regex(R"(^(\d+);(.*)$)", 0);
  GroupList groups;
  ASSERT_TRUE(regex.Match("1;Anna", 0, &groups));
  EXPECT_EQ(groups.at(2), "Anna");
  ASSERT_TRUE(regex.Match("22;Boris", 0, &groups));
  EXPECT_EQ(groups, (GroupList{"22;Boris", "22", "Boris"}));
}

TEST(RegexMatch, SubjectIsBoundedByItsLengthNotByZero) {
  const std::string subject("a\0b", 3);
  EXPECT_TRUE(RegexMatch(subject, "a\\x00b", 0, 0, nullptr));
}

struct FromCase {
  const char* pattern;
  const char* subject;
  std::size_t offset;
  std::optional<RegexSpan> span;
};

class RegexMatchFrom : public testing::TestWithParam<FromCase> {};

TEST_P(RegexMatchFrom, AnchorsSeeTheWholeSubject) {
  const FromCase& c = GetParam();
  CRegex regex(c.pattern, 0);
  RegexSpan span{99, 99};
  const bool matched = regex.MatchFrom(c.subject, c.offset, 0, nullptr, &span);
  ASSERT_EQ(matched, c.span.has_value());
  if (matched) {
    EXPECT_EQ(span.begin, c.span->begin);
    EXPECT_EQ(span.end, c.span->end);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, RegexMatchFrom,
                         testing::Values(FromCase{"^a", "aa", 1, std::nullopt},
                                         FromCase{"(?<=a)b", "ab", 1, RegexSpan{1, 2}},
                                         FromCase{"a", "aba", 1, RegexSpan{2, 3}},
                                         FromCase{"$", "ab", 2, RegexSpan{2, 2}},
                                         FromCase{"a*", "ab", 3, std::nullopt}));

class RegexInvalidPattern : public testing::TestWithParam<const char*> {};

TEST_P(RegexInvalidPattern, EveryCallFailsAndLeavesOutputsAlone) {
  const std::string pattern = GetParam();
  CRegex regex(pattern, 0);
  EXPECT_FALSE(regex.IsCompiled());
  EXPECT_FALSE(regex.ErrorText().empty());

  GroupList groups{"kept"};
  EXPECT_FALSE(regex.Match("(a", 0, &groups));
  EXPECT_FALSE(RegexMatch("(a", pattern, 0, 0, &groups));
  EXPECT_EQ(groups, GroupList{"kept"});

  std::string subject = "(a";
  EXPECT_FALSE(regex.Replace(subject, "x", true, 0));
  EXPECT_FALSE(RegexReplace(subject, pattern, "x", true, 0, 0));
  EXPECT_EQ(subject, "(a");

  std::vector<std::string> list{"kept"};
  EXPECT_FALSE(RegexSplit("(a", pattern, &list, 0, 0));
  EXPECT_FALSE(RegexFormatAll("(a", pattern, "$0", &list, 0, 0));
  EXPECT_EQ(list, std::vector<std::string>{"kept"});
}

INSTANTIATE_TEST_SUITE_P(Table, RegexInvalidPattern,
                         testing::Values("(", "[a", "a{2,1}", "\\", "a)"));

TEST(RegexInvalidPattern, OffsetPointsAtTheFault) {
  CRegex regex("ab(", 0);
  EXPECT_EQ(regex.ErrorOffset(), 3u);
}

}  // namespace
