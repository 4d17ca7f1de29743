#include "encoding/blanks.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

struct TrimCase {
  const char* name;
  std::string_view text;
  std::string_view trimmed;
};

void PrintTo(const TrimCase& c, std::ostream* out) { *out << c.name; }

class BlanksTrim : public testing::TestWithParam<TrimCase> {};

TEST_P(BlanksTrim, TakesSpacesAndTabsOffBothEnds) {
  EXPECT_EQ(Trimmed(GetParam().text), GetParam().trimmed);
}

// Line ends are not blanks: the help file's reader splits lines before it trims them.
INSTANTIATE_TEST_SUITE_P(Texts, BlanksTrim,
                         testing::Values(TrimCase{"Empty", "", ""},
                                         TrimCase{"BlanksOnly", " \t \t", ""},
                                         TrimCase{"Bare", "Nokia", "Nokia"},
                                         TrimCase{"BothEnds", "\t Nokia 6310 \t", "Nokia 6310"},
                                         TrimCase{"OneCharacter", "  x ", "x"},
                                         TrimCase{"LineEndsStay", "\r\n A \r\n", "\r\n A \r\n"}),
                         [](const testing::TestParamInfo<TrimCase>& info) {
                           return info.param.name;
                         });

}  // namespace
