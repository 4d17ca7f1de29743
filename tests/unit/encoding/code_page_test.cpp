#include <gtest/gtest.h>

#include "encoding/charset.h"
#include "platform/codepage.h"

struct CCodePageCase {
  const char* m_name;
  std::string m_charset;
  uint32_t m_codePage;
};

class CharsetCodePageTable : public testing::TestWithParam<CCodePageCase> {};

TEST_P(CharsetCodePageTable, FindsPage) {
  EXPECT_EQ(CharsetCodePage(GetParam().m_charset), GetParam().m_codePage);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CharsetCodePageTable,
    testing::Values(
        CCodePageCase{"Pccp437", "PCCP437", 437}, CCodePageCase{"Pccp866Lower", "pccp866", 866},
        CCodePageCase{"Iso8859Bare", "8859-1", 28591},
        CCodePageCase{"Iso8859NoDash", "ISO8859-5", 28595},
        CCodePageCase{"Iso8859Full", "ISO-8859-15", 28605},
        CCodePageCase{"Iso8859Lower", "iso-8859-2", 28592},
        CCodePageCase{"Windows1251", "windows-1251", 1251},
        CCodePageCase{"Windows1252UpperNoDash", "WINDOWS1252", 1252},
        CCodePageCase{"NumberInsideName", "x-PCCP850-y", 850},
        CCodePageCase{"Iso8859LetterIsOem", "8859-C", Platform::kOemCodePageId},
        CCodePageCase{"PcdnIsOem", "PCDN", Platform::kOemCodePageId},
        CCodePageCase{"EmptyIsOem", "", Platform::kOemCodePageId},
        CCodePageCase{"Utf8IsOem", "UTF-8", Platform::kOemCodePageId},
        CCodePageCase{"HighestPage", "windows-65535", 65535},
        CCodePageCase{"PastHighestPageIsOem", "windows-65536", Platform::kOemCodePageId},
        CCodePageCase{"HighestIsoPage", "8859-36945", 65535},
        CCodePageCase{"PastHighestIsoPageIsOem", "8859-36946", Platform::kOemCodePageId},
        CCodePageCase{"ThirtyDigitsIsOem", "PCCP" + std::string(30, '9'), Platform::kOemCodePageId},
        CCodePageCase{"WrapRoundIsOem", "PCCP4294967733", Platform::kOemCodePageId},
        CCodePageCase{"LeadingZerosKeepNumber", "PCCP" + std::string(30, '0') + "437", 437},
        CCodePageCase{"HugeNumberGivesWayToNextPattern", "windows-99999999999 8859-5", 28595}),
    [](const auto& info) { return std::string(info.param.m_name); });

// The OEM page depends on the machine, so these use text that every OEM page shows alike.
TEST(OemText, StopsAtFirstZero) {
  EXPECT_EQ(OemToWide(std::string_view("AB\0CD", 5)), u"AB");
  EXPECT_EQ(WideToOem(std::u16string(u"AB\0CD", 5)), "AB");
  EXPECT_EQ(OemToWide(std::string_view("\0AB", 3)), u"");
}

TEST(OemText, KeepsTextLongerThanHostFields) {
  const std::string longText(5000, 'x');
  EXPECT_EQ(OemToWide(longText), std::u16string(5000, u'x'));
  EXPECT_EQ(WideToOem(std::u16string(5000, u'x')), longText);
}

TEST(OemText, UnshowableCharacterBecomesDefaultCharacter) {
  const std::string oem = WideToOem(u"a\uFFFFb");
  ASSERT_EQ(oem.size(), 3u);
  EXPECT_EQ(oem.front(), 'a');
  EXPECT_EQ(oem.back(), 'b');
  EXPECT_NE(oem[1], '\0');
}

// Every OEM page the host runs with (437, 866, ...) gives each byte a character of its own, so
// every byte must come back; a page with holes, such as an ANSI page, would not.
TEST(OemText, EveryByteRoundTrips) {
  std::string everyByte;
  for (int byte = 1; byte < 256; ++byte) {
    everyByte.push_back(static_cast<char>(byte));
  }
  const WideString wide = OemToWide(everyByte);
  EXPECT_EQ(wide.size(), everyByte.size());
  EXPECT_EQ(WideToOem(wide), everyByte);
}
