#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "sms/pdu_encoder.h"

namespace {

CSMSMessage Submit(const std::string& address, const std::u16string& text, uint8_t dcs = 0) {
  CSMSMessage message(false);
  message.sca.clear();
  message.scaType = 128;
  message.address = address;
  message.wideText = text;
  message.dcs = dcs;
  return message;
}

struct CSemiOctetCase {
  const char* m_number;
  std::string m_octets;
};

const CSemiOctetCase kSemiOctetCases[] = {
    {"+447700900123", std::string("\x44\x77\x00\x09\x10\x32", 6)},
    {"12345", "\x21\x43\xF5"},
    {"7", "\xF7"},
    {"", ""},
    {"+", ""},
};

class SemiOctetsCase : public testing::TestWithParam<CSemiOctetCase> {};

TEST_P(SemiOctetsCase, SwapsDigitPairs) {
  EXPECT_EQ(SemiOctets(GetParam().m_number), GetParam().m_octets);
}

INSTANTIATE_TEST_SUITE_P(Encode, SemiOctetsCase, testing::ValuesIn(kSemiOctetCases));

struct CHeaderCase {
  const char* m_name;
  bool m_concatenated;
  uint16_t m_reference;
  std::string m_header;
};

const CHeaderCase kHeaderCases[] = {
    {"NotConcatenated", false, 0x7A, ""},
    {"EightBitReference", true, 0x7A, std::string("\x05\x00\x03\x7A\x03\x02", 6)},
    {"HighestEightBitReference", true, 255, std::string("\x05\x00\x03\xFF\x03\x02", 6)},
    {"SixteenBitFromTwoHundredFiftySix", true, 256, std::string("\x06\x08\x04\x01\x00\x03\x02", 7)},
    {"SixteenBitReference", true, 0xABCD, std::string("\x06\x08\x04\xAB\xCD\x03\x02", 7)},
};

class BuildHeaderCase : public testing::TestWithParam<CHeaderCase> {};

TEST_P(BuildHeaderCase, WritesConcatenationElement) {
  CSMSMessage message(false);
  message.concatenated = GetParam().m_concatenated;
  message.concatReference = GetParam().m_reference;
  message.partCount = 3;
  message.partNumber = 2;
  EXPECT_EQ(BuildHeader(message), GetParam().m_header);
}

INSTANTIATE_TEST_SUITE_P(Encode, BuildHeaderCase, testing::ValuesIn(kHeaderCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

TEST(Encode, HelloToInternationalNumber) {
  CSMSMessage message = Submit("+447700900123", u"Hello");
  EXPECT_EQ(Encode(message), "0001000C91447700091032000005C8329BFD06");
}

TEST(Encode, ServiceCentreAddressLeadsThePdu) {
  CSMSMessage message = Submit("+447700900123", u"Hi");
  message.sca = "+447785016005";
  message.scaType = 145;
  EXPECT_EQ(Encode(message),
            "0791447758100650"
            "0100"
            "0C91447700091032"
            "0000"
            "02C834");
}

TEST(Encode, EmptyDestinationKeepsItsType) {
  CSMSMessage message = Submit("", u"");
  EXPECT_EQ(Encode(message), "0001000091000000");
}

TEST(Encode, HeaderSetsIndicatorAndFillBit) {
  CSMSMessage message = Submit("+447700900123", u"Part one of two");
  message.messageReference = 7;
  message.concatenated = true;
  message.concatReference = 0x5A;
  message.partCount = 2;
  message.partNumber = 1;
  EXPECT_EQ(Encode(message),
            "0041070C914477000910320000160500035A0201A061391DF47697416F33887E7F03");
  EXPECT_EQ(message.firstOctet, 0x41);
}

TEST(Encode, NoHeaderClearsIndicator) {
  CSMSMessage message = Submit("+447700900123", u"Hi");
  message.firstOctet = 0x41;
  EXPECT_EQ(Encode(message),
            "0001000C914477000910320000"
            "02C834");
  EXPECT_EQ(message.firstOctet, 0x01);
}

TEST(Encode, UcsTwoUnitsHighOctetFirst) {
  CSMSMessage message = Submit("+79161234567", u"Привет", 0x08);
  message.messageReference = 5;
  EXPECT_EQ(Encode(message), "0001050B919761214365F700080C041F04400438043204350442");
}

// Only a relative period with its octet is kept; an absolute or enhanced one may be past.
TEST(Encode, ValidityOtherThanARelativePeriodIsCleared) {
  for (const auto& [firstOctet, octets] : {std::pair<uint8_t, std::string>{0x19, "\xA7"},
                                           {0x11, ""},
                                           {0x09, "\x01\xA7\x00\x00\x00\x00\x00"}}) {
    CSMSMessage message = Submit("+447700900123", u"Hi");
    message.firstOctet = firstOctet;
    message.validityOctets = octets;
    EXPECT_EQ(Encode(message),
              "0001000C914477000910320000"
              "02C834")
        << int{firstOctet};
    EXPECT_EQ(message.firstOctet, 0x01);
  }
  // Stored messages sent again: an absolute period, and enhanced ones (relative, in seconds,
  // and of a reserved format).
  for (const auto& [stored, sent] :
       {std::pair<std::string, std::string>{
            "0791447758100650192B0C9144770009103200005030219061148A0A55373DCD06D1D16537",
            "0791447758100650012B0C9144770009103200000A55373DCD06D1D16537"},
        {"0791447758100650092C0C91447700091032000002C8000000000005D17A7ABC06",
         "0791447758100650012C0C91447700091032000005D17A7ABC06"},
        {"0791447758100650092D0C91447700091032000043214365000000044FF7B80C",
         "0791447758100650012D0C914477000910320000044FF7B80C"},
        {"0791447758100650092E0C9144770009103200008001A70000000003453C1D",
         "0791447758100650012E0C91447700091032000003453C1D"}}) {
    CSMSMessage message(false);
    ASSERT_TRUE(message.Decode(stored));
    EXPECT_EQ(Encode(message), sent);
  }
}

struct CUnsendableCase {
  const char* m_name;
  CSMSMessage m_message;
};

CSMSMessage WithAddressType(CSMSMessage message, uint8_t type) {
  message.addressType = type;
  return message;
}

CSMSMessage WithServiceCentre(CSMSMessage message, const char* sca) {
  message.sca = sca;
  return message;
}

const CUnsendableCase kUnsendableCases[] = {
    {"CharacterOutsideDefaultAlphabet", Submit("+447700900123", u"Привет")},
    {"EightBitUnitAboveOctet", Submit("+447700900123", u"Ж", 0x04)},
    {"SeptetsBeyondOneMessage", Submit("+447700900123", std::u16string(161, u'a'))},
    {"EscapesBeyondOneMessage", Submit("+447700900123", std::u16string(81, u'€'))},
    {"UcsTwoBeyondOneMessage", Submit("+447700900123", std::u16string(71, u'Ж'), 0x08)},
    {"EightBitBeyondOneMessage", Submit("+447700900123", std::u16string(141, u'a'), 0x04)},
    {"DestinationOfTwentyOneDigits", Submit("+123456789012345678901", u"Hi")},
    {"ServiceCentreOfTwentyOneDigits",
     WithServiceCentre(Submit("+447700900123", u"Hi"), "123456789012345678901")},
    {"DestinationOfAServiceCode", Submit("*100#", u"Hi")},
    {"ServiceCentreWithASpace", WithServiceCentre(Submit("+447700900123", u"Hi"), "+44 77")},
    {"AlphanumericDestinationOutsideSeptets", WithAddressType(Submit("Caf\xC3\xA9", u"Hi"), 0xD0)},
    {"AlphanumericDestinationTooLong", WithAddressType(Submit("ZantelMobile", u"Hi"), 0xD0)},
};

class EncodeUnsendable : public testing::TestWithParam<CUnsendableCase> {};

TEST_P(EncodeUnsendable, GivesEmptyText) {
  CSMSMessage message = GetParam().m_message;
  EXPECT_EQ(Encode(message), "");
}

INSTANTIATE_TEST_SUITE_P(Encode, EncodeUnsendable, testing::ValuesIn(kUnsendableCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

TEST(Encode, FullMessagesStillFit) {
  CSMSMessage septets = Submit("+447700900123", std::u16string(160, u'a'));
  CSMSMessage escapes = Submit("+447700900123", std::u16string(80, u'€'));
  CSMSMessage ucs2 = Submit("+447700900123", std::u16string(70, u'Ж'), 0x08);
  CSMSMessage octets = Submit("+447700900123", std::u16string(140, u'a'), 0x04);
  EXPECT_NE(Encode(septets), "");
  EXPECT_NE(Encode(escapes), "");
  EXPECT_NE(Encode(ucs2), "");
  EXPECT_NE(Encode(octets), "");
}

// Decoding then encoding a SUBMIT gives the same line whenever the record holds every field
// that the line has.
const char* const kRoundTripPdus[] = {
    "0011000B916407281553F80000AA0AE8329BFD4697D9EC37",
    "0001000C91447700091032000005C8329BFD06",
    "0001000C91447700091032000000",
    "0001000091000000",
    "0791447758100650112A0C914477000910320000A707D37219947FD701",
    "0001050B919761214365F700080C041F04400438043204350442",
    "0001060B817007900021F30004030102FE",
    "0041070C914477000910320000160500035A0201A061391DF47697416F33887E7F03",
    "0041080C9144770009103200080B060804012C0302041620AC",
    "0001090ED0DAB09B5E66C764000002C834",
    "0041000C9144770009103200000F0500037B0202C2E170381C0E8701",
};

class EncodeRoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(EncodeRoundTrip, GivesSamePduBack) {
  CSMSMessage message(false);
  ASSERT_TRUE(message.Decode(GetParam()));
  EXPECT_EQ(Encode(message), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Encode, EncodeRoundTrip, testing::ValuesIn(kRoundTripPdus));

}  // namespace
