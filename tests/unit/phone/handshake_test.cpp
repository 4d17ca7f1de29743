#include "phone/handshake.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "temp_registry.h"
#include "phone/model_profiles.h"
#include "recording_users.h"
#include "scripted_connection.h"
#include "settings/settings.h"
#include "test_texts.h"

namespace {

using Exchange = std::vector<std::pair<std::string, std::string>>;

struct HandshakeCase {
  const char* name;
  Exchange exchange;  // each command the phone must receive, in order, and its reply
  std::string manufacturer;
  std::string model;
  std::string identity;
  std::vector<std::string> storages;
  std::vector<std::string> charsets;
  std::string charset;  // the profile's afterwards
  size_t refusalBoxes;
  ModelProfileList profilesBefore = {DefaultProfile()};
  std::string subscriber = {};
};

void PrintTo(const HandshakeCase& c, std::ostream* out) { *out << c.name; }

const char* const kOk = "\r\nOK\r\n";
const char* const kError = "\r\nERROR\r\n";

class Handshake : public testing::TestWithParam<HandshakeCase> {
 protected:
  CTempRegistry m_registry;
  CTestTexts m_texts{m_registry.Root() + "\\Far"};
  CRecordingLinkUser m_link;
  CRecordingHandshakeUser m_user;
};

TEST_P(Handshake, IdentifiesThePhoneAndSettlesItsCharacterSet) {
  const HandshakeCase& c = GetParam();
  CScriptedConnection phone(m_link);
  for (const auto& [command, reply] : c.exchange) phone.Expect(command + "\r", reply);
  ModelProfileList profiles = c.profilesBefore;

  const PhoneIdentity found = RunHandshake(phone, profiles, m_user);

  EXPECT_TRUE(phone.ScriptDone());
  ASSERT_NE(found.Profile, nullptr);
  EXPECT_EQ(found.Profile->Manufacturer, c.manufacturer);
  EXPECT_EQ(found.Profile->Model, c.model);
  EXPECT_EQ(found.Profile->Charset, c.charset);
  EXPECT_EQ(found.Identity, c.identity);
  EXPECT_EQ(found.Subscriber, c.subscriber);
  EXPECT_EQ(found.StorageNames, c.storages);
  EXPECT_EQ(found.Charsets, c.charsets);

  // A phone seen for the first time gets a profile of its own at the end of the list,
  // copied from the default one; a known phone finds its own and adds none.
  ModelProfileList before = c.profilesBefore;
  const bool known = profiles.size() == before.size();
  EXPECT_EQ(known, FindProfile(before, c.manufacturer, c.model) != nullptr);
  if (!known) {
    EXPECT_EQ(found.Profile, &profiles.back());
    EXPECT_EQ(found.Profile->Flags, profiles.front().Flags);
  }

  EXPECT_EQ(m_link.refused.size(), c.refusalBoxes);
  EXPECT_EQ(m_user.shown, std::vector<std::string>{"message 169"});
  EXPECT_FALSE(m_user.showing) << "the wait box was not taken down";
  EXPECT_TRUE(m_user.notSaved.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Phones, Handshake,
    testing::Values(
        HandshakeCase{"PhoneOfTodayGetsUtf8",
                      {{"ATE0", "ATE0\r\r\nOK\r\n"},
                       {"AT+CNMI=2,1,1,2,0", kOk},
                       {"AT+CMEE=2", kOk},
                       {"AT+CGMI", "\r\n+CGMI: \"Nokia\"\r\n\r\nOK\r\n"},
                       {"AT+CGMM", "\r\n+CGMM: \"Nokia 6310i\"\r\nOK\r\n"},
                       {"AT+CGSN", "\r\n350123451234560\r\nRING\r\nOK\r\n"},
                       {"AT+CIMI", "\r\n234150123456789\r\nOK\r\n"},
                       {"AT+CPBS=?", "\r\n+CPBS: (\"SM\",\"ME\",\"DC\",\"MC\",\"RC\")\r\nOK\r\n"},
                       {"AT+CSCS=?", "\r\n+CSCS: (\"GSM\",\"IRA\",\"UCS2\",\"UTF-8\")\r\nOK\r\n"},
                       {"AT+CSCS=\"UTF-8\"", kOk},
                       {"AT+CSCS?", "\r\n+CSCS: \"UTF-8\"\r\nOK\r\n"}},
                      "Nokia",
                      "Nokia 6310i",
                      "350123451234560",
                      {"SM", "ME", "DC", "MC", "RC"},
                      {"GSM", "IRA", "UCS2", "UTF-8"},
                      "UTF-8",
                      0,
                      {DefaultProfile()},
                      "234150123456789"},
        HandshakeCase{
            "OlderPhoneTakesTheFallbacks",
            {{"ATE0", kOk},
             {"AT+CNMI=2,1,1,2,0", "\r\n+CME ERROR: 3\r\n"},
             {"AT+CMEE=2", kError},
             {"AT+CMEE=1", kOk},
             {"AT+CGMI", kError},
             {"AT+GMI", "\r\nSIEMENS\r\nOK\r\n"},
             {"AT+CGMM", kError},
             {"AT+GMM", "\r\n+GMM: S55\r\nOK\r\n"},
             {"AT+CGSN", kError},
             {"AT+GSN", kError},
             {"AT+CIMI", kError},
             {"AT+CPBS=?", "\r\n+CPBS: (\"SM\",\"MEM\",\"O N\",\"\",FD,\"LD\")\r\nOK\r\n"},
             {"AT+CSCS=?", "\r\n+CSCS: (\"GSM\",\"IRA\")\r\nOK\r\n"},
             {"AT+CSCS?", "\r\n+CSCS: \"GSM\"\r\nOK\r\n"}},
            "SIEMENS",
            "S55",
            "SIEMENS S55",
            {"SM", "LD"},
            {"GSM", "IRA"},
            "GSM",
            1},
        HandshakeCase{"EveryCommandRefused",
                      {{"ATE0", kError},
                       {"AT+CNMI=2,1,1,2,0", kError},
                       {"AT+CMEE=2", kError},
                       {"AT+CMEE=1", kError},
                       {"AT+CGMI", kError},
                       {"AT+GMI", kError},
                       {"AT+CGMM", kError},
                       {"AT+GMM", kError},
                       {"AT+CGSN", kError},
                       {"AT+GSN", kError},
                       {"AT+CIMI", kError},
                       {"AT+CPBS=?", kError},
                       {"AT+CSCS=?", kError},
                       {"AT+CSCS?", kError}},
                      "",
                      "",
                      " ",
                      {},
                      {},
                      "",
                      7},
        HandshakeCase{"KnownPhoneAsksForItsOwnSet",
                      {{"ATE0", kOk},
                       {"AT+CNMI=2,1,1,2,0", kOk},
                       {"AT+CMEE=2", kOk},
                       {"AT+CGMI", "\r\nSony Ericsson\r\nOK\r\n"},
                       {"AT+CGMM", "\r\nK750i\r\nOK\r\n"},
                       {"AT+CGSN", "\r\n+CGSN: \"\"\r\nOK\r\n"},
                       {"AT+CIMI", "\r\n+CIMI: 262011234567890\r\nOK\r\n"},
                       {"AT+CPBS=?", "\r\n+CPBS: (\"ME\",\"SM\")\r\nOK\r\n"},
                       {"AT+CSCS=?", "\r\n+CSCS: (\"GSM\",\"UCS2\",\"UTF-8\")\r\nOK\r\n"},
                       {"AT+CSCS=\"GSM\"", kError},
                       {"AT+CSCS?", "\r\n+CSCS: \"UCS2\"\r\nOK\r\n"}},
                      "Sony Ericsson",
                      "K750i",
                      "Sony Ericsson K750i",
                      {"ME", "SM"},
                      {"GSM", "UCS2", "UTF-8"},
                      "UCS2",
                      1,
                      {DefaultProfile(), {"Sony Ericsson", "K750i", "GSM", 0, 0}},
                      "262011234567890"},
        HandshakeCase{"StoredSetThatWouldBreakTheCommandIsNotSent",
                      {{"ATE0", kOk},
                       {"AT+CNMI=2,1,1,2,0", kOk},
                       {"AT+CMEE=2", kOk},
                       {"AT+CGMI", "\r\nZantel\r\nOK\r\n"},
                       {"AT+CGMM", "\r\nX\r\nOK\r\n"},
                       {"AT+CGSN", "\r\n1\r\nOK\r\n"},
                       {"AT+CIMI", "\r\n+CME ERROR: 10\r\n"},
                       {"AT+CPBS=?", "\r\n+CPBS: (\"SM\")\r\nOK\r\n"},
                       {"AT+CSCS=?", "\r\n+CSCS: (\"GSM\")\r\nOK\r\n"},
                       {"AT+CSCS?", "\r\n+CSCS: \"GSM\"\r\nOK\r\n"}},
                      "Zantel",
                      "X",
                      "1",
                      {"SM"},
                      {"GSM"},
                      "GSM",
                      0,
                      {DefaultProfile(), {"Zantel", "X", "GSM\"\rAT+CPBW=1", 1, 7}}}));

TEST(HandshakeReplies, BareValuesComeBackUnchanged) {
  struct Case {
    std::string (*parse)(const std::string&);
    const char* line;
    const char* value;
  };
  const Case cases[] = {
      {ParseManufacturer, "+CGMI: \"Nokia\"", "Nokia"},
      {ParseManufacturer, "+GMI: Motorola CE, Copyright 2000", "Motorola CE, Copyright 2000"},
      {ParseManufacturer, "ERICSSON", "ERICSSON"},
      {ParseModel, "+CGMM: \"GSM900\",\"GSM1800\"", "GSM900\",\"GSM1800"},
      {ParseSerialNumber, "+CGSN: 350123451234560  ", "350123451234560"},
      {ParseCurrentCharset, "+CSCS: \"8859-1\"", "8859-1"},
      {ParseCurrentCharset, "+CSCS:IRA", "IRA"},
      {ParseSubscriber, "+CIMI: \"262011234567890\"", "262011234567890"},
      {ParseSubscriber, "SIM PIN", ""},
      {ParseSubscriber, "1234", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.parse(c.line), c.value) << c.line;
}

}  // namespace
