#include <gtest/gtest.h>

#include <string>

#include "sms/sms_message.h"

namespace {

struct CFailingCase {
  const char* m_name;
  bool m_fromServiceCentre;
  const char* m_hex;
};

const CFailingCase kFailingCases[] = {
    {"Empty", true, ""},
    {"OnlyOddDigit", true, "0"},
    {"NotHexadecimal", true, "07914477581006500Z"},
    {"SignInsideHexPair", true, "00+4"},
    {"SpaceInsideHexPair", true, "00 4"},
    {"MessageTypeThree", true, "0003"},
    {"MessageTypeThreeOutgoing", false, "0003"},
    {"NoFirstOctet", true, "00"},
    {"ServiceCentreLengthBeyondLine", true, "FF91447758"},
    {"ServiceCentreValueCutShort", true, "07914477581006"},
    {"OriginatorLengthBeyondLine", true, "0004409144"},
    {"OriginatorTypeMissing", true, "00040C"},
    {"EmptyOriginatorTypeMissing", true, "000400"},
    {"AlphanumericOriginatorCutShort", true, "00040ED0DAB09B5E66"},
    {"ProtocolIdMissing", true, "00040C91447700091032"},
    {"CodingSchemeMissing", true, "00040C9144770009103200"},
    {"TimestampCutShort", true, "00040C91447700091032000050302190"},
    {"DeliverUserDataLengthMissing", true, "00040C91447700091032000050302190611400"},
    {"HeaderLengthMissing", true, "00440C9144770009103200005030219061140010"},
    {"HeaderLongerThanRest", true, "00440C91447700091032000050302190611400100A0500"},
    {"SevenBitHeaderLongerThanRest", true, "00440C9144770009103200005030219061140010FF"},
    {"MessageReferenceMissing", false, "0001"},
    {"DestinationLengthBeyondLine", false, "000100149144"},
    {"SubmitUserDataLengthMissing", false, "0001000C914477000910320000"},
    {"RelativeValidityMissing", false, "0011000C914477000910320000"},
    {"AbsoluteValidityCutShort", false, "0019000C9144770009103200005030219061"},
    {"EnhancedValidityCutShort", false, "0009000C9144770009103200000200"},
    {"StatusReportReferenceMissing", true, "0002"},
    {"StatusReportDischargeTimeCutShort", true, "00022A0C914477000910325030219061148A503021907114"},
    {"StatusReportStatusMissing", true, "00022A0C914477000910325030219061148A5030219071148A"},
};

class DecodeMalformed : public testing::TestWithParam<CFailingCase> {};

TEST_P(DecodeMalformed, Fails) {
  CSMSMessage message(GetParam().m_fromServiceCentre);
  EXPECT_FALSE(message.Decode(GetParam().m_hex));
}

INSTANTIATE_TEST_SUITE_P(Pdu, DecodeMalformed, testing::ValuesIn(kFailingCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

struct CPartialCase {
  const char* m_name;
  const char* m_hex;
  std::u16string m_text;
};

// User data shorter than its length decodes as far as it goes, with nothing invented.
const CPartialCase kPartialCases[] = {
    {"SevenBitLengthBeyondData",
     "00040C914477000910320000503021906114"
     "00"
     "FFC834",
     u"Hi"},
    {"UcsTwoLengthBeyondData",
     "00040C914477000910320008503021906114"
     "00"
     "C800410042",
     u"AB"},
    {"EightBitLengthBeyondData",
     "00040C914477000910320004503021906114"
     "00"
     "804142",
     u"AB"},
    {"EightBitLengthShorterThanHeader",
     "00440C914477000910320004503021906114"
     "00"
     "020500037A02014142",
     u""},
    {"UcsTwoLengthShorterThanHeader",
     "00440C914477000910320008503021906114"
     "00"
     "000500037A0201",
     u""},
    {"SevenBitLengthShorterThanHeader",
     "00440C914477000910320000503021906114"
     "00"
     "030500037A0201C834",
     u""},
    {"UnknownLengthBeyondData",
     "00040C914477000910320040503021906114"
     "00"
     "FF41",
     u"41 "},
    {"OddLastDigitIgnored",
     "00040C914477000910320000503021906114"
     "00"
     "02C8344",
     u"Hi"},
    {"LowerCaseDigits",
     "00040c914477000910320000503021906114"
     "00"
     "02c834",
     u"Hi"},
};

class DecodePartial : public testing::TestWithParam<CPartialCase> {};

TEST_P(DecodePartial, DecodesWhatIsThere) {
  CSMSMessage message(true);
  ASSERT_TRUE(message.Decode(GetParam().m_hex));
  EXPECT_EQ(message.wideText, GetParam().m_text);
}

INSTANTIATE_TEST_SUITE_P(Pdu, DecodePartial, testing::ValuesIn(kPartialCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

struct CPrefixCase {
  const char* m_name;
  bool m_fromServiceCentre;
  std::string m_hex;
  // Octets up to the last one decoding needs (the user data length or the status).
  size_t m_fixedOctets;
};

const CPrefixCase kPrefixCases[] = {
    {"Deliver", true,
     "0791447758100650040B914477000910F20000503021906114400CC8F71D14969741F977FD07", 27},
    {"SubmitEnhancedValidity", false,
     "0791447758100650092C0C91447700091032000002C8000000000005D17A7ABC06", 28},
    {"SubmitRelativeValidity", false, "0011000B916407281553F80000AA0AE8329BFD4697D9EC37", 15},
    {"StatusReport", true, "0791447758100650022A0C914477000910325030219061148A5030219071148A41",
     33},
};

class DecodeTruncated : public testing::TestWithParam<CPrefixCase> {};

TEST_P(DecodeTruncated, FailsWhileFieldsAreMissing) {
  const CPrefixCase& c = GetParam();
  for (size_t octets = 0; octets < c.m_fixedOctets; ++octets) {
    CSMSMessage message(c.m_fromServiceCentre);
    EXPECT_FALSE(message.Decode(c.m_hex.substr(0, octets * 2))) << octets << " octets";
  }
  CSMSMessage whole(c.m_fromServiceCentre);
  EXPECT_TRUE(whole.Decode(c.m_hex));
}

INSTANTIATE_TEST_SUITE_P(Pdu, DecodeTruncated, testing::ValuesIn(kPrefixCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

}  // namespace
