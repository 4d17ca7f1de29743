#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link/at_engine.h"
#include "link/io_error.h"
#include "phonesim_test_support.h"
#include "simulated_phone.h"

namespace {

using PhoneSim::Faults;
using PhoneSimTest::LoadTestState;

class LinkSession : public PhoneSimTest::SimulatedPhone {
 protected:
  ResponseList Run(const std::string& command) {
    ResponseList responses;
    EXPECT_TRUE(Execute(*m_link, "%s", &responses, command.c_str())) << command;
    return responses;
  }

  std::vector<std::string> ReadWholeBook(int size) {
    std::vector<std::string> lines;
    for (int first = 1; first <= size; first += 5) {
      const ResponseList chunk =
          Run("AT+CPBR=" + std::to_string(first) + "," + std::to_string(std::min(first + 4, size)));
      lines.insert(lines.end(), chunk.begin(), chunk.end());
    }
    return lines;
  }
};

struct HandshakeCase {
  const char* profile;
  bool verboseErrors;
  std::string manufacturer;
  std::string serial;  // "" when only the plain command answers
  std::string charsets;
};

class Handshake : public LinkSession, public testing::WithParamInterface<HandshakeCase> {};

// The start-up sequence of the plug-in, with the fall-backs it takes on each kind of phone.
TEST_P(Handshake, AnswersThePlugInsStartUp) {
  const HandshakeCase& c = GetParam();
  Start(LoadTestState("classic.json", c.profile));
  Run("ATE0");
  ExecuteQuiet(*m_link, "AT+CNMI=2,1,1,2,0", nullptr);
  ResponseList responses;
  EXPECT_EQ(ExecuteQuiet(*m_link, "AT+CMEE=2", &responses), c.verboseErrors);
  if (!c.verboseErrors) {
    EXPECT_TRUE(ExecuteQuiet(*m_link, "AT+CMEE=1", nullptr));
  }
  EXPECT_EQ(Run("AT+CGMI"), ResponseList{c.manufacturer});
  const bool hasCgsn = ExecuteQuiet(*m_link, "AT+CGSN", &responses);
  EXPECT_EQ(hasCgsn, !c.serial.empty());
  if (hasCgsn) {
    EXPECT_EQ(responses, ResponseList{c.serial});
  } else {
    EXPECT_EQ(Run("AT+GSN"), ResponseList{"351234567890123"});
  }
  EXPECT_EQ(Run("AT+CSCS=?"), ResponseList{c.charsets});
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, Handshake,
    testing::Values(
        HandshakeCase{"classic", true, "+CGMI: Zantel", "+CGSN: 351234567890123",
                      "+CSCS: (\"GSM\",\"IRA\",\"UCS2\")"},
        HandshakeCase{"bare", false, "Zantel", "", "+CSCS: (\"GSM\",\"IRA\",\"UCS2\")"},
        HandshakeCase{
            "modem", true, "+CGMI: \"Zantel\"", "+CGSN: \"351234567890123\"",
            "+CSCS: (\"IRA\",\"GSM\",\"UCS2\",\"UTF-8\",\"HEX\",\"8859-1\",\"PCCP437\")"}));

TEST_F(LinkSession, EchoedCommandIsNotAResponse) {
  Start(LoadTestState("classic.json"));
  EXPECT_EQ(Run("AT+CPBS?"), ResponseList{"+CPBS: \"SM\",5,250"});
}

TEST_F(LinkSession, ReplyInRandomPiecesReadsTheSame) {
  Faults faults;
  faults.splitSeed = 42;
  Start(LoadTestState("large.json"), faults);
  Run("ATE0");
  const std::vector<std::string> lines = ReadWholeBook(250);
  ASSERT_EQ(lines.size(), 250u);
  EXPECT_EQ(lines[0], "+CPBR: 1,\"+447700900001\",145,\"Bob 001\"");
  EXPECT_EQ(lines[249], "+CPBR: 250,\"+447700900250\",145,\"Anna 250\"");
}

TEST_F(LinkSession, UnsolicitedLinesBetweenReplyLinesAreDropped) {
  Faults faults;
  faults.unsolicited = {{2, 1, "RING"}, {3, 0, "+CMTI: \"SM\",7"}};
  Start(LoadTestState("classic.json"), faults);
  Run("ATE0");
  const ResponseList expected = {"+CPBR: 1,\"+447700900001\",145,\"Anna Schmidt\"",
                                 "+CPBR: 2,\"+447700900002\",145,\"Bob\""};
  EXPECT_EQ(Run("AT+CPBR=1,3"), expected);
  EXPECT_EQ(Run("AT+CPBR=1,3"), expected);
  EXPECT_EQ(Run("AT+CPBS?"), ResponseList{"+CPBS: \"SM\",5,250"});
}

TEST_F(LinkSession, RefusedNTimesThenAnswered) {
  Faults faults;
  faults.refusals = {{"at+cpbr=1", 2, "+CME ERROR: 100"}};
  Start(LoadTestState("classic.json"), faults);
  Run("ATE0");
  for (int attempt = 0; attempt < 2; ++attempt) {
    ResponseList responses;
    EXPECT_FALSE(ExecuteQuiet(*m_link, "AT+CPBR=1", &responses));
    EXPECT_EQ(responses, ResponseList{"+CME ERROR: 100"});
  }
  EXPECT_EQ(Run("AT+CPBR=1"), ResponseList{"+CPBR: 1,\"+447700900001\",145,\"Anna Schmidt\""});
}

TEST_F(LinkSession, RefusedOnlyFromTheCommandNamed) {
  Faults faults;
  faults.refusals = {{"AT+CPBR=2", 1, "+CME ERROR: 100", 3}};
  Start(LoadTestState("classic.json"), faults);
  Run("ATE0");
  const ResponseList bob = {"+CPBR: 2,\"+447700900002\",145,\"Bob\""};
  EXPECT_EQ(Run("AT+CPBR=2"), bob);
  ResponseList responses;
  EXPECT_FALSE(ExecuteQuiet(*m_link, "AT+CPBR=2", &responses));
  EXPECT_EQ(responses, ResponseList{"+CME ERROR: 100"});
  EXPECT_EQ(Run("AT+CPBR=2"), bob);
}

TEST_F(LinkSession, RefusedWriteIsNotCarriedOut) {
  Faults faults;
  faults.refusals = {{"AT+CPBW", 1, "+CME ERROR: 0"}};
  Start(LoadTestState("classic.json"), faults);
  Run("ATE0");
  EXPECT_FALSE(ExecuteQuiet(*m_link, "AT+CPBW=3,\"1\",129,\"x\"", nullptr));
  EXPECT_EQ(Run("AT+CPBR=3"), ResponseList{});
  EXPECT_TRUE(ExecuteQuiet(*m_link, "AT+CPBW=3,\"1\",129,\"x\"", nullptr));
  EXPECT_EQ(Run("AT+CPBR=3"), ResponseList{"+CPBR: 3,\"1\",129,\"x\""});
}

struct UnstoredCase {
  PhoneSim::UnstoredWrites fault;
  ResponseList held;  // the locations held afterwards
};

class UnstoredWrites : public LinkSession, public testing::WithParamInterface<UnstoredCase> {};

// Commands 2, 4 and 5 store, command 6 erases; the test form in between is no write.
TEST_P(UnstoredWrites, AreAcknowledgedAndLostInTheirWindowOnly) {
  Faults faults;
  faults.unstoredWrites = GetParam().fault;
  Start(LoadTestState("classic.json"), faults);
  Run("ATE0");
  Run("AT+CPBW=3,\"3\",129,\"c\"");
  EXPECT_EQ(Run("AT+CPBW=?"), ResponseList{"+CPBW: (1-250),40,(129,145),18"});
  Run("AT+CPBW=5,\"5\",129,\"e\"");
  Run("AT+CPBW=6,\"6\",129,\"f\"");
  Run("AT+CPBW=1");
  ResponseList held;
  for (const std::string& line : Run("AT+CPBR=1,6")) held.push_back(line.substr(7, 1));
  EXPECT_EQ(held, GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(Faults, UnstoredWrites,
                         testing::Values(UnstoredCase{{3, 1}, {"2", "3", "4", "6"}},
                                         UnstoredCase{{1, 0}, {"1", "2", "4"}},
                                         UnstoredCase{{5, 0}, {"1", "2", "3", "4", "5"}}));

// Written while the session waits for a command, and taken for the command that follows.
TEST_F(LinkSession, ChangeIsInPlaceForTheNextCommand) {
  const std::string path = PhoneSimTest::TempPath("change.json");
  m_pollMs = 1000;  // the quiet session looks too seldom to take the change first
  Start(LoadTestState("classic.json"), {}, "", path);
  Run("ATE0");
  std::ofstream(path + ".part") << R"({"phoneBooks": {"SM": {"3": {"number": "0123"}}}})";
  std::filesystem::rename(path + ".part", path);
  EXPECT_EQ(Run("AT+CPBR=3"), ResponseList{"+CPBR: 3,\"0123\",129,\"\""});
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(LinkSession, SilentPhoneEndsInTheTimeOutPrompt) {
  Faults faults;
  faults.silentAfter = 2;
  Start(LoadTestState("classic.json"), faults);
  Run("ATE0");
  Run("AT");
  m_host.AnswerMessage(1);
  EXPECT_THROW(Execute(*m_link, "AT+CGMI", nullptr), io_error);
  ASSERT_EQ(m_host.Messages().size(), 1u);
  EXPECT_EQ(m_host.Messages()[0].helpTopic, "TimeoutError");
}

TEST_F(LinkSession, HangUpAfterACommandBreaksTheNext) {
  Faults faults;
  faults.hangUpAfter = 2;
  Start(LoadTestState("classic.json"), faults);
  Run("ATE0");
  EXPECT_EQ(Run("AT+CGMI"), ResponseList{"+CGMI: Zantel"});
  m_host.AnswerEveryMessage(1);
  EXPECT_THROW(Execute(*m_link, "AT+CGMM", nullptr), io_error);
  Stop();
  EXPECT_TRUE(m_session->HungUp());
}

TEST_F(LinkSession, HangUpInTheMiddleOfAReply) {
  Faults faults;
  faults.hangUpDuring = 2;
  Start(LoadTestState("large.json"), faults);
  Run("ATE0");
  m_host.AnswerEveryMessage(1);
  ResponseList responses;
  EXPECT_THROW(Execute(*m_link, "AT+CPBR=1,250", &responses), io_error);
  EXPECT_GT(responses.size(), 10u);
  EXPECT_LT(responses.size(), 240u);
}

TEST_F(LinkSession, GarbageBeforeTheReplyReachesTheClient) {
  Faults faults;
  faults.garbage = {{2, "\xFF\x13noise\r\n"}};
  Start(LoadTestState("classic.json"), faults);
  Run("ATE0");
  EXPECT_EQ(Run("AT+CGMI"), (ResponseList{"\xFF\x13noise", "+CGMI: Zantel"}));
  EXPECT_EQ(Run("AT+CGMI"), ResponseList{"+CGMI: Zantel"});
}

TEST_F(LinkSession, SlowLineDeliversEverything) {
  Faults faults;
  faults.bytesPerSecond = 4000;
  faults.latencyMs = 20;
  Start(LoadTestState("classic.json"), faults);
  Run("ATE0");
  EXPECT_EQ(Run("AT+CMGL=4").size(), 10u);
}

// The plug-in's send: the command, the four bytes of the prompt, then the PDU ended by
// Ctrl-Z and the carriage return its engine adds.
TEST_F(LinkSession, SendsAMessageTheWayThePlugInDoes) {
  Start(LoadTestState("classic.json"));
  Run("ATE0");
  ASSERT_TRUE(SendLine(*m_link, "AT+CMG%c=%d", 'S', 18));
  std::string prompt;
  ReadBytes(*m_link, 4, prompt);
  EXPECT_EQ(prompt, "\r\n> ");
  ResponseList responses;
  EXPECT_TRUE(
      ExecuteQuiet(*m_link, "%s\x1A", &responses, "0001000C91447700091032000005C8329BFD06"));
  EXPECT_EQ(responses, ResponseList{"+CMGS: 7"});
  EXPECT_EQ(Run("AT"), ResponseList{});
  Stop();
  ASSERT_EQ(m_state.sent.size(), 1u);
  EXPECT_EQ(m_state.sent[0].pdu, "0001070C91447700091032000005C8329BFD06");
}

TEST_F(LinkSession, SavesAMessageAndListsItAfterwards) {
  Start(LoadTestState("classic.json"));
  Run("ATE0");
  ASSERT_TRUE(SendLine(*m_link, "AT+CMG%c=%d", 'W', 18));
  std::string prompt;
  ReadBytes(*m_link, 4, prompt);
  ResponseList responses;
  EXPECT_TRUE(
      ExecuteQuiet(*m_link, "%s\x1A", &responses, "0001000C91447700091032000005C8329BFD06"));
  EXPECT_EQ(responses, ResponseList{"+CMGW: 4"});
  EXPECT_EQ(Run("AT+CMGR=4"),
            (ResponseList{"+CMGR: 2,,18", "0001000C91447700091032000005C8329BFD06"}));
}

TEST_F(LinkSession, TranscriptHoldsBothDirections) {
  const std::string path = PhoneSimTest::TempPath("transcript.log");
  Start(LoadTestState("classic.json"), {}, path);
  Run("AT+CGMI");
  Stop();
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("<< AT+CGMI\\r"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find(">> AT+CGMI\\r"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find(">> \\r\\n+CGMI: Zantel\\r\\n\\r\\nOK\\r\\n"), std::string::npos)
      << text.str();
}

// A session that only reads leaves 250 entries and 40 messages exactly as they were.
TEST_F(LinkSession, ReadingSessionLeavesTheLargeStateUnchanged) {
  const nlohmann::json original = PhoneSimTest::ReadJson(PhoneSimTest::DataPath("large.json"));
  Start(PhoneSim::StateFromJson(original));
  Run("ATE0");
  EXPECT_EQ(Run("AT+CPBS?"), ResponseList{"+CPBS: \"SM\",250,250"});
  EXPECT_EQ(ReadWholeBook(250).size(), 250u);
  EXPECT_EQ(Run("AT+CMGL=4").size(), 80u);
  EXPECT_EQ(Run("AT+CMGR=40").size(), 2u);
  Stop();
  const std::string saved = PhoneSimTest::TempPath("large.json");
  PhoneSim::SaveState(m_state, saved);
  EXPECT_EQ(PhoneSimTest::ReadJson(saved), original);
}

}  // namespace
