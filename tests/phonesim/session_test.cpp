#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "phonesim/faults.h"
#include "phonesim/phone.h"
#include "phonesim/session.h"
#include "phonesim/transcript.h"
#include "phonesim_test_support.h"

namespace {

// A line that delivers what the client typed in one piece, then closes; it keeps every byte
// the phone wrote.
class ScriptedPort : public PhoneSim::CPort {
 public:
  explicit ScriptedPort(std::string typed) : m_typed(std::move(typed)) {}
  PhoneSim::ReadOutcome Read(std::string& bytes, int) override {
    if (m_typed.empty()) return PhoneSim::ReadOutcome::Closed;
    bytes += m_typed;
    m_typed.clear();
    return PhoneSim::ReadOutcome::Data;
  }
  bool Write(std::string_view bytes) override {
    written += bytes;
    return true;
  }
  void HangUp() override {}

  std::string written;

 private:
  std::string m_typed;
};

struct WireCase {
  const char* name;
  const char* faults;  // the fault script
  std::string typed;
  std::string written;  // the echo included
};

std::string CaseName(const testing::TestParamInfo<WireCase>& info) { return info.param.name; }

const std::string kBook = "\r\n+CPBR: 1,\"+447700900001\",145,\"Anna Schmidt\"\r\n";
const std::string kBookRest = "\r\n+CPBR: 2,\"+447700900002\",145,\"Bob\"\r\n\r\nOK\r\n";

class Wire : public testing::TestWithParam<WireCase> {};

TEST_P(Wire, CarriesTheAnswerAndItsNotices) {
  const WireCase& c = GetParam();
  PhoneSim::PhoneState state = PhoneSimTest::LoadTestState("classic.json");
  PhoneSim::CPhone phone(state);
  ScriptedPort port(c.typed);
  PhoneSim::CSession session(port, phone,
                             PhoneSim::FaultsFromJson(nlohmann::json::parse(c.faults)));
  session.Run([] { return false; }, 1);
  EXPECT_EQ(port.written, c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Notices, Wire,
    testing::Values(
        WireCase{"AfterFirstLineByDefault", R"({"unsolicited": [{"text": "RING"}]})",
                 "AT+CPBR=1,2\r", "AT+CPBR=1,2\r" + kBook + "\r\nRING\r\n" + kBookRest},
        WireCase{"AfterFirstLineOfABareAnswer",
                 R"({"unsolicited": [{"text": "RING", "at": "afterFirstLine"}]})", "AT\r",
                 "AT\r\r\nRING\r\n\r\nOK\r\n"},
        WireCase{"BeforeReplyFollowsTheEcho",
                 R"({"unsolicited": [{"text": "RING", "at": "beforeReply"}]})", "AT+CPBR=1,2\r",
                 "AT+CPBR=1,2\r\r\nRING\r\n" + kBook + kBookRest.substr(2)},
        WireCase{"BeforePrompt",
                 R"({"unsolicited": [{"text": "+CMTI: \"SM\",7", "at": "beforePrompt"}]})",
                 "AT+CMGS=18\r", "AT+CMGS=18\r\r\n+CMTI: \"SM\",7\r\n\r\n> "},
        WireCase{"BeforePromptNotOnOtherAnswers",
                 R"({"unsolicited": [{"text": "RING", "at": "beforePrompt"}]})", "AT\r",
                 "AT\r\r\nOK\r\n"},
        WireCase{"PromptCarriesNoNoticeAfterItsFirstLine", R"({"unsolicited": [{"text": "RING"}]})",
                 "AT+CMGW=18\r", "AT+CMGW=18\r\r\n> "},
        WireCase{
            "TwoLineNotice",
            R"({"unsolicited": [{"text": "+CMT: ,23\r\n0791447700090000", "at": "beforeReply"}]})",
            "AT\r", "AT\r\r\n+CMT: ,23\r\n0791447700090000\r\n\r\nOK\r\n"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    LineEnds, Wire,
    testing::Values(WireCase{"CrAlone", R"({"lineEnd": "cr"})", "ATE0\rAT+CGSN\r",
                             "ATE0\r\rOK\r\r+CGSN: 351234567890123\r\rOK\r"},
                    WireCase{"CrAloneInNoticesAndPrompt",
                             R"({"lineEnd": "cr",
                     "unsolicited": [{"text": "+CMT: ,23\r\n0791447700090000", "at": "beforePrompt"}]})",
                             "AT+CMGS=18\r", "AT+CMGS=18\r\r+CMT: ,23\r0791447700090000\r\r> "}),
    CaseName);

