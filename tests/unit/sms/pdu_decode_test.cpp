#include <gtest/gtest.h>

#include <string>

#include "settings/settings.h"
#include "sms/sms_message.h"

namespace {

constexpr bool kIncoming = true;
constexpr bool kOutgoing = false;

struct CAddressCase {
  const char* m_name;
  bool m_fromServiceCentre;
  const char* m_hex;
  const char* m_sca;
  uint8_t m_scaType;
  std::string m_address;
  uint8_t m_addressType;
};

// An empty service-centre address leaves its type as constructed: 128 while DefaultSCA is empty.
const CAddressCase kAddressCases[] = {
    {"FillerNibbleDropped", kIncoming,
     "0791447758100650040B914477000910F20000503021906114400CC8F71D14969741F977FD07",
     "+447785016005", 0x91, "+44770090012", 0x91},
    {"EmptyServiceCentre", kIncoming, "00040C9144770009103200005030219061140002C834", "", 128,
     "+447700900123", 0x91},
    {"NationalTypeHasNoPlus", kIncoming,
     "07917283010010F5040BC87238880900F10000993092516195800AE8329BFD4697D9EC37", "+27381000015",
     0x91, "27838890001", 0xC8},
    {"AlphanumericEightCharacters", kIncoming,
     "0791447758100650040ED0DAB09B5E66C76400005030219061140009C337B90C8AC96634", "+447785016005",
     0x91, "Zantel12", 0xD0},
    {"AlphanumericElevenCharacters", kIncoming,
     "07914477581006500414D0DAB09B5E6637DFE2341B0000503021906114000AD4371C548783DCEF3B",
     "+447785016005", 0x91, "ZantelMobil", 0xD0},
    {"SubmitDestination", kOutgoing, "0001000C91447700091032000005C8329BFD06", "", 128,
     "+447700900123", 0x91},
    {"EmptyMessageToLongNumber", kOutgoing, "0001000C91447700091032000000", "", 128,
     "+447700900123", 0x91},
    {"EmptyDestinationKeepsType", kOutgoing, "0001000091000000", "", 128, "", 0x91},
    {"HexNibblesBecomePunctuation", kOutgoing, "0001000681213A4B000000", "", 128, "12:3;4", 0x81},
    // The length counts digits: with an odd count the last high nibble is no digit, F or not.
    // 0B: 11 digits in 53 10 10 10 10 10, the twelfth nibble a 1.
    {"NibbleAfterCountedDigitsDropped", kIncoming, "00040B9153101010101000005030219061140002C834",
     "", 128, "+35010101010", 0x91},
    // 05: 5 digits in 21 43 95, the sixth nibble a 9.
    {"DestinationNibbleAfterCountDropped", kOutgoing, "0001000581214395000000", "", 128, "12345",
     0x81},
    // 03: 3 digits in 21 43, the fourth nibble a 4.
    {"RecipientNibbleAfterCountDropped", kIncoming, "00022A039121435030219061148A5030219071148A00",
     "", 128, "+123", 0x91},
    // 04: 4 digits in 21 F3; a filler inside the count is still no digit.
    {"FillerInsideCountDropped", kOutgoing, "000100048121F3000000", "", 128, "123", 0x81},
    {"StatusReportRecipient", kIncoming,
     "0791447758100650022A0C914477000910325030219061148A5030219071148A41", "+447785016005", 0x91,
     "+447700900123", 0x91},
};

class DecodeAddress : public testing::TestWithParam<CAddressCase> {};

TEST_P(DecodeAddress, ReadsBothAddresses) {
  const CAddressCase& c = GetParam();
  CSMSMessage message(c.m_fromServiceCentre);
  ASSERT_TRUE(message.Decode(c.m_hex));
  EXPECT_EQ(message.sca, c.m_sca);
  EXPECT_EQ(message.scaType, c.m_scaType);
  EXPECT_EQ(message.address, c.m_address);
  EXPECT_EQ(message.addressType, c.m_addressType);
}

INSTANTIATE_TEST_SUITE_P(Pdu, DecodeAddress, testing::ValuesIn(kAddressCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

struct CValidityCase {
  const char* m_name;
  const char* m_hex;
  int32_t m_seconds;
  bool m_singleShot;
  std::string m_octets;
};

// Every SUBMIT here goes to +447700900123 with "Hi" in the default alphabet after the period.
const CValidityCase kValidityCases[] = {
    {"NoneKeepsConstructedValue", "0001000C91447700091032000002C834", 0, false, ""},
    {"RelativeOneDay", "0011000C914477000910320000A702C834", 86'400, false, "\xA7"},
    {"RelativeFiveMinutes",
     "0011000C91447700091032000000"
     "02C834",
     300, false, std::string(1, '\0')},
    {"AbsoluteIsZero", "0019000C9144770009103200005030219061148A02C834", 0, false,
     "\x50\x30\x21\x90\x61\x14\x8A"},
    {"EnhancedNone", "0009000C9144770009103200000000000000000002C834", -1, false,
     std::string(7, '\0')},
    {"EnhancedRelative",
     "0009000C914477000910320000"
     "01A70000000000"
     "02C834",
     86'400, false, std::string("\x01\xA7\0\0\0\0\0", 7)},
    {"EnhancedTwoHundredSeconds", "0009000C91447700091032000002C8000000000002C834", 200, false,
     std::string("\x02\xC8\0\0\0\0\0", 7)},
    {"EnhancedHoursMinutesSecondsSingleShot", "0009000C9144770009103200004321436500000002C834",
     45'296, true, std::string("\x43\x21\x43\x65\0\0\0", 7)},
    {"EnhancedBehindExtensionOctet",
     "0009000C914477000910320000"
     "8001A700000000"
     "02C834",
     86'400, false, std::string("\x80\x01\xA7\0\0\0\0", 7)},
    {"EnhancedHoursTooLateIsNone", "0009000C9144770009103200008080808003000002C834", -1, false,
     std::string("\x80\x80\x80\x80\x03\0\0", 7)},
    {"EnhancedAllExtendedReadsZerosBeyond", "0009000C914477000910320000828282828282C202C834", 0,
     true, "\x82\x82\x82\x82\x82\x82\xC2"},
    {"EnhancedReservedFormatUnchanged", "0009000C9144770009103200000500000000000002C834", 0, false,
     std::string("\x05\0\0\0\0\0\0", 7)},
};

class DecodeValidity : public testing::TestWithParam<CValidityCase> {};

TEST_P(DecodeValidity, ReadsPeriodAndMovesOverIt) {
  const CValidityCase& c = GetParam();
  CSMSMessage message(kOutgoing);
  ASSERT_TRUE(message.Decode(c.m_hex));
  EXPECT_EQ(message.validitySeconds, c.m_seconds);
  EXPECT_EQ(message.singleShot, c.m_singleShot);
  EXPECT_EQ(message.validityOctets, c.m_octets);
  EXPECT_EQ(message.wideText, u"Hi");
}

INSTANTIATE_TEST_SUITE_P(Pdu, DecodeValidity, testing::ValuesIn(kValidityCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

TEST(DecodeValidity, AbsoluteGivesInstantInUtc) {
  CSMSMessage message(kOutgoing);
  ASSERT_TRUE(message.Decode("0019000C9144770009103200005030219061148A02C834"));
  EXPECT_EQ(message.validUntil, DecodeTimestamp("\x50\x30\x21\x90\x61\x14\x8A"));
  EXPECT_NE(message.validUntil, 0u);
}

struct CReportCase {
  const char* m_name;
  bool m_fromServiceCentre;
  const char* m_hex;
  const char* m_label;
  const char* m_text;
  uint8_t m_pid;
};

const CReportCase kReportCases[] = {
    {"DeliveryFailure", kIncoming,
     "0791447758100650022A0C914477000910325030219061148A5030219071148A41",
     "Delivery failure: ", "Msgs waiting in SC: Yes\nResult of: Submit\nResult: 65", 0x41},
    {"DeliveredAfterCommand", kIncoming,
     "0791447758100650262B0C91447700091032503021906114405030219071144000",
     "Delivered to: ", "Msgs waiting in SC: No\nResult of: Command\nResult: 0", 0},
    {"DeliveredUncertain", kIncoming, "00022A0C9144770009103250302190611400503021907114001F",
     "Delivered(?) to: ", "Msgs waiting in SC: Yes\nResult of: Submit\nResult: 31", 31},
    {"NotDelivered", kIncoming, "00022A0C91447700091032503021906114005030219071140020",
     "Not delivered to: ", "Msgs waiting in SC: Yes\nResult of: Submit\nResult: 32", 32},
    {"ReservedStatus", kIncoming, "00022A0C91447700091032503021906114005030219071140080",
     "Report: ", "Msgs waiting in SC: Yes\nResult of: Submit\nResult: 128", 128},
    {"DeliverReportKeptUndecoded", kOutgoing, "00000000", "Deliver report: ", "00000000", 0},
    {"SubmitReportKeptUndecoded", kIncoming, "0791447758100650010050302190611400",
     "Submit report: ", "0791447758100650010050302190611400", 0},
    {"CommandKeptUndecoded", kOutgoing, "00022A00000C9144770009103200",
     "Command: ", "00022A00000C9144770009103200", 0},
};

class DecodeReport : public testing::TestWithParam<CReportCase> {};

TEST_P(DecodeReport, ComposesLabelAndText) {
  const CReportCase& c = GetParam();
  CSMSMessage message(c.m_fromServiceCentre);
  ASSERT_TRUE(message.Decode(c.m_hex));
  EXPECT_EQ(message.label, c.m_label);
  EXPECT_EQ(message.text, c.m_text);
  EXPECT_EQ(message.wideText, OemToWide(c.m_text));
  EXPECT_EQ(message.pid, c.m_pid);
}

INSTANTIATE_TEST_SUITE_P(Pdu, DecodeReport, testing::ValuesIn(kReportCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

TEST(DecodeReport, StatusReportKeepsItsTimestampAndReference) {
  CSMSMessage message(kIncoming);
  ASSERT_TRUE(message.Decode("0791447758100650022A0C914477000910325030219061148A5030219071148A41"));
  EXPECT_EQ(message.messageReference, 0x2A);
  EXPECT_EQ(message.timestampOctets, "\x50\x30\x21\x90\x61\x14\x8A");
  EXPECT_EQ(message.timestamp, DecodeTimestamp(message.timestampOctets));
}

TEST(DecodeDeliver, ReadsProtocolFieldsAndTimestamp) {
  CSMSMessage message(kIncoming);
  ASSERT_TRUE(
      message.Decode("07917283010010F5040BC87238880900F10000993092516195800AE8329BFD4697D9EC37"));
  EXPECT_EQ(message.firstOctet, 0x04);
  EXPECT_EQ(message.pid, 0);
  EXPECT_EQ(message.dcs, 0);
  EXPECT_EQ(message.timestampOctets, "\x99\x30\x92\x51\x61\x95\x80");
  Platform::FileTime expected = 0;
  ASSERT_TRUE(Platform::SystemTimeToFileTime({1999, 3, 0, 29, 13, 16, 59, 0}, expected));
  EXPECT_EQ(message.timestamp, expected);
  EXPECT_EQ(message.wideText, u"hellohello");
  EXPECT_EQ(message.text, "hellohello");
  EXPECT_FALSE(message.concatenated);
}

TEST(DecodeSubmit, HasNoTimestamp) {
  CSMSMessage message(kOutgoing);
  ASSERT_TRUE(message.Decode("0011000B916407281553F80000AA0AE8329BFD4697D9EC37"));
  EXPECT_EQ(message.timestamp, 0u);
  EXPECT_TRUE(message.timestampOctets.empty());
  EXPECT_EQ(message.address, "+46708251358");
  EXPECT_EQ(message.validitySeconds, 4 * 86'400);
  EXPECT_EQ(message.wideText, u"hellohello");
}

TEST(DecodeDirection, SamePduReadByDirection) {
  // MTI 0 is a DELIVER coming in but a DELIVER-REPORT going out.
  const char* hex = "00040C9144770009103200005030219061140002C834";
  CSMSMessage incoming(kIncoming);
  CSMSMessage outgoing(kOutgoing);
  ASSERT_TRUE(incoming.Decode(hex));
  ASSERT_TRUE(outgoing.Decode(hex));
  EXPECT_EQ(incoming.wideText, u"Hi");
  EXPECT_EQ(outgoing.label, "Deliver report: ");
  EXPECT_EQ(outgoing.pdu, hex);
}

TEST(Construction, ReceivedMessageStartsAsDeliver) {
  Settings().DefaultSCA = "+447785016005";
  const CSMSMessage message(kIncoming);
  Settings().DefaultSCA.clear();
  EXPECT_EQ(message.firstOctet, 0x00);
  EXPECT_EQ(message.sca, "+447785016005");
  EXPECT_EQ(message.scaType, 145);
  EXPECT_EQ(message.addressType, 145);
  EXPECT_EQ(message.validitySeconds, 0);
  EXPECT_FALSE(message.concatenated);
}

TEST(Construction, ComposedMessageStartsAsSubmit) {
  Settings().DefaultSCA = "0123";
  const CSMSMessage national(kOutgoing);
  Settings().DefaultSCA.clear();
  const CSMSMessage none(kOutgoing);
  EXPECT_EQ(national.firstOctet, 0x01);
  EXPECT_EQ(national.scaType, 129);
  EXPECT_EQ(none.sca, "");
  EXPECT_EQ(none.scaType, 128);
  EXPECT_EQ(none.dcs, 0);
}

}  // namespace
