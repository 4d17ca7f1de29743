#include <gtest/gtest.h>

#include "encoding/charset.h"

namespace {

template <typename CCase>
std::string CaseName(const testing::TestParamInfo<CCase>& info) {
  return info.param.m_name;
}

}  // namespace

// Each name must reach its own conversion whatever its letter case: the same text gives a
// different phone text under every route.
struct CRouteCase {
  const char* m_name;
  const char* m_charset;
  std::u16string m_wide;
  std::string m_phone;
};

class CharsetRoute : public testing::TestWithParam<CRouteCase> {};

TEST_P(CharsetRoute, EncodesAndDecodes) {
  std::string phone;
  EXPECT_TRUE(WideToPhone(GetParam().m_wide, GetParam().m_charset, phone));
  EXPECT_EQ(phone, GetParam().m_phone);
  WideString wide;
  EXPECT_TRUE(PhoneToWide(GetParam().m_phone, GetParam().m_charset, wide));
  EXPECT_EQ(wide, GetParam().m_wide);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CharsetRoute,
    testing::Values(
        CRouteCase{"Gsm", "GSM", u"@é", std::string("\0\x05", 2)},
        CRouteCase{"GsmLower", "gsm", u"@é", std::string("\0\x05", 2)},
        CRouteCase{"Ira", "IRA", u"@~", "@~"}, CRouteCase{"IraMixed", "iRa", u"@~", "@~"},
        CRouteCase{"Utf8Dash", "UTF-8", u"@é", "@\xC3\xA9"},
        CRouteCase{"Utf8DashLower", "utf-8", u"@é", "@\xC3\xA9"},
        CRouteCase{"Utf8", "UTF8", u"@é", "@\xC3\xA9"},
        CRouteCase{"Utf8Lower", "utf8", u"@é", "@\xC3\xA9"},
        CRouteCase{"Ucs2", "UCS2", u"@é", "004000E9"},
        CRouteCase{"Ucs2Lower", "ucs2", u"@é", "004000E9"},
        CRouteCase{"Ucs2Dash", "UCS-2", u"@é", "004000E9"},
        CRouteCase{"Ucs2DashLower", "ucs-2", u"@é", "004000E9"},
        CRouteCase{"Hex", "HEX", u"@é", "40E9"}, CRouteCase{"HexLower", "hex", u"@é", "40E9"},
        CRouteCase{"CodePage437", "PCCP437", u"@é", "@\x82"},
        CRouteCase{"CodePage1252", "windows-1252", u"@é", "@\xE9"},
        CRouteCase{"CodePage866", "PCCP866", u"Привет", "\x8F\xE0\xA8\xA2\xA5\xE2"},
        CRouteCase{"CodePage1251", "WINDOWS-1251", u"Привет", "\xCF\xF0\xE8\xE2\xE5\xF2"},
        CRouteCase{"Iso8859Dash5", "ISO-8859-5", u"Привет", "\xBF\xE0\xD8\xD2\xD5\xE2"}),
    CaseName<CRouteCase>);

// Empty text converts to empty text under every route, the system code pages included (the
// system itself refuses an empty input).
class CharsetEmpty : public testing::TestWithParam<const char*> {};

TEST_P(CharsetEmpty, GivesEmptyOutputAndSuccess) {
  WideString wide = u"stale";
  EXPECT_TRUE(PhoneToWide("", GetParam(), wide));
  EXPECT_EQ(wide, u"");
  std::string phone = "stale";
  EXPECT_TRUE(WideToPhone(u"", GetParam(), phone));
  EXPECT_EQ(phone, "");
}

INSTANTIATE_TEST_SUITE_P(Names, CharsetEmpty,
                         testing::Values("GSM", "IRA", "UTF-8", "UCS2", "HEX", "PCCP866",
                                         "windows-1251", "8859-C", ""));

struct CDecodeCase {
  const char* m_name;
  const char* m_charset;
  std::string m_phone;
  bool m_ok;
  std::u16string m_wide;
};

class CharsetDecode : public testing::TestWithParam<CDecodeCase> {};

TEST_P(CharsetDecode, GivesTextOrFailsKeepingPrefix) {
  WideString wide = u"stale";
  EXPECT_EQ(PhoneToWide(GetParam().m_phone, GetParam().m_charset, wide), GetParam().m_ok);
  EXPECT_EQ(wide, GetParam().m_wide);
}