struct MaskCase {
  const char* name;
  std::vector<std::string> pieces;
  std::string logged;  // the pieces run together, as the transcript shows them
};

std::string MaskCaseName(const testing::TestParamInfo<MaskCase>& info) { return info.param.name; }

// What the transcript holds of one direction, without times and markers.
std::string LoggedBytes(const std::string& path, const std::string& direction) {
  std::ifstream file(path);
  std::string line;
  std::string bytes;
  while (std::getline(file, line)) {
    const size_t at = line.find(' ' + direction + ' ');
    if (at != std::string::npos) bytes += line.substr(at + direction.size() + 2);
  }
  return bytes;
}

class PinInTranscript : public testing::TestWithParam<MaskCase> {};

TEST_P(PinInTranscript, NeverShows) {
  const MaskCase& c = GetParam();
  const std::string path = PhoneSimTest::TempPath("transcript.log");
  {
    PhoneSim::CTranscript transcript(path);
    for (const std::string& piece : c.pieces) {
      transcript.Received(piece);
      transcript.Sent(piece);
    }
  }
  EXPECT_EQ(LoggedBytes(path, "<<"), c.logged);
  EXPECT_EQ(LoggedBytes(path, ">>"), c.logged);
}

INSTANTIATE_TEST_SUITE_P(
    Transcript, PinInTranscript,
    testing::Values(
        MaskCase{"Whole", {"AT+CPIN=\"1234\"\r"}, "AT+CPIN=\"****\"\\r"},
        MaskCase{"SplitInThePin", {"AT+CPIN=\"12", "34\"\r"}, "AT+CPIN=\"****\"\\r"},
        MaskCase{"SplitInTheCommand", {"AT+CP", "IN=", "98765432\r"}, "AT+CPIN=****\\r"},
        MaskCase{"LowerCase", {"at+cpin=\"1234\"\r"}, "at+cpin=\"****\"\\r"},
        MaskCase{
            "PukAndNewPin", {"AT+CPIN=\"12345678\",\"4321\"\r"}, "AT+CPIN=\"****\",\"****\"\\r"},
        MaskCase{"OnlyTheCommandLine",
                 {"AT+CPIN=\"1234\"\r", "AT+CPBR=1234\r"},
                 "AT+CPIN=\"****\"\\rAT+CPBR=1234\\r"},
        MaskCase{"QueryKeepsItsAnswer",
                 {"AT+CPIN?\r\r\n+CPIN: 1\r\n"},
                 "AT+CPIN?\\r\\r\\n+CPIN: 1\\r\\n"}),
    MaskCaseName);

TEST(PinInTranscript, NeitherReceivedNorEchoed) {
  const std::string path = PhoneSimTest::TempPath("transcript.log");
  PhoneSim::PhoneState state = PhoneSimTest::LoadTestState("classic.json");
  state.identity.pin = "2468";
  PhoneSim::CPhone phone(state);
  ScriptedPort port("AT+CPIN=\"2468\"\r");
  {
    PhoneSim::CTranscript transcript(path);
    PhoneSim::CSession session(port, phone, {}, &transcript);
    session.Run([] { return false; }, 1);
  }
  EXPECT_EQ(port.written, "AT+CPIN=\"2468\"\r\r\nOK\r\n");
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str().find("2468"), std::string::npos) << text.str();
  EXPECT_EQ(LoggedBytes(path, "<<"), "AT+CPIN=\"****\"\\r");
  EXPECT_EQ(LoggedBytes(path, ">>"), "AT+CPIN=\"****\"\\r\\r\\nOK\\r\\n");
}

}  // namespace
