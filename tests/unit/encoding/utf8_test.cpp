#include <gtest/gtest.h>

#include "encoding/charset.h"

struct CUtf8Case {
  const char* m_name;
  std::string m_utf8;
  std::u16string m_wide;
};

class Utf8Decode : public testing::TestWithParam<CUtf8Case> {};

TEST_P(Utf8Decode, GivesUnits) { EXPECT_EQ(Utf8ToWide(GetParam().m_utf8), GetParam().m_wide); }

INSTANTIATE_TEST_SUITE_P(
    Utf8, Utf8Decode,
    testing::Values(CUtf8Case{"TwoBytes", "\xC3\xA9", u"\u00E9"},
                    CUtf8Case{"ThreeBytesEuro", "\xE2\x82\xAC", u"\u20AC"},
                    CUtf8Case{"ThreeBytesHan", "\xE4\xB8\xAD", u"\u4E2D"},
                    CUtf8Case{"BrokenLeadDropped", "\xC3\x41", u"A"},
                    CUtf8Case{"OverlongNulAccepted", "\xC0\x80", std::u16string(1, u'\0')},
                    CUtf8Case{"OverlongLetterAccepted", "\xC1\x81", u"A"},
                    CUtf8Case{"OverlongThreeBytesAccepted", "\xE0\x81\x81", u"A"},
                    CUtf8Case{"SurrogateUnitAccepted", "\xED\xA0\xBD", u"\xD83D"},
                    CUtf8Case{"FourByteSequenceSkipped",
                              "A\xF0\x9F\x98\x80"
                              "B",
                              u"AB"},
                    CUtf8Case{"HighLeadsSkipped",
                              "\xF8\xFC\xFE\xFF"
                              "A",
                              u"A"},
                    CUtf8Case{"StrayContinuationsSkipped",
                              "\x80\xBF"
                              "A",
                              u"A"},
                    CUtf8Case{"TruncatedTwoBytes", "A\xC3", u"A"},
                    CUtf8Case{"TruncatedThreeBytes", "A\xE2\x82", u"A"},
                    CUtf8Case{"ThreeBytesBrokenThird",
                              "\xE2\x82"
                              "A",
                              u"A"},
                    CUtf8Case{"EmbeddedNul", std::string("A\0B", 3), std::u16string(u"A\0B", 3)},
                    CUtf8Case{"Empty", "", u""}),
    [](const auto& info) { return std::string(info.param.m_name); });

class Utf8Encode : public testing::TestWithParam<CUtf8Case> {};

TEST_P(Utf8Encode, GivesBytes) { EXPECT_EQ(WideToUtf8(GetParam().m_wide), GetParam().m_utf8); }

INSTANTIATE_TEST_SUITE_P(
    Utf8, Utf8Encode,
    testing::Values(CUtf8Case{"Ascii", "A~\x7F", u"A~\x7F"},
                    CUtf8Case{"LowestTwoBytes", "\xC2\x80", u"\u0080"},
                    CUtf8Case{"EAcute", "\xC3\xA9", u"\u00E9"},
                    CUtf8Case{"HighestTwoBytes", "\xDF\xBF", u"\u07FF"},
                    CUtf8Case{"LowestThreeBytes", "\xE0\xA0\x80", u"\u0800"},
                    CUtf8Case{"Euro", "\xE2\x82\xAC", u"\u20AC"},
                    CUtf8Case{"Han", "\xE4\xB8\xAD", u"\u4E2D"},
                    CUtf8Case{"HighestUnit", "\xEF\xBF\xBF", u"\uFFFF"},
                    CUtf8Case{"SurrogatesOneByOne", "\xED\xA0\xBD\xED\xB8\x80", u"\U0001F600"},
                    CUtf8Case{"EmbeddedNul", std::string("A\0B", 3), std::u16string(u"A\0B", 3)},
                    CUtf8Case{"Empty", "", u""}),
    [](const auto& info) { return std::string(info.param.m_name); });

TEST(Utf8, EveryUnitRoundTrips) {
  WideString everyUnit;
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    everyUnit.push_back(static_cast<char16_t>(unit));
  }
  EXPECT_EQ(Utf8ToWide(WideToUtf8(everyUnit)), everyUnit);
}

// The input is a view: bytes after its end belong to someone else and must not complete a
// sequence that the input cut short.
TEST(Utf8, TruncatedSequenceDoesNotReadPastInput) {
  const std::string buffer = "A\xE2\x82\xAC\xC3\xA9";
  EXPECT_EQ(Utf8ToWide(std::string_view(buffer).substr(0, 3)), u"A");
  EXPECT_EQ(Utf8ToWide(std::string_view(buffer).substr(0, 5)), u"A\u20AC");
  EXPECT_EQ(Utf8ToWide(std::string_view(buffer).substr(4, 1)), u"");
}