INSTANTIATE_TEST_SUITE_P(
    Hex, CharsetDecode,
    testing::Values(CDecodeCase{"Ucs2TwoGroups", "UCS2", "00410042", true, u"AB"},
                    CDecodeCase{"Ucs2ShortLastGroupIgnored", "UCS2", "0041004", true, u"A"},
                    CDecodeCase{"Ucs2ShortInputIsEmpty", "UCS2", "004", true, u""},
                    CDecodeCase{"Ucs2LowerCaseDigits", "UCS2", "00e9abcd", true, u"é\uABCD"},
                    CDecodeCase{"Ucs2LeadingSpaceSkipped", "UCS2", " 41A", true, u"\u041A"},
                    CDecodeCase{"Ucs2StopsAtNonDigit", "UCS2", "0041004G", true, u"A\u0004"},
                    CDecodeCase{"Ucs2HexPrefixIsNotTaken", "UCS2", "0x41", true,
                                std::u16string(1, u'\0')},
                    CDecodeCase{"Ucs2SignIsNoNumber", "UCS2", "0041+041", false, u"A"},
                    CDecodeCase{"Ucs2MinusIsNoNumber", "UCS2", "-041", false, u""},
                    CDecodeCase{"Ucs2BlankGroupFails", "UCS2", "0041    0042", false, u"A"},
                    CDecodeCase{"Ucs2GarbageFails", "UCS2", "0041ZZZZ", false, u"A"},
                    CDecodeCase{"HexPairs", "HEX", "4142", true, u"AB"},
                    CDecodeCase{"HexLastSingleDigitIgnored", "HEX", "414", true, u"A"},
                    CDecodeCase{"HexSingleDigitIsEmpty", "HEX", "4", true, u""},
                    CDecodeCase{"HexLeadingSpaceSkipped", "HEX", "41 7", true, u"A\u0007"},
                    CDecodeCase{"HexSignIsNoNumber", "HEX", "41+1", false, u"A"},
                    CDecodeCase{"HexGarbageFails", "HEX", "41ZZ42", false, u"A"}),
    CaseName<CDecodeCase>);

INSTANTIATE_TEST_SUITE_P(Ira, CharsetDecode,
                         testing::Values(CDecodeCase{"ByteAbove127Fails", "IRA", "AB\x80", false,
                                                     u"AB"},
                                         CDecodeCase{"Byte127", "IRA", "\x7F", true, u"\x7F"}),
                         CaseName<CDecodeCase>);

INSTANTIATE_TEST_SUITE_P(
    Fallback, CharsetDecode,
    testing::Values(CDecodeCase{"UnknownNameUsesOemPage", "PCDN", "plain", true, u"plain"},
                    CDecodeCase{"UnknownCodePageUsesOemPage", "PCCP9999", "plain", true, u"plain"},
                    CDecodeCase{"FixedNamesMatchWhole", "GSM7", "@", true, u"@"}),
    CaseName<CDecodeCase>);

struct CEncodeCase {
  const char* m_name;
  const char* m_charset;
  std::u16string m_wide;
  bool m_ok;
  std::string m_phone;
};

class CharsetEncode : public testing::TestWithParam<CEncodeCase> {};

TEST_P(CharsetEncode, GivesTextOrFailsKeepingPrefix) {
  std::string phone = "stale";
  EXPECT_EQ(WideToPhone(GetParam().m_wide, GetParam().m_charset, phone), GetParam().m_ok);
  EXPECT_EQ(phone, GetParam().m_phone);
}

INSTANTIATE_TEST_SUITE_P(
    Units, CharsetEncode,
    testing::Values(CEncodeCase{"Ucs2UpperCase", "UCS2", u"A\u00E9\uABCD", true, "004100E9ABCD"},
                    CEncodeCase{"Ucs2SurrogatesOneByOne", "UCS2", u"\U0001F600", true, "D83DDE00"},
                    CEncodeCase{"HexUpperCase", "HEX", u"A\u00FF", true, "41FF"},
                    CEncodeCase{"HexAbove255Fails", "HEX", u"A\u0100B", false, "41"},
                    CEncodeCase{"IraAbove127Fails", "IRA", u"A\u0080", false, "A"},
                    CEncodeCase{"GsmFailureKeepsPrefix", "GSM", u"ok\f", false, "ok"}),
    CaseName<CEncodeCase>);
