#include <gtest/gtest.h>

#include <map>

#include "encoding/charset.h"

namespace {

// The GSM 03.38 default alphabet written out in code order, 0x00 to 0x7F, with this system's
// choices: 0x09 is the capital C with cedilla and the escape code stands for U+001B.
const std::u16string kDefaultAlphabet =
    u"@£$¥èéùìòÇ\nØø\rÅå"
    u"Δ_ΦΓΛΩΠΨΣΘΞ\x1B"
    u"ÆæßÉ"
    u" !\"#¤%&'()*+,-./"
    u"0123456789:;<=>?"
    u"¡ABCDEFGHIJKLMNO"
    u"PQRSTUVWXYZÄÖÑÜ§"
    u"¿abcdefghijklmno"
    u"pqrstuvwxyzäöñüà";

// The GSM 03.38 extension table as the standard has it, then this system's two deviations.
std::map<int, char16_t> ExtensionAlphabet() {
  std::map<int, char16_t> table = {
      {0x0A, u'\f'}, {0x14, u'^'}, {0x28, u'{'}, {0x29, u'}'}, {0x2F, u'\\'},
      {0x3C, u'['},  {0x3D, u'~'}, {0x3E, u']'}, {0x40, u'|'}, {0x65, u'€'},
  };
  table[0x0A] = u' ';
  table[0x1B] = u' ';
  return table;
}

std::string Code(int code) { return std::string(1, static_cast<char>(code)); }

}  // namespace

TEST(GsmAlphabet, EveryBasicCodeDecodesToItsCharacter) {
  ASSERT_EQ(kDefaultAlphabet.size(), 128u);
  for (int code = 0; code < 128; ++code) {
    WideString wide;
    EXPECT_TRUE(GsmToWide(Code(code), wide)) << "code " << code;
    EXPECT_EQ(wide, std::u16string(1, kDefaultAlphabet[code])) << "code " << code;
  }
}

TEST(GsmAlphabet, EveryBasicCharacterEncodesToItsCode) {
  for (int code = 0; code < 128; ++code) {
    std::string septets;
    EXPECT_TRUE(WideToGsm(std::u16string(1, kDefaultAlphabet[code]), septets)) << "code " << code;
    EXPECT_EQ(septets, Code(code)) << "code " << code;
  }
}

TEST(GsmAlphabet, EveryEscapedCodeDecodesToItsExtensionOrNul) {
  const auto extension = ExtensionAlphabet();
  for (int code = 0; code < 128; ++code) {
    const auto listed = extension.find(code);
    const char16_t expected = listed == extension.end() ? u'\0' : listed->second;
    WideString wide;
    EXPECT_TRUE(GsmToWide("\x1B" + Code(code), wide)) << "code " << code;
    EXPECT_EQ(wide, std::u16string(1, expected)) << "code " << code;
  }
}

TEST(GsmAlphabet, ExtensionCharactersEncodeWithEscape) {
  for (const auto& [code, character] : ExtensionAlphabet()) {
    if (character == u' ') {
      continue;  // the basic table's space wins; checked with the edge cases
    }
    std::string septets;
    EXPECT_TRUE(WideToGsm(std::u16string(1, character), septets)) << "code " << code;
    EXPECT_EQ(septets, "\x1B" + Code(code)) << "code " << code;
  }
}

struct CGsmCase {
  const char* m_name;
  std::u16string m_wide;
  std::string m_septets;
};

class GsmRoundTrip : public testing::TestWithParam<CGsmCase> {};

TEST_P(GsmRoundTrip, EncodesAndDecodes) {
  std::string septets;
  EXPECT_TRUE(WideToGsm(GetParam().m_wide, septets));
  EXPECT_EQ(septets, GetParam().m_septets);
  WideString wide;
  EXPECT_TRUE(GsmToWide(GetParam().m_septets, wide));
  EXPECT_EQ(wide, GetParam().m_wide);
}

INSTANTIATE_TEST_SUITE_P(
    Gsm, GsmRoundTrip,
    testing::Values(CGsmCase{"CommercialAtIsCodeZero", u"@", std::string(1, '\0')},
                    CGsmCase{"EuroIsEscaped", u"€", "\x1B\x65"},
                    CGsmCase{"VerticalBarIsEscaped", u"|", "\x1B\x40"},
                    CGsmCase{"SpaceUsesBasicTable", u" ", " "},
                    CGsmCase{"EscapeCharacterIsSingleCode", u"A\x1B", "A\x1B"},
                    CGsmCase{"MixedText", u"Hi [Ω]!", "Hi\x20\x1B\x3C\x15\x1B\x3E!"},
                    CGsmCase{"Empty", u"", ""}),
    [](const auto& info) { return std::string(info.param.m_name); });

struct CGsmDecodeCase {
  const char* m_name;
  std::string m_septets;
  bool m_ok;
  std::u16string m_wide;
};

class GsmDecode : public testing::TestWithParam<CGsmDecodeCase> {};

TEST_P(GsmDecode, GivesTextOrFailsKeepingPrefix) {
  WideString wide = u"stale";
  EXPECT_EQ(GsmToWide(GetParam().m_septets, wide), GetParam().m_ok);
  EXPECT_EQ(wide, GetParam().m_wide);
}

INSTANTIATE_TEST_SUITE_P(
    Gsm, GsmDecode,
    testing::Values(CGsmDecodeCase{"EscapeBeforeUnlistedCodeIsNul", "\x1B\x41", true,
                                   std::u16string(1, u'\0')},
                    CGsmDecodeCase{"EscapedPageBreakIsSpace", "\x1B\x0A", true, u" "},
                    CGsmDecodeCase{"DoubleEscapeIsSpace", "\x1B\x1B", true, u" "},
                    CGsmDecodeCase{"ByteAbove127Fails", "AB\x80", false, u"AB"},
                    CGsmDecodeCase{"EscapeBeforeByteAbove127Fails", "A\x1B\xC1", false, u"A"}),
    [](const auto& info) { return std::string(info.param.m_name); });

struct CGsmRefusedCase {
  const char* m_name;
  std::u16string m_wide;
  std::string m_prefix;
};

class GsmRefused : public testing::TestWithParam<CGsmRefusedCase> {};

TEST_P(GsmRefused, FailsKeepingPrefix) {
  std::string septets = "stale";
  EXPECT_FALSE(WideToGsm(GetParam().m_wide, septets));
  EXPECT_EQ(septets, GetParam().m_prefix);
  EXPECT_FALSE(IsGsmText(GetParam().m_wide));
}

// U+0000 marks the extension table's empty codes; it is no character of the alphabet, so it
// must not be sent as an escape followed by code 0.
INSTANTIATE_TEST_SUITE_P(Gsm, GsmRefused,
                         testing::Values(CGsmRefusedCase{"FormFeed", u"a\f", "a"},
                                         CGsmRefusedCase{"Nul", std::u16string(u"ab\0", 3), "ab"},
                                         CGsmRefusedCase{"Cyrillic", u"@Я", std::string(1, '\0')},
                                         CGsmRefusedCase{"LowerCCedilla", u"ç", ""}),
                         [](const auto& info) { return std::string(info.param.m_name); });

TEST(GsmAlphabet, IsGsmTextAcceptsBothTables) {
  EXPECT_FALSE(IsGsmText(u"Ça coûte 5€ {ok}"));  // û is in neither table
  EXPECT_TRUE(IsGsmText(u"Ça fait 5€ {ok}"));
  EXPECT_TRUE(IsGsmText(u""));
}
