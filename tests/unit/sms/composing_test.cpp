#include "sms/composing.h"

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "link/at_engine.h"
#include "plugin/host_link_user.h"
#include "scripted_connection.h"

namespace {

std::string Repeat(const std::string& piece, size_t times) {
  std::string text;
  for (size_t index = 0; index < times; ++index) text += piece;
  return text;
}

std::u16string Repeat(const std::u16string& piece, size_t times) {
  std::u16string text;
  for (size_t index = 0; index < times; ++index) text += piece;
  return text;
}

// Answers from the case and remembers every question and report.
class CScriptedUser : public CComposeUser {
 public:
  bool ConfirmEmpty() override {
    ++emptyQuestions;
    return sendEmpty;
  }
  bool ConfirmParts(size_t length, size_t singleLimit, size_t parts) override {
    partQuestions.push_back({length, singleLimit, parts});
    return sendParts;
  }
  int ChooseCandidate(const std::vector<std::string>& items) override {
    menus.push_back(items);
    return choice;
  }
  void ReportUnresolved(const std::string& destination) override {
    unresolved.push_back(destination);
  }
  void ReportNotANumber(const std::string& number) override { notNumbers.push_back(number); }
  void ReportFailure(bool save, const std::string& reason) override {
    failures.push_back((save ? "save: " : "send: ") + reason);
  }
  void ReportStopped(bool save, const StoppedTransmission& stopped,
                     const std::string& reason) override {
    std::string whole;
    for (const std::string& destination : stopped.whole) whole += destination;
    failures.push_back((save ? "save stopped, whole: " : "send stopped, whole: ") + whole + "; " +
                       std::to_string(stopped.partsTaken) + " of " + std::to_string(stopped.parts) +
                       " to " + stopped.destination + ": " + reason);
  }
  void ReportDone(bool save) override { done.push_back(save); }

