#include "platform/codepage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/error.h"

namespace Platform {
namespace {

struct TextCase {
  uint32_t codePage;
  std::string bytes;
  std::u16string wide;
};

void PrintTo(const TextCase& entry, std::ostream* out) {
  *out << "code page " << entry.codePage << ", " << entry.bytes.size() << " bytes";
}

class CodePageRoundTrip : public testing::TestWithParam<TextCase> {};

TEST_P(CodePageRoundTrip, DecodesAndEncodesBack) {
  std::u16string wide;
  ASSERT_TRUE(MultiByteToWide(GetParam().codePage, GetParam().bytes, wide));
  EXPECT_EQ(wide, GetParam().wide);
  std::string bytes;
  ASSERT_TRUE(WideToMultiByte(GetParam().codePage, GetParam().wide, bytes));
  EXPECT_EQ(bytes, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CodePageRoundTrip,
    testing::Values(TextCase{866, "\x8F\xE0\xA8\xA2\xA5\xE2", u"Привет"},
                    TextCase{1251, "\xCF\xF0\xE8\xE2\xE5\xF2 \xB8", u"Привет ё"},
                    TextCase{437, "\x82\x81\x9B", u"éü¢"},
                    TextCase{1252, "caf\xE9 \x80", u"café €"},
                    TextCase{65001, "\xD0\x96\xF0\x9F\x98\x80", u"Ж\U0001F600"},
                    TextCase{20127, "AT+CSCS", u"AT+CSCS"}, TextCase{28595, "\xBF", u"П"},
                    TextCase{1200, std::string("A\0\x16\x04", 4), u"AЖ"}, TextCase{1252, "", u""}));

TEST(CodePages, EachUndecodableByteBecomesReplacementCharacter) {
  const TextCase cases[] = {
      {65001,
       "a\xFF\xFE"
       "b",
       u"a\uFFFD\uFFFDb"},
      {65001, "\xC3", u"\uFFFD"},
  };
  for (const TextCase& entry : cases) {
    std::u16string wide;
    ASSERT_TRUE(MultiByteToWide(entry.codePage, entry.bytes, wide));
    EXPECT_EQ(wide, entry.wide) << entry.bytes;
  }
}

TEST(CodePages, EachUnencodableCharacterBecomesQuestionMark) {
  const TextCase cases[] = {
      {1252, "a?b", u"aЖb"},
      {1252, "a?", u"a\xD800"},
      {866, "?1", u"中1"},
  };
  for (const TextCase& entry : cases) {
    std::string bytes;
    ASSERT_TRUE(WideToMultiByte(entry.codePage, entry.wide, bytes));
    EXPECT_EQ(bytes, entry.bytes);
  }
}

// Windows gives a character beyond the 16-bit range one default character per UTF-16 unit, the
// POSIX backend one for the whole character; either way only question marks are left of it.
TEST(CodePages, UnencodableSupplementaryCharacterBecomesQuestionMarks) {
  std::string bytes;
  ASSERT_TRUE(WideToMultiByte(1252, u"a\U0001F600b", bytes));
  EXPECT_THAT(bytes, testing::AnyOf("a?b", "a??b"));
}

TEST(CodePages, UnknownPageFailsWithInvalidParameter) {
  std::u16string wide;
  EXPECT_FALSE(MultiByteToWide(12345, "abc", wide));
  EXPECT_EQ(LastError(), kErrorInvalidParameter);
  SetLastError(kErrorSuccess);
  std::string bytes;
  EXPECT_FALSE(WideToMultiByte(12345, u"abc", bytes));
  EXPECT_EQ(LastError(), kErrorInvalidParameter);
}

}  // namespace
}  // namespace Platform
