#include <gtest/gtest.h>

#include <string>

#include "sms/sms_message.h"

namespace {

struct CTimestampCase {
  const char* m_name;
  std::string m_octets;
  Platform::SystemTime m_utc;
};

// SystemTime fields: year, month, day of week (not compared), day, hour, minute, second, ms.
const CTimestampCase kTimestampCases[] = {
    {"ZoneWestOfGreenwich", "\x50\x30\x21\x90\x61\x14\x8A", {2005, 3, 0, 12, 16, 16, 41, 0}},
    {"ZoneEastOfGreenwich", "\x99\x30\x92\x51\x61\x95\x80", {1999, 3, 0, 29, 13, 16, 59, 0}},
    {"QuarterHourZone",
     std::string("\x01\x10\x10\x21\x00\x00\x32", 7),
     {2010, 1, 0, 1, 6, 15, 0, 0}},
    {"ZoneCrossesYear",
     std::string("\x50\x10\x10\x00\x00\x00\x40", 7),
     {2004, 12, 0, 31, 23, 0, 0, 0}},
    {"YearSeventyNineIsNextCentury",
     std::string("\x97\x10\x10\x00\x00\x00\x00", 7),
     {2079, 1, 0, 1, 0, 0, 0, 0}},
    {"YearEightyIsLastCentury",
     std::string("\x08\x10\x10\x00\x00\x00\x00", 7),
     {1980, 1, 0, 1, 0, 0, 0, 0}},
    {"MissingZoneIsGreenwich",
     std::string("\x50\x30\x21\x90\x61\x14", 6),
     {2005, 3, 0, 12, 9, 16, 41, 0}},
};

class DecodeTimestampCase : public testing::TestWithParam<CTimestampCase> {};

TEST_P(DecodeTimestampCase, GivesInstantInUtc) {
  const CTimestampCase& c = GetParam();
  Platform::FileTime expected = 0;
  ASSERT_TRUE(Platform::SystemTimeToFileTime(c.m_utc, expected));
  EXPECT_EQ(DecodeTimestamp(c.m_octets), expected);
}

INSTANTIATE_TEST_SUITE_P(Timestamp, DecodeTimestampCase, testing::ValuesIn(kTimestampCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

struct CNoTimeCase {
  const char* m_name;
  std::string m_octets;
};

const CNoTimeCase kNoTimeCases[] = {
    {"MonthThirteen", std::string("\x50\x31\x21\x90\x61\x14\x00", 7)},
    {"FebruaryThirtieth", std::string("\x50\x20\x03\x00\x00\x00\x00", 7)},
    {"HourTwentyFour", std::string("\x50\x30\x21\x42\x00\x00\x00", 7)},
    {"NibblesAboveNine", std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7)},
    {"Empty", ""},
};

class DecodeTimestampOfNoDate : public testing::TestWithParam<CNoTimeCase> {};

TEST_P(DecodeTimestampOfNoDate, GivesZero) { EXPECT_EQ(DecodeTimestamp(GetParam().m_octets), 0u); }

INSTANTIATE_TEST_SUITE_P(Timestamp, DecodeTimestampOfNoDate, testing::ValuesIn(kNoTimeCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

struct CFormatCase {
  const char* m_name;
  std::string m_octets;
  const char* m_text;
};

const CFormatCase kFormatCases[] = {
    {"WholeHoursWest", "\x50\x30\x21\x90\x61\x14\x8A", "12.03.05 09:16:41 GMT -7.00"},
    {"QuartersEast", std::string("\x01\x10\x10\x21\x00\x00\x32", 7), "01.01.10 12:00:00 GMT +5.45"},
    {"ThreeQuartersWest", std::string("\x01\x10\x10\x21\x00\x00\x38", 7),
     "01.01.10 12:00:00 GMT -0.45"},
    {"WholeHoursEast", std::string("\x01\x10\x10\x21\x00\x00\x21", 7),
     "01.01.10 12:00:00 GMT +3.00"},
    {"Greenwich", std::string("\x01\x10\x10\x21\x00\x00\x00", 7), "01.01.10 12:00:00 GMT +0.00"},
};

class FormatTimestampCase : public testing::TestWithParam<CFormatCase> {};

TEST_P(FormatTimestampCase, ShowsLocalReadingAndZone) {
  EXPECT_EQ(FormatTimestamp(GetParam().m_octets), GetParam().m_text);
}

INSTANTIATE_TEST_SUITE_P(Timestamp, FormatTimestampCase, testing::ValuesIn(kFormatCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

struct CRelativeCase {
  uint8_t m_octet;
  int32_t m_seconds;
};

const CRelativeCase kRelativeCases[] = {
    {0, 300},          {143, 43'200},      {144, 45'000},      {167, 86'400},
    {168, 2 * 86'400}, {196, 30 * 86'400}, {197, 5 * 604'800}, {255, 63 * 604'800},
};

class RelativeValidityCase : public testing::TestWithParam<CRelativeCase> {};

TEST_P(RelativeValidityCase, GivesSeconds) {
  EXPECT_EQ(RelativeValidity(GetParam().m_octet), GetParam().m_seconds);
}

INSTANTIATE_TEST_SUITE_P(Validity, RelativeValidityCase, testing::ValuesIn(kRelativeCases),
                         [](const auto& info) {
                           return "Octet" + std::to_string(info.param.m_octet);
                         });

struct CAlphabetCase {
  uint8_t m_dcs;
  SmsAlphabet m_alphabet;
};

const CAlphabetCase kAlphabetCases[] = {
    {0x00, SmsAlphabet::kDefault}, {0x04, SmsAlphabet::kEightBit}, {0x08, SmsAlphabet::kUcs2},
    {0x0C, SmsAlphabet::kUnknown}, {0x11, SmsAlphabet::kDefault},  {0x24, SmsAlphabet::kEightBit},
    {0x3A, SmsAlphabet::kUcs2},    {0x40, SmsAlphabet::kUnknown},  {0x48, SmsAlphabet::kUnknown},
    {0xB4, SmsAlphabet::kUnknown}, {0xC8, SmsAlphabet::kDefault},  {0xD0, SmsAlphabet::kDefault},
    {0xE0, SmsAlphabet::kUcs2},    {0xF0, SmsAlphabet::kDefault},  {0xF4, SmsAlphabet::kEightBit},
    {0xFB, SmsAlphabet::kDefault},
};

class AlphabetCase : public testing::TestWithParam<CAlphabetCase> {};

TEST_P(AlphabetCase, FollowsCodingGroup) {
  CSMSMessage message(true);
  message.dcs = GetParam().m_dcs;
  EXPECT_EQ(message.Alphabet(), GetParam().m_alphabet);
}

INSTANTIATE_TEST_SUITE_P(Dcs, AlphabetCase, testing::ValuesIn(kAlphabetCases),
                         [](const auto& info) {
                           char name[8];
                           std::snprintf(name, sizeof name, "Dcs%02X", info.param.m_dcs);
                           return std::string(name);
                         });

}  // namespace