  bool sendEmpty = true;
  bool sendParts = true;
  int choice = 0;
  int emptyQuestions = 0;
  std::vector<std::vector<size_t>> partQuestions;
  std::vector<std::vector<std::string>> menus;
  std::vector<std::string> unresolved;
  std::vector<std::string> notNumbers;
  std::vector<std::string> failures;
  std::vector<bool> done;
  // PDUs the phone took before the end.
  size_t taken = 0;
};

void AddEntry(PhoneBookStorage& storage, const std::string& name, const std::string& number) {
  auto entry = std::make_unique<PhoneBookEntry>();
  entry->Name = name;
  entry->Number = number;
  storage.Entries.push_back(std::move(entry));
}

PhoneBook SamplePhoneBook() {
  PhoneBook book;
  book.push_back(std::make_unique<PhoneBookStorage>("SM"));
  book.push_back(std::make_unique<PhoneBookStorage>("ME"));
  AddEntry(*book[0], "Anna Schmidt", "+491711111111");
  AddEntry(*book[0], "Bob", "0301234");
  AddEntry(*book[0], "(Mum) home", "+4933333");
  AddEntry(*book[1], "anna Berg", "+491722222222");
  AddEntry(*book[1], "Bob at work", "0301234");  // the same number as Bob: one candidate
  AddEntry(*book[1], "\\quiet", "555");
  AddEntry(*book[1], "Credit", "*100#");
  AddEntry(*book[1], "Office", "+44 (0)20 7946 0000");
  return book;
}

struct CResolveCase {
  const char* name;
  std::string destination;
  int choice;
  bool resolved;
  std::string result;
  size_t menuItems;
  size_t unresolvedReports;
  size_t notANumberReports = 0;
};

const CResolveCase kResolveCases[] = {
    {"OneCandidateAcrossStorages", "bob", 0, true, "0301234", 0, 0},
    {"SeveralGoToTheMenu", "anna", 1, true, "+491722222222", 2, 0},
    {"MenuEscaped", "ANNA", -1, false, "ANNA", 2, 0},
    {"NoCandidate", "Zed", 0, false, "Zed", 0, 1},
    {"NameAndDigitsMatchingNothing", "Bob 0301", 0, false, "Bob 0301", 0, 1},
    {"ValidPatternIsAPattern", "A.*t", 0, true, "+491711111111", 0, 0},
    {"FormattedNumberKeepsItsDigits", "+49 (171)", 0, true, "+49171", 0, 0},
    {"FormattedNumberWithHyphens", " 0171-555 12 ", 0, true, "017155512", 0, 0},
    {"UnknownEscapeMatchesLiterally", "\\q", 0, true, "555", 0, 0},
    {"UnbalancedParenthesisMatchesLiterally", "(mum", 0, true, "+4933333", 0, 0},
    {"NameAndNumberFromTheMenu", "Anna Schmidt (+491711111111)", 0, true, "+491711111111", 0, 0},
    {"ParenthesesWithoutANumber", "x (Mum) 12", 0, false, "x (Mum) 12", 0, 1},
    {"TrunkPrefixAfterTheCountryCodeIsDropped", "+44 (0)20 7946 0000", 0, true, "+442079460000", 0,
     0},
    {"InternationalPrefixAsDigitsStays", "0044 20 7946 0000", 0, true, "00442079460000", 0, 0},
    {"ZeroInParenthesesElsewhereStays", "+49 171 (0)5", 0, true, "+4917105", 0, 0},
    {"PhoneBookNumberIsCleanedToo", "office", 0, true, "+442079460000", 0, 0},
    {"ServiceCodeInThePhoneBookIsNoNumber", "credit", 0, false, "credit", 0, 0, 1},
    {"HashInATypedNumberMatchesNothing", "12#3", 0, false, "12#3", 0, 1},
};

void PrintTo(const CResolveCase& c, std::ostream* os) { *os << c.name; }

class ResolveTable : public testing::TestWithParam<CResolveCase> {};

TEST_P(ResolveTable, Resolves) {
  const CResolveCase& c = GetParam();
  const PhoneBook book = SamplePhoneBook();
  CScriptedUser user;
  user.choice = c.choice;
  std::string destination = c.destination;
  EXPECT_EQ(Resolve(book, destination, user), c.resolved);
  EXPECT_EQ(destination, c.result);
  ASSERT_EQ(user.menus.size(), c.menuItems == 0 ? 0u : 1u);
  if (c.menuItems != 0) {
    EXPECT_EQ(user.menus[0].size(), c.menuItems);
    EXPECT_EQ(user.menus[0][0], "Anna Schmidt (+491711111111)");
  }
  EXPECT_EQ(user.unresolved.size(), c.unresolvedReports);
  EXPECT_EQ(user.notNumbers.size(), c.notANumberReports);
}

INSTANTIATE_TEST_SUITE_P(Composing, ResolveTable, testing::ValuesIn(kResolveCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Prepare and Build ----

constexpr const char* kUk = "+447700900123";
// The destination field of that number: length 12, international, swapped semi-octets.
const std::string kUkField = "0C91447700091032";

struct CBuildCase {
  const char* name;
  std::u16string text;
  std::vector<std::string> destinations;
  // "RR" stands for the concatenation reference (see ReferencesAreCountedOn).
  std::vector<std::string> pdus;
  std::vector<std::vector<size_t>> partQuestions = {};
  int emptyQuestions = 0;
  bool save = false;
  bool sendEmpty = true;
  bool prepared = true;
  uint32_t profileFlags = 0;
  // What a stored message sent again brings with it.
  std::string sca = {};
  uint8_t dcs = 0;
  uint8_t firstOctet = 0x01;
  std::string validityOctets = {};
};

// Worked out by hand from GSM 03.40: no SC address, first octet, message reference 0, the
// destination, PID 0, DCS, user data length and user data. The septets of "a" repeat every
// seven octets; "Hello" packs to C8329BFD06.
const std::string kHeader =
    "0001"
    "00" +
    kUkField + "00";
const std::string kHelloData = "05C8329BFD06";
const std::string kNational =
    "0001"
    "00"
    "0781"
    "301032F4"
    "00";
const std::string kLongPart1 =
    "0041"
    "00" +
    kUkField +
    "0000A0"
    "050003RR0201C2" +
    Repeat("E170381C0E87C3", 19);
const std::string kLongPart2 =
    "0041"
    "00" +
    kUkField +
    "00000F"
    "050003RR0202C2E170381C0E8701";
const std::vector<size_t> kTwoParts = {161, 160, 2};

const CBuildCase kBuildCases[] = {
    {.name = "ShortDefaultAlphabet",
     .text = u"Hello",
     .destinations = {kUk},
     .pdus = {kHeader + "00" + kHelloData}},
    {.name = "FullSingleMessage",
     .text = Repeat(u"a", 160),
     .destinations = {kUk},
     .pdus = {kHeader + "00A0" + Repeat("E170381C0E87C3", 20)}},
    {.name = "OneCharacterTooManyGivesTwoParts",
     .text = Repeat(u"a", 161),
     .destinations = {kUk},
     .pdus = {kLongPart1, kLongPart2},
     .partQuestions = {kTwoParts}},
    {.name = "EuroTakesTwoSeptets",
     .text = Repeat(u"a", 159) + u"€",
     .destinations = {kUk},
     .pdus = {kLongPart1,
              "0041"
              "00" +
                  kUkField +
                  "00000F"
                  "050003RR0202C2E170381CDE9401"},
     .partQuestions = {kTwoParts}},
    {.name = "CyrillicGoesAsUcsTwoParts",
     .text = Repeat(u"Ж", 71),
     .destinations = {kUk},
     .pdus = {"0041"
              "00" +
                  kUkField +
                  "00088C"
                  "050003RR0201" +
                  Repeat("0416", 67),
              "0041"
              "00" +
                  kUkField +
                  "00080E"
                  "050003RR0202" +
                  Repeat("0416", 4)},
     .partQuestions = {{71, 70, 2}}},
    {.name = "EmptyTextSentAfterAsking",
     .text = u"",
     .destinations = {kUk},
     .pdus = {kHeader + "0000"},
     .emptyQuestions = 1},
    {.name = "EmptyTextDeclined",
     .text = u"",
     .destinations = {kUk},
     .pdus = {},
     .emptyQuestions = 1,
     .sendEmpty = false,
     .prepared = false},
    {.name = "EmptyTextSavedWithoutAsking",
     .text = u"",
     .destinations = {kUk},
     .pdus = {kHeader + "0000"},
     .save = true,
     .sendEmpty = false},
    {.name = "TwoDestinationsAskTwiceWhenEmpty",
     .text = u"",
     .destinations = {kUk, "0301234"},
     .pdus = {kHeader + "0000", kNational + "0000"},
     .emptyQuestions = 2},
    {.name = "TwoDestinationsOfALongTextAskOnce",
     .text = Repeat(u"a", 161),
     .destinations = {kUk, kUk},
     .pdus = {kLongPart1, kLongPart2, kLongPart1, kLongPart2},
     .partQuestions = {kTwoParts}},
    {.name = "SavedWithoutRecipient",
     .text = u"Hello",
     .destinations = {},
     .pdus = {"00010000910000" + kHelloData},
     .save = true},
    {.name = "NameResolvedFromThePhoneBook",
     .text = u"Hello",
     .destinations = {"Bob"},
     .pdus = {kNational + "00" + kHelloData}},
    {.name = "NationalNumberIsNotInternational",
     .text = u"Hello",
     .destinations = {"0301234"},
     .pdus = {kNational + "00" + kHelloData}},
    {.name = "UnresolvedNameSendsNothing",
     .text = u"Hello",
     .destinations = {kUk, "Zed"},
     .pdus = {},
     .prepared = false},
    {.name = "SendingWithoutRecipientSendsNothing",
     .text = u"Hello",
     .destinations = {},
     .pdus = {},
     .prepared = false},
    {.name = "TooLongANumberIsRefused",
     .text = u"Hello",
     .destinations = {"+123456789012345678901"},
     .pdus = {},
     .prepared = false},
    {.name = "ProfileOmitsServiceCentreOfASingleMessage",
     .text = u"Hello",
     .destinations = {kUk},
     .pdus = {kHeader + "00" + kHelloData},
     .profileFlags = kProfileOmitServiceCentre,
     .sca = "+4917"},
    {.name = "ProfileKeepsServiceCentreOfParts",
     .text = Repeat(u"a", 161),
     .destinations = {kUk},
     .pdus = {"03919471" + kLongPart1.substr(2), "03919471" + kLongPart2.substr(2)},
     .partQuestions = {kTwoParts},
     .profileFlags = kProfileOmitServiceCentre,
     .sca = "+4917"},
    {.name = "ClassGroupTextNeedingUcsTwoKeepsItsClass",
     .text = u"Жу",
     .destinations = {kUk},
     .pdus = {kHeader + "19"
                        "04"
                        "04160443"},
     .dcs = 0xF1},
    {.name = "EightBitTextAboveLatinOneGoesAsUcsTwo",
     .text = u"ΔΦ",
     .destinations = {kUk},
     .pdus = {kHeader + "08"
                        "04"
                        "039403A6"},
     .dcs = 0x04},
    {.name = "EightBitTextWithinLatinOneStaysEightBit",
     .text = u"\xE9\xE8",
     .destinations = {kUk},
     .pdus = {kHeader + "04"
                        "02"
                        "E9E8"},
     .dcs = 0x04},
    {.name = "ValidityBitsWithTheirOctetKeepBoth",
     .text = u"Hello",
     .destinations = {kUk},
     .pdus = {"0011"
              "00" +
              kUkField +
              "0000"
              "A7" +
              kHelloData},
     .firstOctet = 0x11,
     .validityOctets = "\xA7"},
    {.name = "ValidityBitsWithoutTheirOctetAreCleared",
     .text = u"Hello",
     .destinations = {kUk},
     .pdus = {kHeader + "00" + kHelloData},
     .firstOctet = 0x11},
};

// The PDUs of every destination, in order.
std::vector<std::string> AllPdus(const std::vector<OutgoingMessage>& messages) {
  std::vector<std::string> pdus;
  for (const OutgoingMessage& message : messages) {
    pdus.insert(pdus.end(), message.pdus.begin(), message.pdus.end());
  }
  return pdus;
}

// The reference of a concatenated PDU, where "RR" stands in the expectation.
std::string WithReference(const std::string& expected, const std::string& actual) {
  const size_t at = expected.find("RR");
  if (at == std::string::npos || actual.size() < at + 2) return expected;
  return expected.substr(0, at) + actual.substr(at, 2) + expected.substr(at + 2);
}

void PrintTo(const CBuildCase& c, std::ostream* os) { *os << c.name; }

class BuildTable : public testing::TestWithParam<CBuildCase> {};

TEST_P(BuildTable, Prepares) {
  const CBuildCase& c = GetParam();
  const PhoneBook book = SamplePhoneBook();
  CScriptedUser user;
  user.sendEmpty = c.sendEmpty;
  ModelProfile profile;
  profile.Flags = c.profileFlags;
  CScriptedConnection connection;
  uint32_t nextReference = 0x7A;
  const ComposeContext context{connection, &profile, book, user, nextReference};
  CSMSMessage message(false, c.sca, 0x91);
  message.wideText = c.text;
  message.dcs = c.dcs;
  message.firstOctet = c.firstOctet;
  message.validityOctets = c.validityOctets;
  std::vector<std::string> destinations = c.destinations;
  std::vector<OutgoingMessage> messages;
  ASSERT_EQ(Prepare(message, destinations, messages, c.save, false, context), c.prepared);
  const std::vector<std::string> pdus = AllPdus(messages);
  if (!c.prepared) {
    EXPECT_TRUE(user.failures.size() + user.unresolved.size() + user.emptyQuestions > 0)
        << "a message not prepared says why";
  } else {
    ASSERT_EQ(pdus.size(), c.pdus.size());
    for (size_t index = 0; index < pdus.size(); ++index) {
      EXPECT_EQ(pdus[index], WithReference(c.pdus[index], pdus[index])) << "PDU " << index;
    }
    // The parts of one destination share their reference.
    if (pdus.size() == 2 && c.pdus[0].find("RR") != std::string::npos) {
      const size_t at = c.pdus[0].find("RR");
      EXPECT_EQ(pdus[0].substr(at, 2), pdus[1].substr(at, 2));
    }
  }
  EXPECT_EQ(user.emptyQuestions, c.emptyQuestions);
  EXPECT_EQ(user.partQuestions, c.partQuestions);
  EXPECT_EQ(message.wideText, c.text) << "the record keeps its whole text";
  EXPECT_TRUE(connection.Sent().empty());
}

INSTANTIATE_TEST_SUITE_P(Composing, BuildTable, testing::ValuesIn(kBuildCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Composing, TpduLengthLeavesOutTheServiceCentre) {
  EXPECT_EQ(TpduLength("0001000C914477000910320000"
                       "05C8329BFD06"),
            18u);
  EXPECT_EQ(TpduLength("03919471"
                       "01000C914477000910320000"
                       "05C8329BFD06"),
            18u);
  // What holds no service-centre length counts nothing instead of throwing.
  for (const char* broken : {"", "0", "ZZ0100", "+1000000", "-1000000", "0x00"})
    EXPECT_EQ(TpduLength(broken), 0u) << broken;
}

// Each destination of a long message takes the next reference, counted on past 255; a single
// message takes none.
TEST(Composing, ReferencesAreCountedOn) {
  const PhoneBook book = SamplePhoneBook();
  CScriptedUser user;
  CScriptedConnection connection;
  uint32_t nextReference = 255;
  const ComposeContext context{connection, nullptr, book, user, nextReference};
  CSMSMessage message(false, "", 0x91);
  std::vector<std::string> destinations = {kUk, "0301234"};
  std::vector<OutgoingMessage> messages;
  message.wideText = u"Hello";
  ASSERT_TRUE(Prepare(message, destinations, messages, false, false, context));
  EXPECT_EQ(nextReference, 255u);
  message.wideText = Repeat(u"a", 161);
  ASSERT_TRUE(Prepare(message, destinations, messages, false, false, context));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].destination, "0301234");
  std::vector<std::string> references;
  for (const std::string& pdu : AllPdus(messages)) {
    references.push_back(pdu.substr(pdu.find("050003") + 6, 2));
  }
  EXPECT_EQ(references, (std::vector<std::string>{"FF", "FF", "00", "00"}));
  EXPECT_EQ(nextReference, 1u);
}

// Checking only resolves names in place and builds nothing.
TEST(Composing, CheckOnlyResolvesWithoutBuilding) {
  const PhoneBook book = SamplePhoneBook();
  CScriptedUser user;
  CScriptedConnection connection;
  uint32_t nextReference = 0;
  const ComposeContext context{connection, nullptr, book, user, nextReference};
  CSMSMessage message(false, "", 0x91);
  std::vector<std::string> destinations = {"bob", kUk};
  std::vector<OutgoingMessage> messages = {{kUk, {"stale"}}};
  EXPECT_TRUE(Prepare(message, destinations, messages, false, true, context));
  EXPECT_EQ(destinations, (std::vector<std::string>{"0301234", kUk}));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(user.emptyQuestions, 0);
}

// ---- Transmission ----

const std::string kHello =
    "0001000C914477000910320000"
    "05C8329BFD06";
const std::string kSecond =
    "0001000C914477000910320000"
    "01C8";

// A phone that falls silent: every read times out.
class CSilentConnection : public CConnection {
 public:
  CSilentConnection() : CConnection(HostLinkUser()) {}
  void Read(void*, uint32_t& count) override { count = 0; }
  void Write(const void* buffer, uint32_t length) override {
    sent.append(static_cast<const char*>(buffer), length);
  }
  std::string sent;
};

struct CTransmitStep {
  std::string written;
  std::string reply;
};

struct CTransmitCase {
  const char* name;
  bool save;
  std::vector<OutgoingMessage> messages;
  std::vector<CTransmitStep> steps;
  bool transmitted;
  std::vector<std::string> failures;
  std::vector<bool> done;
  // PDUs the phone took before the end.
  size_t taken = 0;
};

const CTransmitCase kTransmitCases[] = {
    {"PromptThenAccepted",
     false,
     {{kUk, {kHello}}},
     {{"AT+CMGS=18\r", "\r\n> "}, {kHello + "\x1A\r", "\r\n+CMGS: 7\r\n\r\nOK\r\n"}},
     true,
     {},
     {false},
     1},
    {"SavedInParts",
     true,
     {{kUk, {kHello, kSecond}}},
     {{"AT+CMGW=18\r", "\r\n> "},
      {kHello + "\x1A\r", "\r\n+CMGW: 1\r\n\r\nOK\r\n"},
      {"AT+CMGW=14\r", "\r\n> "},
      {kSecond + "\x1A\r", "\r\n+CMGW: 2\r\n\r\nOK\r\n"}},
     true,
     {},
     {true},
     2},
    {"ErrorInsteadOfThePrompt",
     false,
     {{kUk, {kHello, kSecond}}},
     {{"AT+CMGS=18\r", "\r\nERROR\r\n"}, {"\x1b", ""}},
     false,
     {"send: ERROR"},
     {}},
    {"SmsErrorInsteadOfThePromptAfterARing",
     true,
     {{kUk, {kHello}}},
     {{"AT+CMGW=18\r", "\r\nRING\r\n\r\n+CMS ERROR: 322\r\n"}, {"\x1b", ""}},
     false,
     {"save: +CMS ERROR: 322"},
     {}},
    {"RefusedPartEndsTheTransmissionAndSaysWhatWent",
     false,
     {{kUk, {kHello, kSecond, kHello}}},
     {{"AT+CMGS=18\r", "\r\n> "},
      {kHello + "\x1A\r", "\r\n+CMGS: 7\r\n\r\nOK\r\n"},
      {"AT+CMGS=14\r", "\r\n> "},
      {kSecond + "\x1A\r", "\r\n+CMS ERROR: 304\r\n"}},
     false,
     {"send stopped, whole: ; 1 of 3 to +447700900123: +CMS ERROR: 304"},
     {},
     1},
    {"RefusedDestinationAfterAWholeOne",
     true,
     {{kUk, {kHello}}, {"0301234", {kSecond, kHello}}},
     {{"AT+CMGW=18\r", "\r\n> "},
      {kHello + "\x1A\r", "\r\n+CMGW: 7\r\n\r\nOK\r\n"},
      {"AT+CMGW=14\r", "\r\n+CMS ERROR: 322\r\n"},
      {"\x1b", ""}},
     false,
     {"save stopped, whole: +447700900123; 0 of 2 to 0301234: +CMS ERROR: 322"},
     {},
     1},
    {"LineWithoutEndInsteadOfThePrompt",
     false,
     {{kUk, {kHello}}},
     {{"AT+CMGS=18\r", "\r\n" + std::string(kMaxResponseLineLength, 'x')}, {"\x1b", ""}},
     false,
     {"send: " + std::string(64, 'x')},
     {}},
    // A delivery report, a modem's signal and a new message (its PDU on a line of its own)
    // announced before the prompt, on a phone that ends its lines with carriage returns alone.
    {"NoticesAndNoiseBeforeThePromptPassedOver",
     false,
     {{kUk, {kHello}}},
     {{"AT+CMGS=18\r",
       std::string("\r+CDSI: \"SR\",3\r^RSSI:17\r+CMT: ,23\r07914477\r\0\xFF\x1B[2J\r> ", 52)},
      {kHello + "\x1A\r", "\r\n+CMGS: 7\r\n\r\nOK\r\n"}},
     true,
     {},
     {false},
     1},
    // A phone that kept its echo on: the command comes back before the prompt.
    {"EchoBeforeThePrompt",
     false,
     {{kUk, {kHello}}},
     {{"AT+CMGS=18\r", "AT+CMGS=18\r\r\n> "}, {kHello + "\x1A\r", "\r\n+CMGS: 7\r\n\r\nOK\r\n"}},
     true,
     {},
     {false},
     1},
    {"NothingToSend", false, {}, {}, true, {}, {}},
};

void PrintTo(const CTransmitCase& c, std::ostream* os) { *os << c.name; }

class TransmitTable : public testing::TestWithParam<CTransmitCase> {};

TEST_P(TransmitTable, Transmits) {
  const CTransmitCase& c = GetParam();
  const PhoneBook book;
  CScriptedUser user;
  CScriptedConnection connection;
  for (const CTransmitStep& step : c.steps) connection.Expect(step.written, step.reply);
  uint32_t nextReference = 0;
  const ComposeContext context{connection, nullptr, book, user, nextReference};
  size_t taken = 99;
  EXPECT_EQ(Transmit(c.messages, c.save, context, &taken), c.transmitted);
  EXPECT_EQ(taken, c.taken);
  EXPECT_TRUE(connection.ScriptDone()) << "every scripted exchange took place, nothing more";
  EXPECT_EQ(user.failures, c.failures);
  EXPECT_EQ(user.done, c.done);
}

INSTANTIATE_TEST_SUITE_P(Composing, TransmitTable, testing::ValuesIn(kTransmitCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A phone that never shows its prompt ends in the link's time-out, reported, not in a wait
// without end; the PDU is never written, and Escape cancels a prompt that comes late.
TEST(Composing, SilentPhoneEndsInTheTimeOut) {
  const PhoneBook book;
  CScriptedUser user;
  CSilentConnection connection;
  uint32_t nextReference = 0;
  const ComposeContext context{connection, nullptr, book, user, nextReference};
  EXPECT_FALSE(Transmit({{kUk, {kHello}}}, false, context));
  EXPECT_EQ(connection.sent, "AT+CMGS=18\r\x1B") << "a late prompt is cancelled";
  ASSERT_EQ(user.failures.size(), 1u);
  EXPECT_TRUE(user.failures[0].starts_with("send: "));
  EXPECT_TRUE(user.done.empty());
}

// ---- The editor's lines ----

struct CLinesCase {
  const char* name;
  std::string text;
  std::array<std::string, kEditorLines> lines;
  std::string edited;
};

const CLinesCase kLinesCases[] = {
    {"Empty", "", {}, ""},
    {"OneLine", "Hello", {"Hello"}, "Hello"},
    {"CrLfIsOneBreak", "a\r\nb\rc\nd", {"a", "b", "c", "d"}, "a\nb\nc\nd"},
    {"EmptyLinesStay", "a\n\nb", {"a", "", "b"}, "a\n\nb"},
    {"LeadingBreakStays", "\nb", {"", "b"}, "\nb"},
    {"TrailingBreaksGo", "a\r\n\r\n", {"a"}, "a"},
    {"OnlyBreaksAreEmpty", "\n\n\n", {}, ""},
    {"LinesBeyondTheFifthJoinIt",
     "1\n2\n3\n4\n5\n6\r\n7",
     {"1", "2", "3", "4", "5 6 7"},
     "1\n2\n3\n4\n5 6 7"},
};

void PrintTo(const CLinesCase& c, std::ostream* os) { *os << c.name; }

class LinesTable : public testing::TestWithParam<CLinesCase> {};

TEST_P(LinesTable, SplitsAndJoins) {
  const CLinesCase& c = GetParam();
  EXPECT_EQ(EditorLines(c.text), c.lines);
  EXPECT_EQ(TextOfLines(c.lines), c.edited);
}

INSTANTIATE_TEST_SUITE_P(Composing, LinesTable, testing::ValuesIn(kLinesCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
