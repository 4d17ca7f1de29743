#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phonesim/phone.h"
#include "phonesim_test_support.h"

namespace {

using PhoneSim::CPhone;
using PhoneSim::PhoneState;
using PhoneSim::Reply;
using PhoneSimTest::LoadTestState;

const std::string kDraftPdu = "0001000C9144770009007000000D4479D84C07D1DFA0A0DB1D06";
const std::string kHelloPdu = "0001000C91447700091032000005C8329BFD06";
// Locations 1 and 6 of SM and 1 of ME in the classic state.
const std::string kSmFirstPdu =
    "0791447700090000040C914477000900100000503012900000000FC8329BFD0699E5EF3628E8768701";
const std::string kSmSixthPdu =
    "0791447700090000040B919700214365F70008503012900000000C041F04400438043204350442";
const std::string kMeFirstPdu =
    "0791447700090000040C914477000900010000503012900000001450F4DB5D06B5CBEDB73C0F6A97E7F3F0B90C";

struct PhoneCase {
  const char* name;
  const char* profile;
  std::vector<std::string> before;  // answered OK, not checked further
  std::string command;
  std::vector<std::string> lines;
  std::string final = "OK";
};

std::string CaseName(const testing::TestParamInfo<PhoneCase>& info) { return info.param.name; }

// Every case runs on a fresh copy of the classic state file, as the named profile's phone.
class PhoneAnswers : public testing::TestWithParam<PhoneCase> {};

TEST_P(PhoneAnswers, AsAPhoneOfItsKind) {
  const PhoneCase& c = GetParam();
  PhoneState state = LoadTestState("classic.json", c.profile);
  CPhone phone(state);
  for (const std::string& line : c.before) {
    ASSERT_EQ(phone.HandleLine(line).final, "OK") << line;
  }
  const Reply reply = phone.HandleLine(c.command);
  EXPECT_EQ(reply.lines, c.lines);
  EXPECT_EQ(reply.final, c.final);
}

INSTANTIATE_TEST_SUITE_P(
    Identity, PhoneAnswers,
    testing::Values(
        PhoneCase{"ManufacturerWithPrefix", "classic", {}, "AT+CGMI", {"+CGMI: Zantel"}},
        PhoneCase{"ModelBare", "bare", {}, "AT+CGMM", {"Classic 100"}},
        PhoneCase{"ModemQuotes", "modem", {}, "AT+CGMR", {"+CGMR: \"V 05.10\""}},
        PhoneCase{"PlainCommandAlwaysBare", "classic", {}, "AT+GMI", {"Zantel"}},
        PhoneCase{"SerialNumber", "classic", {}, "AT+CGSN", {"+CGSN: 351234567890123"}},
        PhoneCase{"BareRefusesCgsn", "bare", {}, "AT+CGSN", {}, "ERROR"},
        PhoneCase{"BareAnswersGsn", "bare", {}, "AT+GSN", {"351234567890123"}},
        PhoneCase{"Imsi", "classic", {}, "AT+CIMI", {"234150123456789"}},
        PhoneCase{
            "ChainStopsAtError", "classic", {}, "AT+CGMI;+XYZ;+CGMM", {"+CGMI: Zantel"}, "ERROR"},
        PhoneCase{"UnknownCommand", "classic", {}, "AT+XYZ=1", {}, "ERROR"},
        PhoneCase{"PlainAt", "classic", {}, "AT", {}},
        PhoneCase{"BareRefusesVerboseErrors", "bare", {}, "AT+CMEE=2", {}, "ERROR"},
        PhoneCase{"ErrorModes", "bare", {}, "AT+CMEE=?", {"+CMEE: (0-1)"}},
        PhoneCase{"ResetSelectsThePowerUpBook",
                  "classic",
                  {"AT+CPBS=\"ME\"", "ATZ"},
                  "AT+CPBS?",
                  {"+CPBS: \"SM\",5,250"}},
        PhoneCase{
            "IndicationsKept", "classic", {"AT+CNMI=2,1,1,2,0"}, "AT+CNMI?", {"+CNMI: 2,1,1,2,0"}},
        PhoneCase{
            "IndicationsOutOfRange", "classic", {"AT+CMEE=1"}, "AT+CNMI=2,4", {}, "+CME ERROR: 4"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Charsets, PhoneAnswers,
    testing::Values(
        PhoneCase{"ClassicSets", "classic", {}, "AT+CSCS=?", {"+CSCS: (\"GSM\",\"IRA\",\"UCS2\")"}},
        PhoneCase{"Ucs2OnlySets", "ucs2", {}, "AT+CSCS=?", {"+CSCS: (\"UCS2\")"}},
        PhoneCase{"ModemSets",
                  "modem",
                  {},
                  "AT+CSCS=?",
                  {"+CSCS: (\"IRA\",\"GSM\",\"UCS2\",\"UTF-8\",\"HEX\",\"8859-1\",\"PCCP437\")"}},
        PhoneCase{"PowerUpSet", "ucs2", {}, "AT+CSCS?", {"+CSCS: \"UCS2\""}},
        PhoneCase{
            "SetIgnoresCase", "modem", {"AT+CSCS=\"utf-8\""}, "AT+CSCS?", {"+CSCS: \"UTF-8\""}},
        PhoneCase{"UnofferedSet",
                  "classic",
                  {"AT+CMEE=2"},
                  "AT+CSCS=\"UTF-8\"",
                  {},
                  "+CME ERROR: operation not supported"},
        PhoneCase{"NameInUcs2",
                  "classic",
                  {"AT+CSCS=\"UCS2\""},
                  "AT+CPBR=4",
                  {"+CPBR: 4,\"01632960123\",129,\"00430061006600E90020005A006F00EB\""}},
        PhoneCase{"NameInGsmMarksMissingLetter",
                  "classic",
                  {},
                  "AT+CPBR=4",
                  {"+CPBR: 4,\"01632960123\",129,\"Caf\x05 Zo?\""}},
        PhoneCase{"NameInUtf8",
                  "modem",
                  {"AT+CSCS=\"UTF-8\""},
                  "AT+CPBR=4",
                  {"+CPBR: 4,\"01632960123\",129,\"Caf\xC3\xA9 Zo\xC3\xAB\""}},
        PhoneCase{"NameInPccp437",
                  "modem",
                  {"AT+CSCS=\"PCCP437\""},
                  "AT+CPBR=4",
                  {"+CPBR: 4,\"01632960123\",129,\"Caf\x82 Zo\x89\""}},
        PhoneCase{"NameInHex",
                  "modem",
                  {"AT+CSCS=\"HEX\""},
                  "AT+CPBR=2",
                  {"+CPBR: 2,\"+447700900002\",145,\"426F62\""}},
        PhoneCase{"BracketsInGsm",
                  "classic",
                  {"AT+CPBS=\"ME\""},
                  "AT+CPBR=3",
                  {"+CPBR: 3,\"+447700900011\",145,\"Work \x1B<desk\x1B>\""}}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    PhoneBooks, PhoneAnswers,
    testing::Values(
        PhoneCase{"Storages",
                  "classic",
                  {},
                  "AT+CPBS=?",
                  {"+CPBS: (\"SM\",\"ME\",\"DC\",\"MC\",\"RC\")"}},
        PhoneCase{"CurrentWithCounts", "classic", {}, "AT+CPBS?", {"+CPBS: \"SM\",5,250"}},
        PhoneCase{"CurrentWithoutCounts", "bare", {}, "AT+CPBS?", {"+CPBS: \"SM\""}},
        PhoneCase{
            "SelectOther", "classic", {"AT+CPBS=\"ME\""}, "AT+CPBS?", {"+CPBS: \"ME\",2,500"}},
        PhoneCase{"SelectUnknown", "classic", {"AT+CMEE=1"}, "AT+CPBS=\"XX\"", {}, "+CME ERROR: 3"},
        PhoneCase{"Limits", "classic", {}, "AT+CPBR=?", {"+CPBR: (1-250),40,18"}},
        PhoneCase{"WriteLimits", "classic", {}, "AT+CPBW=?", {"+CPBW: (1-250),40,(129,145),18"}},
        PhoneCase{"RangeSkipsEmpty",
                  "classic",
                  {},
                  "AT+CPBR=1,3",
                  {"+CPBR: 1,\"+447700900001\",145,\"Anna Schmidt\"",
                   "+CPBR: 2,\"+447700900002\",145,\"Bob\""}},
        PhoneCase{"EmptyLocationSilent", "classic", {}, "AT+CPBR=3", {}},
        PhoneCase{"StrictEmptyLocationRefused", "strict-reads", {}, "AT+CPBR=3", {}, "ERROR"},
        PhoneCase{"StrictEmptyLocationNotFound",
                  "strict-reads",
                  {"AT+CMEE=2"},
                  "AT+CPBR=3",
                  {},
                  "+CME ERROR: not found"},
        PhoneCase{"StrictRangeSkipsEmpty",
                  "strict-reads",
                  {},
                  "AT+CPBR=2,3",
                  {"+CPBR: 2,\"+447700900002\",145,\"Bob\""}},
        PhoneCase{"StrictHeldLocationRead",
                  "strict-reads",
                  {},
                  "AT+CPBR=2",
                  {"+CPBR: 2,\"+447700900002\",145,\"Bob\""}},
        PhoneCase{"IndexBeyondSize", "classic", {"AT+CMEE=1"}, "AT+CPBR=251", {}, "+CME ERROR: 21"},
        PhoneCase{"IndexBeyondSizeVerbose",
                  "classic",
                  {"AT+CMEE=2"},
                  "AT+CPBR=1,251",
                  {},
                  "+CME ERROR: invalid index"},
        PhoneCase{"IndexBeyondSizePlain", "classic", {}, "AT+CPBR=0", {}, "ERROR"},
        PhoneCase{"BareDropsPlus",
                  "bare",
                  {},
                  "AT+CPBR=1",
                  {"+CPBR: 1,\"447700900001\",145,\"Anna Schmidt\""}},
        PhoneCase{"CallTimesTwoFields",
                  "classic",
                  {"AT+CPBS=\"DC\""},
                  "AT+CPBR=1,2",
                  {"+CPBR: 1,\"+447700900002\",145,\"Bob\",\"05/12/31\",\"23:59:00\"",
                   "+CPBR: 2,\"01632960999\",129,\"\",\"06/01/01\",\"00:00:05\""}},
        PhoneCase{"CallTimesOneField",
                  "modem",
                  {"AT+CPBS=\"MC\""},
                  "AT+CPBR=1",
                  {"+CPBR: 1,\"+447700900001\",145,\"Anna Schmidt\",\"06/01/02,10:11:12\""}},
        PhoneCase{"CallListReadOnly",
                  "classic",
                  {"AT+CMEE=1", "AT+CPBS=\"DC\""},
                  "AT+CPBW=1",
                  {},
                  "+CME ERROR: 3"},
        PhoneCase{"NameTooLong",
                  "classic",
                  {"AT+CMEE=1"},
                  "AT+CPBW=3,\"1\",129,\"abcdefghijklmnopqrs\"",
                  {},
                  "+CME ERROR: 24"},
        PhoneCase{"NumberTooLong",
                  "classic",
                  {"AT+CMEE=1"},
                  "AT+CPBW=3,\"+12345678901234567890123456789012345678901\",145,\"x\"",
                  {},
                  "+CME ERROR: 26"},
        PhoneCase{"NumberWithLetters",
                  "classic",
                  {"AT+CMEE=1"},
                  "AT+CPBW=3,\"12a\",129,\"x\"",
                  {},
                  "+CME ERROR: 27"},
        PhoneCase{"NameNotUcs2",
                  "classic",
                  {"AT+CMEE=1", "AT+CSCS=\"UCS2\""},
                  "AT+CPBW=3,\"1\",129,\"004\"",
                  {},
                  "+CME ERROR: 25"},
        PhoneCase{"WriteIndexZero",
                  "classic",
                  {"AT+CMEE=1"},
                  "AT+CPBW=0,\"1\",129,\"x\"",
                  {},
                  "+CME ERROR: 21"},
        PhoneCase{"EraseByIndex", "classic", {"AT+CPBW=1"}, "AT+CPBR=1", {}},
        PhoneCase{"EraseWithEmptyFields", "classic", {"AT+CPBW=2,\"\",,\"\""}, "AT+CPBR=2", {}},
        PhoneCase{"WriteChoosesFirstFree",
                  "classic",
                  {"AT+CPBW=,\"+4912\",145,\"New\""},
                  "AT+CPBR=3",
                  {"+CPBR: 3,\"+4912\",145,\"New\""}},
        PhoneCase{"WriteOverwrites",
                  "classic",
                  {"AT+CPBW=2,\"0123\",,\"Robert\""},
                  "AT+CPBR=2",
                  {"+CPBR: 2,\"0123\",129,\"Robert\""}},
        PhoneCase{"InternationalTypeGetsPlus",
                  "classic",
                  {"AT+CPBW=3,\"4912\",145,\"N\""},
                  "AT+CPBR=3",
                  {"+CPBR: 3,\"+4912\",145,\"N\""}},
        PhoneCase{"EscapedQuoteInName",
                  "classic",
                  {"AT+CPBW=3,\"1\",129,\"a\\22b\""},
                  "AT+CPBR=3",
                  {"+CPBR: 3,\"1\",129,\"a\\22b\""}},
        PhoneCase{"Ucs2NameWritten",
                  "ucs2",
                  {"AT+CPBW=3,\"1\",129,\"041F0440\""},
                  "AT+CPBR=3",
                  {"+CPBR: 3,\"1\",129,\"041F0440\""}}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    EntryShapes, PhoneAnswers,
    testing::Values(PhoneCase{"WithoutNumberTyped",
                              "classic",
                              {"AT+CPBW=3,\"\",,\"Mail\""},
                              "AT+CPBR=3",
                              {"+CPBR: 3,\"\",129,\"Mail\""}},
                    PhoneCase{"NokiaWithoutNumberTypeless",
                              "nokia-entries",
                              {"AT+CPBW=6,\"\",,\"Mail\""},
                              "AT+CPBR=6",
                              {"+CPBR: 6,\"\",,\"Mail\""}},
                    PhoneCase{"NokiaWithNumberTyped",
                              "nokia-entries",
                              {},
                              "AT+CPBR=2",
                              {"+CPBR: 2,\"+447700900002\",145,\"Bob\""}},
                    PhoneCase{"EmptyFieldAfterIndex",
                              "empty-field-entries",
                              {},
                              "AT+CPBR=1",
                              {"+CPBR: 1,,\"+447700900001\",145,\"Anna Schmidt\""}},
                    PhoneCase{"EmptyFieldAndDateAfterName",
                              "empty-field-entries",
                              {"AT+CPBS=\"DC\""},
                              "AT+CPBR=1",
                              {"+CPBR: 1,,\"+447700900002\",145,\"Bob\",\"2005/12/31,23:59\""}},
                    PhoneCase{"HexTextUcs2Bare",
                              "hex-text-entries",
                              {"AT+CSCS=\"UCS2\""},
                              "AT+CPBR=2",
                              {"+CPBR: 2,\"+447700900002\",145,0042006F0062"}},
                    PhoneCase{"HexTextHexBare",
                              "hex-text-entries",
                              {"AT+CSCS=\"HEX\""},
                              "AT+CPBR=2",
                              {"+CPBR: 2,\"+447700900002\",145,426F62"}},
                    PhoneCase{"HexTextGsmQuoted",
                              "hex-text-entries",
                              {},
                              "AT+CPBR=2",
                              {"+CPBR: 2,\"+447700900002\",145,\"Bob\""}}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Messages, PhoneAnswers,
    testing::Values(
        PhoneCase{"PduModeOnly", "classic", {}, "AT+CMGF=?", {"+CMGF: (0)"}},
        PhoneCase{"TextModeRefused", "classic", {}, "AT+CMGF=1", {}, "+CMS ERROR: 303"},
        PhoneCase{"StatusListClassic", "classic", {}, "AT+CMGL=?", {"+CMGL: (0,1,2,3,4)"}},
        PhoneCase{"StatusListModem", "modem", {}, "AT+CMGL=?", {"+CMGL: (0-4)"}},
        PhoneCase{"StatusListWithoutAll", "four-statuses", {}, "AT+CMGL=?", {"+CMGL: (0,1,2,3)"}},
        PhoneCase{"AllRefusedWithoutAll", "four-statuses", {}, "AT+CMGL=4", {}, "+CMS ERROR: 304"},
        PhoneCase{"ListUnsent", "classic", {}, "AT+CMGL=2", {"+CMGL: 3,2,,25", kDraftPdu}},
        PhoneCase{"MotorolaListsUnsentAsUnread",
                  "motorola-l",
                  {},
                  "AT+CMGL=2",
                  {"+CMGL: 3,0,,25", kDraftPdu}},
        PhoneCase{"ListedUnreadBecomesRead", "classic", {"AT+CMGL=0"}, "AT+CMGL=0", {}},
        PhoneCase{"ReadMarksRead", "classic", {"AT+CMGR=2"}, "AT+CMGL=0", {}},
        PhoneCase{"ReadEmpty", "classic", {}, "AT+CMGR=4", {}, "+CMS ERROR: 321"},
        PhoneCase{"ReadOutside",
                  "classic",
                  {"AT+CMEE=2"},
                  "AT+CMGR=41",
                  {},
                  "+CMS ERROR: invalid memory index"},
        PhoneCase{"StoragesOffered",
                  "classic",
                  {},
                  "AT+CPMS=?",
                  {"+CPMS: (\"SM\",\"ME\"),(\"SM\",\"ME\"),(\"SM\",\"ME\")"}},
        PhoneCase{"StoragesInUse",
                  "classic",
                  {},
                  "AT+CPMS?",
                  {"+CPMS: \"SM\",5,40,\"SM\",5,40,\"SM\",5,40"}},
        PhoneCase{"StoragesChosen",
                  "classic",
                  {},
                  "AT+CPMS=\"ME\",\"SM\",\"ME\"",
                  {"+CPMS: 1,150,5,40,1,150"}},
        PhoneCase{"StorageUnknown", "classic", {}, "AT+CPMS=\"XX\"", {}, "+CMS ERROR: 302"},
        // MT, selected at power-up, is SM's 40 locations and then ME's 150.
        PhoneCase{"CombinedOffered",
                  "combined-memory",
                  {},
                  "AT+CPMS=?",
                  {"+CPMS: (\"MT\",\"SM\",\"ME\",\"BM\"),(\"MT\",\"SM\",\"ME\",\"BM\"),"
                   "(\"MT\",\"SM\",\"ME\",\"BM\")"}},
        PhoneCase{"CombinedListsPhoneAfterSim",
                  "combined-memory",
                  {},
                  "AT+CMGL=1",
                  {"+CMGL: 1,1,,33", kSmFirstPdu, "+CMGL: 6,1,,31", kSmSixthPdu, "+CMGL: 41,1,,37",
                   kMeFirstPdu}},
        PhoneCase{"CombinedReadsFromPhone",
                  "combined-memory",
                  {},
                  "AT+CMGR=41",
                  {"+CMGR: 1,,37", kMeFirstPdu}},
        PhoneCase{"CombinedDeletesFromPhone",
                  "combined-memory",
                  {"AT+CMGD=41", "AT+CPMS=\"ME\",\"SM\",\"MT\""},
                  "AT+CPMS?",
                  {"+CPMS: \"ME\",0,150,\"SM\",5,40,\"MT\",5,190"}},
        PhoneCase{"ListOtherStorage",
                  "classic",
                  {"AT+CPMS=\"ME\""},
                  "AT+CMGL=4",
                  {"+CMGL: 1,1,,37", kMeFirstPdu}},
        PhoneCase{"DeleteThenRead", "classic", {"AT+CMGD=1"}, "AT+CMGR=1", {}, "+CMS ERROR: 321"},
        PhoneCase{"DeleteAllLeavesNothing", "classic", {"AT+CMGD=1,4"}, "AT+CMGL=4", {}},
        PhoneCase{
            "DeleteReadAndSent", "classic", {"AT+CMGD=1,2"}, "AT+CMGD=?", {"+CMGD: (2,3),(0-4)"}},
        PhoneCase{"DeleteOutside", "classic", {}, "AT+CMGD=0", {}, "+CMS ERROR: 321"},
        PhoneCase{"ServiceCentre", "classic", {}, "AT+CSCA?", {"+CSCA: \"+447700900000\",145"}},
        PhoneCase{"ClockMalformed",
                  "classic",
                  {"AT+CMEE=1"},
                  "AT+CCLK=\"06/13/08,10:20:00\"",
                  {},
                  "+CME ERROR: 3"}),
    CaseName);

struct LockedCase {
  const char* name;
  std::vector<std::string> before;  // answers not checked
  std::string command;
  std::vector<std::string> lines;
  std::string final = "OK";
};

std::string LockedCaseName(const testing::TestParamInfo<LockedCase>& info) {
  return info.param.name;
}

// The classic phone with a SIM that asks for PIN 1234 at power-up.
class LockedSim : public testing::TestWithParam<LockedCase> {};

TEST_P(LockedSim, KeepsItsBooksAndMessagesUntilThePinIsGiven) {
  const LockedCase& c = GetParam();
  PhoneState state = LoadTestState("classic.json");
  state.identity.pin = "1234";
  CPhone phone(state);
  for (const std::string& line : c.before) phone.HandleLine(line);
  const Reply reply = phone.HandleLine(c.command);
  EXPECT_EQ(reply.lines, c.lines);
  EXPECT_EQ(reply.final, c.final);
}

const std::vector<std::string> kWrongThrice = {"AT+CPIN=\"0000\"", "AT+CPIN=\"1111\"",
                                               "AT+CPIN=\"2222\""};

INSTANTIATE_TEST_SUITE_P(
    Pin, LockedSim,
    testing::Values(
        LockedCase{"AsksForPin", {}, "AT+CPIN?", {"+CPIN: SIM PIN"}},
        LockedCase{"BookVerbose", {"AT+CMEE=2"}, "AT+CPBR=1", {}, "+CME ERROR: SIM PIN required"},
        LockedCase{"BookNumeric", {"AT+CMEE=1"}, "AT+CPBS?", {}, "+CME ERROR: 11"},
        LockedCase{"BookPlain", {}, "AT+CPBW=3,\"1\",129,\"x\"", {}, "ERROR"},
        LockedCase{"Storages", {"AT+CMEE=1"}, "AT+CPMS?", {}, "+CME ERROR: 11"},
        LockedCase{"List", {"AT+CMEE=1"}, "AT+CMGL=4", {}, "+CME ERROR: 11"},
        LockedCase{"Read", {"AT+CMEE=1"}, "AT+CMGR=1", {}, "+CME ERROR: 11"},
        LockedCase{"Send", {"AT+CMEE=1"}, "AT+CMGS=18", {}, "+CME ERROR: 11"},
        LockedCase{"IdentityAnswers", {}, "AT+CGMI", {"+CGMI: Zantel"}},
        LockedCase{"PinGiven", {"AT+CPIN=\"1234\""}, "AT+CPIN?", {"+CPIN: READY"}},
        LockedCase{"BookAfterPin",
                   {"AT+CPIN=\"1234\""},
                   "AT+CPBR=2",
                   {"+CPBR: 2,\"+447700900002\",145,\"Bob\""}},
        LockedCase{"WrongPinVerbose",
                   {"AT+CMEE=2"},
                   "AT+CPIN=\"4321\"",
                   {},
                   "+CME ERROR: incorrect password"},
        LockedCase{"WrongPinNumeric", {"AT+CMEE=1"}, "AT+CPIN=\"4321\"", {}, "+CME ERROR: 16"},
        LockedCase{"RightPinAfterTwoWrong",
                   {"AT+CPIN=\"0000\"", "AT+CPIN=\"1111\"", "AT+CPIN=\"1234\""},
                   "AT+CPIN?",
                   {"+CPIN: READY"}},
        LockedCase{"ThreeWrongAskForPuk", kWrongThrice, "AT+CPIN?", {"+CPIN: SIM PUK"}},
        LockedCase{"RightPinTooLate",
                   {"AT+CMEE=2", kWrongThrice[0], kWrongThrice[1], kWrongThrice[2]},
                   "AT+CPIN=\"1234\"",
                   {},
                   "+CME ERROR: SIM PUK required"},
        LockedCase{"BookAfterThreeWrong",
                   {"AT+CMEE=1", kWrongThrice[0], kWrongThrice[1], kWrongThrice[2]},
                   "AT+CMGL=4",
                   {},
                   "+CME ERROR: 12"}),
    LockedCaseName);

TEST(Phone, EchoOnAtPowerUpUntilTurnedOff) {
  PhoneState state = LoadTestState("classic.json");
  CPhone phone(state);
  EXPECT_TRUE(phone.Echo());
  phone.HandleLine("ATE0");
  EXPECT_FALSE(phone.Echo());
  phone.HandleLine("ATZ");
  EXPECT_TRUE(phone.Echo());
}

TEST(Phone, WithoutSimHasNoSubscriber) {
  PhoneState state = LoadTestState("classic.json");
  state.identity.imsi.clear();
  CPhone phone(state);
  phone.HandleLine("AT+CMEE=2");
  EXPECT_EQ(phone.HandleLine("AT+CIMI").final, "+CME ERROR: SIM not inserted");
}

TEST(Phone, LineWithoutCommandGetsNoAnswer) {
  PhoneState state = LoadTestState("classic.json");
  CPhone phone(state);
  const Reply reply = phone.HandleLine("");
  EXPECT_TRUE(reply.final.empty());
  EXPECT_FALSE(reply.prompt);
}

TEST(Phone, ClockKeepsZoneOnlyWhenGiven) {
  PhoneState state = LoadTestState("classic.json");
  CPhone phone(state);
  ASSERT_EQ(phone.HandleLine("AT+CCLK=\"06/07/08,10:20:00\"").final, "OK");
  EXPECT_EQ(state.clock, "06/07/08,10:20:00");
  const Reply plain = phone.HandleLine("AT+CCLK?");
  ASSERT_EQ(plain.lines.size(), 1u);
  EXPECT_TRUE(plain.lines[0].starts_with("+CCLK: \"06/07/08,10:20:0")) << plain.lines[0];
  EXPECT_EQ(plain.lines[0].size(), std::string("+CCLK: \"06/07/08,10:20:00\"").size());
  ASSERT_EQ(phone.HandleLine("AT+CCLK=\"06/07/08,10:20:00-20\"").final, "OK");
  EXPECT_TRUE(phone.HandleLine("AT+CCLK?").lines.at(0).ends_with("-20\""));
}

TEST(Phone, SendNumbersTheMessageAndRecordsIt) {
  PhoneState state = LoadTestState("classic.json");
  CPhone phone(state);
  const Reply prompt = phone.HandleLine("AT+CMGS=18");
  EXPECT_TRUE(prompt.prompt);
  EXPECT_EQ(CPhone::Frame(prompt), "\r\n> ");
  EXPECT_TRUE(phone.AwaitsPdu());
  const Reply sent = phone.HandlePdu("0001000c91447700091032000005c8329bfd06", false);
  EXPECT_EQ(sent.lines, std::vector<std::string>{"+CMGS: 7"});
  EXPECT_EQ(sent.final, "OK");
  EXPECT_FALSE(phone.AwaitsPdu());
  ASSERT_EQ(state.sent.size(), 1u);
  EXPECT_EQ(state.sent[0].pdu, "0001070C91447700091032000005C8329BFD06");
  EXPECT_EQ(state.nextReference, 8);
}

TEST(Phone, SendWithWrongLengthIsRefused) {
  PhoneState state = LoadTestState("classic.json");
  CPhone phone(state);
  phone.HandleLine("AT+CMGS=19");
  EXPECT_EQ(phone.HandlePdu(kHelloPdu, false).final, "+CMS ERROR: 304");
  EXPECT_TRUE(state.sent.empty());
}

TEST(Phone, EscapeCancelsTheSend) {
  PhoneState state = LoadTestState("classic.json");
  CPhone phone(state);
  phone.HandleLine("AT+CMGS=18");
  EXPECT_EQ(phone.HandlePdu(kHelloPdu, true).final, "OK");
  EXPECT_TRUE(state.sent.empty());
  EXPECT_FALSE(phone.AwaitsPdu());
}

TEST(Phone, WriteStoresInTheFirstFreeLocationOfTheWriteMemory) {
  PhoneState state = LoadTestState("classic.json");
  CPhone phone(state);
  ASSERT_EQ(phone.HandleLine("AT+CPMS=\"SM\",\"ME\"").final, "OK");
  EXPECT_TRUE(phone.HandleLine("AT+CMGW=18").prompt);
  EXPECT_EQ(phone.HandlePdu(kHelloPdu, false).lines, std::vector<std::string>{"+CMGW: 2"});
  const auto& stored = state.messageStorages[1].messages.at(2);
  EXPECT_EQ(stored.status, 2);
  EXPECT_EQ(stored.pdu, kHelloPdu);
}

TEST(Phone, WriteIntoAFullMemoryIsRefused) {
  PhoneState state = LoadTestState("large.json");
  CPhone phone(state);
  phone.HandleLine("AT+CMGW=18,3");
  EXPECT_EQ(phone.HandlePdu(kHelloPdu, false).final, "+CMS ERROR: 322");
}

TEST(Phone, WriteIntoAFullBookIsRefused) {
  PhoneState state = LoadTestState("large.json");
  CPhone phone(state);
  phone.HandleLine("AT+CMEE=1");
  EXPECT_EQ(phone.HandleLine("AT+CPBW=,\"1\",129,\"x\"").final, "+CME ERROR: 20");
}

}  // namespace
