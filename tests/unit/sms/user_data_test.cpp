#include <gtest/gtest.h>

#include <string>

#include "sms/sms_message.h"

namespace {

// A DELIVER from +447700900123 at 2005-03-12 09:16:41 UTC with the given first octet, DCS and
// user data (length octet first), after an empty service-centre address.
std::string Deliver(const char* firstOctet, const char* dcs, const char* userData) {
  return std::string("00") + firstOctet + "0C91447700091032" + "00" + dcs + "50302190611400" +
         userData;
}

struct CTextCase {
  const char* m_name;
  std::string m_hex;
  std::u16string m_text;
};

const CTextCase kTextCases[] = {
    {"DefaultAlphabet", Deliver("04", "00", "0CC8F71D14969741F977FD07"), u"How are you?"},
    {"DefaultAlphabetEscapedEuro", Deliver("04", "00", "039B7210"), u"€A"},
    {"UcsTwoEmpty", Deliver("04", "08", "00"), u""},
    {"UcsTwoLowOctetUnsigned", Deliver("04", "08", "0400E90416"), u"\u00E9\u0416"},
    {"UcsTwoOddOctetIgnored", Deliver("04", "08", "03004100"), u"A"},
    {"UcsTwoSingleOctetGivesNothing", Deliver("04", "08", "0141"), u""},
    {"EightBitClassGroup", Deliver("04", "F4", "05007F80E9FF"),
     std::u16string(u"\u0000\u007F\u0080\u00E9\u00FF", 5)},
    {"EightBitCompressionIgnored", Deliver("04", "24", "0241C3"), u"A\u00C3"},
    {"UnknownShowsHexPairs", Deliver("04", "48", "020ABC"), u"0A BC "},
    {"ClassGroupDefaultAlphabet", Deliver("04", "F1", "02C834"), u"Hi"},
    {"MessageWaitingGroupDefaultAlphabet", Deliver("04", "C8", "02C834"), u"Hi"},
    {"UcsTwoGroup", Deliver("04", "E0", "020041"), u"A"},
    {"SevenBitWithHeaderFillBit", Deliver("44", "00", "13050003CC0202EE6F399BCC026DCAA05A08"),
     u"world, € 5!"},
    {"SevenBitWithSixOctetHeaderNoFill", Deliver("44", "00", "1006080401000201D0B09C0E7ABBCB"),
     u"Part one"},
    {"UcsTwoWithHeader", Deliver("44", "08", "0C0500037A0201004800E90021"), u"H\u00E9!"},
    {"EightBitWithHeader", Deliver("44", "04", "080500037A02014142"), u"AB"},
    {"UnknownWithHeaderShowsOnlyData", Deliver("44", "4C", "080500037A02014142"), u"41 42 "},
};

class DecodeUserData : public testing::TestWithParam<CTextCase> {};

TEST_P(DecodeUserData, GivesText) {
  const CTextCase& c = GetParam();
  CSMSMessage message(true);
  ASSERT_TRUE(message.Decode(c.m_hex));
  EXPECT_EQ(message.wideText, c.m_text);
  EXPECT_EQ(message.text, WideToOem(c.m_text));
}

INSTANTIATE_TEST_SUITE_P(Pdu, DecodeUserData, testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

struct CHeaderCase {
  const char* m_name;
  std::string m_hex;
  bool m_concatenated;
  uint16_t m_reference;
  bool m_wideReference;
  uint8_t m_count;
  uint8_t m_number;
  std::string m_header;
};

const CHeaderCase kHeaderCases[] = {
    {"EightBitReference", Deliver("44", "08", "0C0500037A0201004800E90021"), true, 0x7A, false, 2,
     1, std::string("\x00\x03\x7A\x02\x01", 5)},
    {"SixteenBitReference", Deliver("44", "00", "1006080401000201D0B09C0E7ABBCB"), true, 256, true,
     2, 1, std::string("\x08\x04\x01\x00\x02\x01", 6)},
    {"OtherElementSkipped",
     Deliver("44", "04",
             "0C09010205000003"
             "2A03034142"),
     true, 0x2A, false, 3, 3, std::string("\x01\x02\x05\x00\x00\x03\x2A\x03\x03", 9)},
    {"NoConcatenationElement", Deliver("44", "04", "050201004142"), false, 0, false, 0, 0,
     std::string("\x01\x00", 2)},
    {"WrongLengthEndsWalk", Deliver("44", "04", "080400021122414243"), false, 0, false, 0, 0,
     std::string("\x00\x02\x11\x22", 4)},
    {"EarlierElementKeptWhenLaterIsWrong",
     Deliver("44", "04",
             "0D0A00030102020803112233"
             "4142"),
     true, 1, false, 2, 2, std::string("\x00\x03\x01\x02\x02\x08\x03\x11\x22\x33", 10)},
    {"ElementLengthBeyondHeader", Deliver("44", "04", "070400FF01024142"), false, 0, false, 0, 0,
     std::string("\x00\xFF\x01\x02", 4)},
    {"LoneElementIdentifier", Deliver("44", "04", "03010041"), false, 0, false, 0, 0,
     std::string(1, '\0')},
};

class DecodeHeader : public testing::TestWithParam<CHeaderCase> {};

TEST_P(DecodeHeader, ReadsConcatenation) {
  const CHeaderCase& c = GetParam();
  CSMSMessage message(true);
  ASSERT_TRUE(message.Decode(c.m_hex));
  EXPECT_EQ(message.concatenated, c.m_concatenated);
  EXPECT_EQ(message.concatReference, c.m_reference);
  EXPECT_EQ(message.concat16Bit, c.m_wideReference);
  EXPECT_EQ(message.partCount, c.m_count);
  EXPECT_EQ(message.partNumber, c.m_number);
  EXPECT_EQ(message.header, c.m_header);
}

INSTANTIATE_TEST_SUITE_P(Pdu, DecodeHeader, testing::ValuesIn(kHeaderCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

TEST(DecodeUserData, ConcatenatedUcsTwoPartHasNoExtraCharacters) {
  for (int characters = 0; characters <= 5; ++characters) {
    std::string data;
    for (int index = 0; index < characters; ++index) {
      data += "0416";
    }
    char length[3];
    std::snprintf(length, sizeof length, "%02X", 6 + 2 * characters);
    CSMSMessage message(true);
    ASSERT_TRUE(
        message.Decode(Deliver("44", "08", (std::string(length) + "0500037A0201" + data).c_str())));
    EXPECT_EQ(message.wideText, std::u16string(static_cast<size_t>(characters), u'\u0416'))
        << characters;
  }
}

TEST(DecodeUserData, HeaderIndicatorClearReadsHeaderAsText) {
  CSMSMessage message(true);
  ASSERT_TRUE(message.Decode(Deliver("04", "04", "020500")));
  EXPECT_TRUE(message.header.empty());
  EXPECT_FALSE(message.concatenated);
  EXPECT_EQ(message.wideText, std::u16string(u"\u0005\u0000", 2));
}

}  // namespace
