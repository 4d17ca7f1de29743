#include "farlib/ui/validator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_host.h"

namespace {

struct RangeCase {
  const char* text;
  bool accepted;
};

void PrintTo(const RangeCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class RangeValidator : public testing::TestWithParam<RangeCase> {};

TEST_P(RangeValidator, AcceptsBothEndsAndExplainsARefusal) {
  CFakeHost host;
  if (!GetParam().accepted) host.AnswerMessage(0);
  FarLib::CFarIntegerRangeValidator validator(1, 255, "OutOfRangeError");
  char text[512];
  std::strcpy(text, GetParam().text);
  EXPECT_EQ(validator.Validate(text, sizeof text), GetParam().accepted);
  if (GetParam().accepted) {
    EXPECT_TRUE(host.Messages().empty());
    return;
  }
  ASSERT_EQ(host.Messages().size(), 1u);
  const CFakeHost::ShownMessage& box = host.Messages()[0];
  EXPECT_EQ(box.flags, FMSG_WARNING);
  EXPECT_EQ(box.helpTopic, "OutOfRangeError");
  EXPECT_EQ(box.items, (std::vector<std::string>{"Zantel", "Enter a number from 1 to 255", "OK"}));
  EXPECT_EQ(box.buttons, 1);
}

INSTANTIATE_TEST_SUITE_P(Texts, RangeValidator,
                         testing::Values(RangeCase{"0", false}, RangeCase{"256", false},
                                         RangeCase{"", false}, RangeCase{"abc", false},
                                         RangeCase{"4294967297", false}, RangeCase{"1", true},
                                         RangeCase{"255", true}, RangeCase{" 17", true}));

TEST(RangeValidator, NegativeBoundsAndOwnFormat) {
  CFakeHost host;
  host.AnswerMessage(0);
  FarLib::CFarIntegerRangeValidator validator(-10, -1);
  validator.SetMessageFormat("[%d..%d]");
  char ok[] = "-10";
  EXPECT_TRUE(validator.Validate(ok, sizeof ok));
  char bad[] = "0";
  EXPECT_FALSE(validator.Validate(bad, sizeof bad));
  EXPECT_EQ(host.Messages()[0].items[1], "[-10..-1]");
  EXPECT_EQ(host.Messages()[0].helpTopic, "");
}

bool CutToLimit(char* text, size_t, uint32_t limit) {
  if (std::strlen(text) > limit) text[limit] = '\0';
  return true;
}

bool RefuseLong(char* text, size_t, uint32_t limit) { return std::strlen(text) <= limit; }

TEST(StringValidator, CheckFunctionMayShortenOrRefuse) {
  char text[512] = "abcdef";
  EXPECT_TRUE(FarLib::CFarStringValidator(CutToLimit, 4).Validate(text, sizeof text));
  EXPECT_STREQ(text, "abcd");
  EXPECT_FALSE(FarLib::CFarStringValidator(RefuseLong, 3).Validate(text, sizeof text));
  EXPECT_TRUE(FarLib::CFarStringValidator(nullptr, 0).Validate(text, sizeof text));
}

}  // namespace
