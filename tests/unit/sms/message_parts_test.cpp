#include <gtest/gtest.h>

#include <algorithm>

#include <set>
#include <string>
#include <vector>

#include "sms/message_parts.h"

namespace {

std::u16string Repeat(const std::u16string& piece, size_t times) {
  std::u16string text;
  for (size_t index = 0; index < times; ++index) {
    text += piece;
  }
  return text;
}

struct CSplitCase {
  const char* m_name;
  std::u16string m_text;
  SmsAlphabet m_alphabet;
  uint16_t m_reference;
  size_t m_length;
  size_t m_singleLimit;
  std::vector<size_t> m_partUnits;
};

const CSplitCase kSplitCases[] = {
    {"EmptyIsOnePart", u"", SmsAlphabet::kDefault, 1, 0, 160, {0}},
    {"FullSingleMessage", Repeat(u"a", 160), SmsAlphabet::kDefault, 1, 160, 160, {160}},
    {"OneSeptetTooMany", Repeat(u"a", 161), SmsAlphabet::kDefault, 1, 161, 160, {153, 8}},
    {"ThreeParts", Repeat(u"a", 307), SmsAlphabet::kDefault, 255, 307, 160, {153, 153, 1}},
    {"EscapeCountsTwoAndFits", Repeat(u"a", 158) + u"€", SmsAlphabet::kDefault, 1, 160, 160, {159}},
    {"EscapeCountsTwoAndOverflows",
     Repeat(u"a", 159) + u"€",
     SmsAlphabet::kDefault,
     1,
     161,
     160,
     {153, 7}},
    {"EscapePairMovesToNextPart",
     Repeat(u"a", 152) + u"€" + Repeat(u"a", 10),
     SmsAlphabet::kDefault,
     1,
     164,
     160,
     {152, 11}},
    {"UcsTwoFullSingleMessage", Repeat(u"Ж", 70), SmsAlphabet::kUcs2, 1, 70, 70, {70}},
    {"UcsTwoOneTooMany", Repeat(u"Ж", 71), SmsAlphabet::kUcs2, 1, 71, 70, {67, 4}},
    {"SurrogatePairMovesToNextPart",
     Repeat(u"Ж", 66) + u"\U0001F600" + Repeat(u"Ж", 5),
     SmsAlphabet::kUcs2,
     1,
     73,
     70,
     {66, 7}},
    {"SurrogatePairEndsPart",
     Repeat(u"Ж", 65) + u"\U0001F600" + Repeat(u"Ж", 5),
     SmsAlphabet::kUcs2,
     1,
     72,
     70,
     {67, 5}},
    {"EightBitFullSingleMessage", Repeat(u"a", 140), SmsAlphabet::kEightBit, 1, 140, 140, {140}},
    {"EightBitOneTooMany", Repeat(u"a", 141), SmsAlphabet::kEightBit, 1, 141, 140, {134, 7}},
    {"SixteenBitReferenceLeavesOneSeptetLess",
     Repeat(u"a", 161),
     SmsAlphabet::kDefault,
     256,
     161,
     160,
     {152, 9}},
    {"SixteenBitReferenceLeavesOneUnitLess",
     Repeat(u"Ж", 71),
     SmsAlphabet::kUcs2,
     256,
     71,
     70,
     {66, 5}},
    {"SixteenBitReferenceLeavesOneOctetLess",
     Repeat(u"a", 141),
     SmsAlphabet::kEightBit,
     256,
     141,
     140,
     {133, 8}},
    {"SixteenBitReferenceKeepsSingleLimit",
     Repeat(u"a", 160),
     SmsAlphabet::kDefault,
     256,
     160,
     160,
     {160}},
};

class SplitTextCase : public testing::TestWithParam<CSplitCase> {};

TEST_P(SplitTextCase, CutsAtLimits) {
  const CSplitCase& c = GetParam();
  const CMessageParts split = SplitText(c.m_text, c.m_alphabet, c.m_reference);
  EXPECT_EQ(split.length, c.m_length);
  EXPECT_EQ(split.singleLimit, c.m_singleLimit);
  std::vector<size_t> units;
  std::u16string joined;
  for (const std::u16string& part : split.parts) {
    units.push_back(part.size());
    joined += part;
  }
  EXPECT_EQ(units, c.m_partUnits);
  EXPECT_EQ(joined, c.m_text);
}

INSTANTIATE_TEST_SUITE_P(Parts, SplitTextCase, testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

struct CCodingCase {
  const char* m_name;
  uint8_t m_dcs;
  std::u16string m_text;
  uint8_t m_chosen;
};

const CCodingCase kCodingCases[] = {
    {"GsmTextKeepsDefault", 0x00, u"Hello €", 0x00},
    {"GsmTextKeepsStoredUcsTwo", 0x08, u"Hello", 0x08},
    {"GsmTextKeepsStoredEightBit", 0xF4, u"Hello", 0xF4},
    {"CyrillicNeedsUcsTwo", 0x00, u"Привет", 0x08},
    {"EightBitBecomesUcsTwo", 0x04, u"Привет", 0x08},
    {"CompressedGroupKeepsItsBits", 0x34, u"Привет", 0x38},
    {"ClassGroupKeepsClass", 0xF1, u"Привет", 0x19},
    {"EightBitClassGroupKeepsClass", 0xF6, u"Привет", 0x1A},
    {"MessageWaitingGroupGivesWay", 0xC0, u"Привет", 0x08},
    {"UnknownGroupGivesWay", 0x40, u"Привет", 0x08},
};

class ChooseCodingCase : public testing::TestWithParam<CCodingCase> {};

TEST_P(ChooseCodingCase, SwitchesToUcsTwoOnlyWhenNeeded) {
  CSMSMessage message(false);
  message.dcs = GetParam().m_dcs;
  message.wideText = GetParam().m_text;
  ChooseCoding(message);
  EXPECT_EQ(message.dcs, GetParam().m_chosen);
  if (!IsGsmText(GetParam().m_text)) {
    EXPECT_EQ(message.Alphabet(), SmsAlphabet::kUcs2);
  }
}

INSTANTIATE_TEST_SUITE_P(Parts, ChooseCodingCase, testing::ValuesIn(kCodingCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

CSMSMessage Composed(const char* address) {
  CSMSMessage message(false);
  message.sca.clear();
  message.address = address;
  return message;
}

std::vector<std::string> EncodeText(CSMSMessage& message, const std::u16string& text,
                                    uint16_t reference) {
  message.wideText = text;
  ChooseCoding(message);
  return EncodeParts(message, SplitText(message.wideText, message.Alphabet(), reference).parts,
                     reference);
}

TEST(EncodeParts, OneSeptetTooManyGivesTwoParts) {
  CSMSMessage message = Composed("+447700900123");
  const std::vector<std::string> pdus = EncodeText(message, Repeat(u"a", 161), 0x7B);
  const std::vector<std::string> expected = {
      "0041000C914477000910320000A00500037B0201C2E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87"
      "C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E"
      "87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C"
      "0E87C3E170381C0E87C3",
      "0041000C9144770009103200000F0500037B0202C2E170381C0E8701",
  };
  EXPECT_EQ(pdus, expected);
  EXPECT_TRUE(message.concatenated);
  EXPECT_EQ(message.partCount, 2);
  EXPECT_EQ(message.wideText, Repeat(u"a", 161));
}

TEST(EncodeParts, CyrillicOneTooManyGivesTwoParts) {
  CSMSMessage message = Composed("+79161234567");
  const std::vector<std::string> pdus = EncodeText(message, Repeat(u"Ж", 71), 0x7B);
  const std::vector<std::string> expected = {
      "0041000B919761214365F700088C0500037B020104160416041604160416041604160416041604160416041604160416"
      "041604160416041604160416041604160416041604160416041604160416041604160416041604160416041604160416"
      "041604160416041604160416041604160416041604160416041604160416041604160416041604160416041604160416"
      "04160416041604160416",
      "0041000B919761214365F700080E0500037B02020416041604160416",
  };
  EXPECT_EQ(pdus, expected);
  EXPECT_EQ(message.dcs, 0x08);
}

TEST(EncodeParts, ReferenceTwoHundredFiftySixTakesSixteenBitElement) {
  CSMSMessage message = Composed("+447700900123");
  const std::vector<std::string> pdus = EncodeText(message, Repeat(u"a", 161), 256);
  const std::vector<std::string> expected = {
      "0041000C914477000910320000A006080401000201E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87"
      "C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E"
      "87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C0E87C3E170381C"
      "0E87C3E170381C0E87C3",
      "0041000C9144770009103200001106080401000202E170381C0E87C361",
  };
  EXPECT_EQ(pdus, expected);
}

TEST(EncodeParts, SingleCyrillicMessage) {
  CSMSMessage message = Composed("+79161234567");
  const std::vector<std::string> pdus = EncodeText(message, u"Привет", 0);
  EXPECT_EQ(pdus, std::vector<std::string>{"0001000B919761214365F700080C041F04400438043204350442"});
}

TEST(EncodeParts, SinglePartDropsStoredConcatenation) {
  CSMSMessage message(false);
  ASSERT_TRUE(
      message.Decode("0041070C914477000910320000160500035A0201A061391DF47697416F33887E7F03"));
  const std::vector<std::string> pdus = EncodeText(message, u"Hello", 0x11);
  EXPECT_EQ(pdus, std::vector<std::string>{"0001070C91447700091032000005C8329BFD06"});
  EXPECT_FALSE(message.concatenated);
}

TEST(EncodeParts, UnsendablePartGivesNothing) {
  CSMSMessage message = Composed("+447700900123");
  message.dcs = 0x04;
  message.wideText = u"Ж";
  EXPECT_TRUE(EncodeParts(message, {u"a", u"Ж"}, 1).empty());
  EXPECT_TRUE(EncodeParts(message, {}, 1).empty());
}

// A thousand long messages over two runs of the plug-in, the second going on from the count the
// first left in the settings: never the same reference twice in a row, nor within 256 messages.
TEST(TakeConcatReference, CountsOnOverRunsAndStartsAtRandom) {
  uint32_t kept = 256;  // the settings' default: not started
  std::vector<uint16_t> taken;
  for (int run = 0; run < 2; ++run) {
    uint32_t next = kept;
    for (int message = 0; message < 500; ++message) taken.push_back(TakeConcatReference(next));
    kept = next;
  }
  for (size_t i = 0; i + 256 <= taken.size(); i += 100) {
    EXPECT_EQ(std::set<uint16_t>(taken.begin() + i, taken.begin() + i + 256).size(), 256u) << i;
  }
  EXPECT_LE(*std::max_element(taken.begin(), taken.end()), 255) << "8-bit references";
  // Counts not started begin at random numbers: 32 equal starts would take odds of 256^-31.
  std::set<uint16_t> starts;
  for (int user = 0; user < 32; ++user) {
    uint32_t fresh = 1000;
    starts.insert(TakeConcatReference(fresh));
  }
  EXPECT_GT(starts.size(), 1u);
}

}  // namespace
