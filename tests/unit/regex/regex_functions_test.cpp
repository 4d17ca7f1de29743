#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regex/regex.h"

namespace {

using Strings = std::vector<std::string>;

struct ReplaceCase {
  const char* pattern;
  const char* subject;
  const char* templ;
  bool all;
  const char* expected;
};

class RegexReplaceTable : public testing::TestWithParam<ReplaceCase> {};

TEST_P(RegexReplaceTable, RewritesSubjectInPlace) {
  const ReplaceCase& c = GetParam();
  std::string subject = c.subject;
  EXPECT_TRUE(RegexReplace(subject, c.pattern, c.templ, c.all, 0, 0));
  EXPECT_EQ(subject, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegexReplaceTable,
    testing::Values(
        ReplaceCase{"[^0-9+*#]", "+7 (900) 12-34", "", true, "+79001234"},
        ReplaceCase{"a", "xax", "aa", true, "xaax"}, ReplaceCase{"a", "aaa", "b", false, "baa"},
        ReplaceCase{"a", "aaa", "b", true, "bbb"}, ReplaceCase{"a", "aa", "$0$0$0", true, "aaaaaa"},
        ReplaceCase{"z", "abc", "y", true, "abc"},
        ReplaceCase{R"((\d+)-(\d+))", "1-2 3-4", "$2-$1", true, "2-1 4-3"},
        ReplaceCase{R"re(^\+CSCS:\s*"?(.*?)"?\s*$)re", R"(+CSCS: "UCS2")", "$1", false, "UCS2"},
        ReplaceCase{"^a", "aaab", "", true, "b"}, ReplaceCase{"^a", "aaab", "c", true, "cccb"}));

INSTANTIATE_TEST_SUITE_P(EmptyMatches, RegexReplaceTable,
                         testing::Values(ReplaceCase{"a*", "baaac", "X", true, "XbXXcX"},
                                         ReplaceCase{"a*", "baaac", "", true, "bc"},
                                         ReplaceCase{"a*", "baaac", "X", false, "Xbaaac"},
                                         ReplaceCase{"x*", "abc", "-", true, "-a-b-c-"},
                                         ReplaceCase{"", "ab", "$0", true, "ab"},
                                         ReplaceCase{"$", "ab", "!", true, "ab!"},
                                         ReplaceCase{"a*", "", "X", true, "X"}));

struct SplitCase {
  const char* subject;
  const char* pattern;
  Strings expected;
};

class RegexSplitTable : public testing::TestWithParam<SplitCase> {};

TEST_P(RegexSplitTable, CutsAtSeparators) {
  const SplitCase& c = GetParam();
  Strings fields{"stale"};
  EXPECT_TRUE(RegexSplit(c.subject, c.pattern, &fields, 0, 0));
  EXPECT_EQ(fields, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, RegexSplitTable,
                         testing::Values(SplitCase{"1, 2,,3", R"(\s*,\s*)", {"1", "2", "", "3"}},
                                         SplitCase{",1,", R"(\s*,\s*)", {"1"}},
                                         SplitCase{" 1 ", " ", {"", "1", ""}},
                                         SplitCase{"a  b", " ", {"a", "", "b"}},
                                         SplitCase{"", " ", {""}}, SplitCase{"", ",", {}},
                                         SplitCase{",", ",", {}}, SplitCase{"a,,", ",", {"a", ""}},
                                         SplitCase{"a1a", "^a", {"1a"}},
                                         SplitCase{"abc", "z", {"abc"}}));

INSTANTIATE_TEST_SUITE_P(EmptyMatches, RegexSplitTable,
                         testing::Values(SplitCase{"abc", "x*", {"a", "b", "c"}},
                                         SplitCase{"abc", "", {"a", "b", "c"}},
                                         SplitCase{"a", "$", {"a"}}));

struct FormatCase {
  const char* subject;
  const char* pattern;
  const char* templ;
  Strings expected;
};

class RegexFormatAllTable : public testing::TestWithParam<FormatCase> {};

TEST_P(RegexFormatAllTable, ExpandsOncePerMatch) {
  const FormatCase& c = GetParam();
  Strings results{"stale"};
  EXPECT_TRUE(RegexFormatAll(c.subject, c.pattern, c.templ, &results, 0, 0));
  EXPECT_EQ(results, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegexFormatAllTable,
    testing::Values(FormatCase{"(SM,ME),(SM)", R"(\((.*?)\))", "$1", {"SM,ME", "SM"}},
                    FormatCase{R"("SM","ME")", R"re("([^"]*)")re", "$0", {R"("SM")", R"("ME")"}},
                    FormatCase{"a1a", "^a", "$0", {"a"}}, FormatCase{"none", "x", "$0", {}},
                    FormatCase{"k=1;v=2", R"((\w)=(\d))", "$2$1", {"1k", "2v"}}));

INSTANTIATE_TEST_SUITE_P(EmptyMatches, RegexFormatAllTable,
                         testing::Values(FormatCase{"abc", "x*", "[$0]", {"[]", "[]", "[]", "[]"}},
                                         FormatCase{
                                             "baaac", "a*", "<$0>", {"<>", "<aaa>", "<>", "<>"}}));

TEST(RegexFreeFunctions, AbsentOutputListIsAllowed) {
  EXPECT_TRUE(RegexMatch("ab", "b", 0, 0, nullptr));
  EXPECT_TRUE(RegexSplit("a,b", ",", nullptr, 0, 0));
  EXPECT_TRUE(RegexFormatAll("a,b", ",", "$0", nullptr, 0, 0));
}

TEST(RegexFreeFunctions, OptionsReachEveryFunction) {
  std::string subject = "xAbx";
  EXPECT_TRUE(RegexReplace(subject, "ab", "-", true, kRegexCaseless, 0));
  EXPECT_EQ(subject, "x-x");

  Strings fields;
  EXPECT_TRUE(RegexSplit("1A2a3", "a", &fields, kRegexCaseless, 0));
  EXPECT_EQ(fields, (Strings{"1", "2", "3"}));

  Strings results;
  EXPECT_TRUE(RegexFormatAll("ab", "b", "$0", &results, kRegexAnchored, 0));
  EXPECT_EQ(results, Strings{});
}

}  // namespace
