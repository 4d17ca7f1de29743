#include "link/at_engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fake_host.h"
#include "farlib/message_ids.h"
#include "link/io_error.h"
#include "scripted_connection.h"

namespace {

struct TransactionCase {
  const char* name;
  std::string command;
  std::string reply;
  bool ok;
  std::vector<std::string> responses;
};

void PrintTo(const TransactionCase& c, std::ostream* out) { *out << c.name; }

class AtEngineTransaction : public testing::TestWithParam<TransactionCase> {};

// Failures never reach the command-error box here: ExecuteQuiet shows nothing.
TEST_P(AtEngineTransaction, CollectsIntermediateLines) {
  const TransactionCase& c = GetParam();
  CFakeHost host;
  CScriptedConnection phone;
  phone.Expect(c.command + "\r", c.reply);
  ResponseList responses = {"left over from an earlier command"};
  EXPECT_EQ(ExecuteQuiet(phone, "%s", &responses, c.command.c_str()), c.ok);
  EXPECT_EQ(responses, c.responses);
  EXPECT_TRUE(phone.ScriptDone());
  EXPECT_TRUE(host.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, AtEngineTransaction,
    testing::Values(
        TransactionCase{
            "EchoDropped", "AT+CGMI", "AT+CGMI\r\r\nNokia\r\n\r\nOK\r\n", true, {"Nokia"}},
        TransactionCase{"EchoInOtherCaseKept",
                        "AT+CGMI",
                        "at+cgmi\r\r\nNokia\r\nOK\r\n",
                        true,
                        {"at+cgmi", "Nokia"}},
        TransactionCase{"OnlyFirstLineIsEcho", "AT", "RING\r\nAT\r\nOK\r\n", true, {"AT"}},
        TransactionCase{"NoEcho", "AT+CGMM", "\r\n6310i\r\n\r\nOK\r\n", true, {"6310i"}},
        TransactionCase{
            "UnsolicitedCodesBetweenLines",
            "AT+CPBR=1,3",
            "\r\n+CPBR: 1,\"1\",129,\"A\"\r\nRING\r\n+CPBR: 2,\"2\",129,\"B\"\r\n"
            "+CMTI: \"SM\",3\r\n+CPBR: 3,\"3\",129,\"C\"\r\n\r\nOK\r\n",
            true,
            {"+CPBR: 1,\"1\",129,\"A\"", "+CPBR: 2,\"2\",129,\"B\"", "+CPBR: 3,\"3\",129,\"C\""}},
        TransactionCase{"EveryNoticeDroppedAndOnlyThem",
                        "AT",
                        "+CMT: ,24\r\n+CBM: 88\r\n+CBMI: \"BM\",1\r\n+CDS: 25\r\nRINGING\r\n"
                        "+CRING: VOICE\r\n+CLIP: \"+4470001\",145\r\n+CUSD: 0\r\n+CEREG: 1\r\n"
                        "+CIEV: 2,3\r\n+CGREG: 1\r\n+NOSUCH: 1\r\nOK\r\n",
                        true,
                        {"RINGING", "+NOSUCH: 1"}},
        TransactionCase{"DeliveryReportNoticeAndVendorLinesDropped",
                        "AT+CGMI",
                        "+CDSI: \"SR\",3\r\n*RADIOPOWER: 1\r\n+CGMI: \"Marvell\"\r\n"
                        "^RSSI:17\r\n^BOOT:1,0,0\r\nOK\r\n",
                        true,
                        {"+CGMI: \"Marvell\""}},
        TransactionCase{"AnotherCommandsCodeIsANotice",
                        "AT+CPBR=1",
                        "+CREG: 1\r\n+CPBR: 1,\"1\",129,\"A\"\r\n+CSQ: 17,99\r\nOK\r\n",
                        true,
                        {"+CPBR: 1,\"1\",129,\"A\""}},
        TransactionCase{"TheCommandsOwnCodeIsTheAnswer",
                        "AT+CREG?",
                        "+CREG: 0,1\r\nOK\r\n",
                        true,
                        {"+CREG: 0,1"}},
        TransactionCase{"OlderFormAnsweredInTheNewer",
                        "AT+GMI",
                        "+CGMI: Nokia\r\nOK\r\n",
                        true,
                        {"+CGMI: Nokia"}},
        TransactionCase{
            "ThePduOfANewMessageGoesWithItsNotice",
            "AT+CMGL=4",
            "+CMGL: 1,1,,23\r\n0791447728008000\r\n+CMT: ,23\r\n07914477\r\n"
            "+CDS: 25\r\n0006\r\n+CMGL: 2,1,,23\r\n0791447728008001\r\nOK\r\n",
            true,
            {"+CMGL: 1,1,,23", "0791447728008000", "+CMGL: 2,1,,23", "0791447728008001"}},
        TransactionCase{"CarriageReturnsAloneEndLines",
                        "AT+CGSN",
                        "\r888888888888888\r\rOK\r",
                        true,
                        {"888888888888888"}},
        TransactionCase{"CmeErrorLastInList",
                        "AT+CPBS=\"XX\"",
                        "\r\nA\r\n+CME ERROR: 10\r\n",
                        false,
                        {"A", "+CME ERROR: 10"}},
        TransactionCase{
            "CmsErrorFails", "AT+CMGR=1", "+CMS ERROR: 321\r\n", false, {"+CMS ERROR: 321"}},
        TransactionCase{"ErrorWithTrailingBlanksFails", "AT+X", "ERROR  \t\r\n", false, {"ERROR"}},
        TransactionCase{"BlankBeforeOkIsIntermediate", "AT", " OK\r\nOK\r\n", true, {" OK"}},
        TransactionCase{"LookalikesAreIntermediate",
                        "AT",
                        "OKAY\r\nERRORS\r\n+CME: 3\r\nOK\r\n",
                        true,
                        {"OKAY", "ERRORS", "+CME: 3"}},
        TransactionCase{
            "EmptyLinesNeverListed", "AT", "\r\n\r\nA\r\n \r\n\r\r\nOK\r\n", true, {"A"}},
        TransactionCase{
            "TrailingBlanksStrippedLeadingKept", "AT", "A \t\r\n  B\r\nOK\r\n", true, {"A", "  B"}},
        TransactionCase{"BareLineFeeds", "AT", "Nokia\nOK\n", true, {"Nokia"}}),
    [](const testing::TestParamInfo<TransactionCase>& info) { return info.param.name; });

TEST(AtEngine, RefusalShowsCommandErrorBox) {
  CFakeHost host;
  host.AnswerMessage(0);
  CScriptedConnection phone;
  phone.Expect("AT+CPBS=\"XX\"\r", "AT+CPBS=\"XX\"\r\r\n+CME ERROR: 21\r\n");
  ResponseList responses;
  EXPECT_FALSE(Execute(phone, "AT+CPBS=\"%s\"", &responses, "XX"));
  EXPECT_TRUE(responses.empty());
  ASSERT_EQ(host.Messages().size(), 1u);
  const CFakeHost::ShownMessage& box = host.Messages()[0];
  EXPECT_EQ(box.flags, 0u);
  EXPECT_EQ(box.helpTopic, "(none)");
  EXPECT_EQ(box.items,
            (std::vector<std::string>{"Zantel", "AT+CPBS=\"XX\"", "+CME ERROR: 21", "OK"}));
  EXPECT_EQ(box.buttons, 1);
}

TEST(AtEngine, WorksWithoutResponseList) {
  CFakeHost host;
  CScriptedConnection phone;
  phone.Expect("AT+CSCS=\"UCS2\"\r", "\r\nignored\r\nOK\r\n");
  EXPECT_TRUE(Execute(phone, "AT+CSCS=\"%s\"", nullptr, "UCS2"));
  EXPECT_TRUE(phone.ScriptDone());
}

TEST(AtEngine, PercentInArgumentIsSentLiterally) {
  CFakeHost host;
  CScriptedConnection phone;
  phone.Expect("AT+CPBW=1,\"50%d\"\r", "OK\r\n");
  EXPECT_TRUE(Execute(phone, "AT+CPBW=%d,\"%s\"", nullptr, 1, "50%d"));
}

TEST(AtEngine, LongestCommandIsSentWhole) {
  CFakeHost host;
  CScriptedConnection phone;
  const std::string command = "AT" + std::string(kMaxCommandLength - 2, 'A');
  phone.Expect(command + "\r", "OK\r\n");
  EXPECT_TRUE(Execute(phone, "%s", nullptr, command.c_str()));
}

TEST(AtEngine, TooLongCommandIsRefusedNotCut) {
  CFakeHost host;
  host.AnswerMessage(0);
  CScriptedConnection phone;
  const std::string command = "AT" + std::string(kMaxCommandLength - 1, 'A');
  EXPECT_FALSE(Execute(phone, "%s", nullptr, command.c_str()));
  EXPECT_TRUE(phone.Sent().empty());
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].items[2], "The command is longer than 4094 characters");

  ResponseList responses = {"stale"};
  EXPECT_FALSE(ExecuteQuiet(phone, "%s", &responses, command.c_str()));
  EXPECT_EQ(responses, ResponseList{"The command is longer than 4094 characters"});
  host.AnswerMessage(0);
  EXPECT_FALSE(SendLine(phone, "%s", command.c_str()));
  EXPECT_TRUE(phone.Sent().empty());
}

TEST(AtEngine, EndlessLineIsCutIntoPieces) {
  CFakeHost host;
  CScriptedConnection phone;
  const size_t total = 3 * kMaxResponseLineLength + 100;
  phone.Expect("AT\r", std::string(total, 'x') + "\r\nOK\r\n");
  ResponseList responses;
  EXPECT_TRUE(Execute(phone, "AT", &responses));
  ASSERT_EQ(responses.size(), 4u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(responses[i].size(), kMaxResponseLineLength);
  EXPECT_EQ(responses[3], std::string(100, 'x'));
}

TEST(AtEngine, SendLineWaitsForNothing) {
  CFakeHost host;
  CScriptedConnection phone;
  phone.Expect("AT+CMGS=23\r", "\r\n> ");
  EXPECT_TRUE(SendLine(phone, "AT+CMG%c=%d", 'S', 23));
  EXPECT_EQ(phone.ReadCalls(), 0u);
  std::string prompt;
  ReadBytes(phone, 4, prompt);
  EXPECT_EQ(prompt, "\r\n> ");
  EXPECT_EQ(phone.ReadCalls(), 4u);
  EXPECT_TRUE(phone.ScriptDone());
}

TEST(AtEngine, ReadLineReadsOneByteAtATime) {
  CFakeHost host;
  CScriptedConnection phone;
  phone.Expect("AT\r", "\r\nAB\r\nrest");
  SendLine(phone, "AT");
  std::string line;
  ReadLine(phone, line);
  EXPECT_EQ(line, "AB");
  EXPECT_EQ(phone.ReadCalls(), 4u) << "each line feed goes with the carriage return before it";
}

// A link that returns empty-handed instead of throwing: waiting on it would never end.
class CEmptyHandedConnection : public CConnection {
 public:
  CEmptyHandedConnection() : CConnection(HostLinkUser()) {}
  void Read(void*, uint32_t& count) override { count = 0; }
  void Write(const void*, uint32_t) override {}
};

TEST(AtEngine, NothingReadEndsTheWaitAsATimeOut) {
  CFakeHost host;
  CEmptyHandedConnection phone;
  ResponseList responses;
  std::string bytes;
  const std::vector<std::function<void()>> waits = {
      [&] { Execute(phone, "AT", &responses); },
      [&] { ReadBytes(phone, 2, bytes); },
  };
  for (const auto& wait : waits) {
    try {
      wait();
      ADD_FAILURE() << "the wait ended without a failure";
    } catch (const io_error& error) {
      EXPECT_EQ(error.Code(), 1460u);
      EXPECT_STREQ(error.what(), "Cannot read from the phone");
    }
  }
}

// A phone that sends `pattern` over and over, `times` times (for ever when none), then `tail`.
class CRepeatingPhone : public CConnection {
 public:
  CRepeatingPhone(std::string pattern, std::optional<size_t> times, std::string tail)
      : CConnection(HostLinkUser()),
        m_pattern(std::move(pattern)),
        m_times(times),
        m_tail(std::move(tail)) {}
  void Read(void* buffer, uint32_t& count) override {
    // An engine without a limit would read on for ever: the test ends it instead.
    if (sent > 2 * kMaxAnswerLength) throw io_error("read on past any limit", 0);
    auto* out = static_cast<char*>(buffer);
    for (uint32_t i = 0; i < count; ++i) out[i] = Next();
    sent += count;
  }
  void Write(const void*, uint32_t) override {}
  size_t sent = 0;

 private:
  char Next() {
    if (m_times && m_repeat == *m_times) {
      if (m_next == m_tail.size()) throw io_error("the phone has nothing more", 0);
      return m_tail[m_next++];
    }
    const char c = m_pattern[m_next++];
    if (m_next == m_pattern.size()) {
      m_next = 0;
      ++m_repeat;
    }
    return c;
  }
  std::string m_pattern;
  std::optional<size_t> m_times;
  std::string m_tail;
  size_t m_next = 0;
  size_t m_repeat = 0;
};

struct EndlessCase {
  const char* name;
  std::string pattern;
  bool readLineOnly;
};

// A phone that never stops talking and never ends its answer fails the read as a faulty device
// once it has sent more than any answer holds, whatever it repeats.
TEST(AtEngine, EndlessAnswerFailsAfterItsLimit) {
  const std::vector<EndlessCase> cases = {
      {"lines", "+CPBR: 1,\"+447700900123\",145,\"Ann\"\r\n", false},
      {"unsolicited codes", "RING\r\n", false},
      {"one line without end", "x", false},
      {"blank lines to a command", "\r\n", false},
      {"blank lines to ReadLine", "\r\n", true},
  };
  for (const EndlessCase& c : cases) {
    SCOPED_TRACE(c.name);
    CFakeHost host;
    CRepeatingPhone phone(c.pattern, std::nullopt, "");
    ResponseList responses;
    std::string line;
    try {
      if (c.readLineOnly) {
        ReadLine(phone, line);
      } else {
        Execute(phone, "AT+CPBR=1,250", &responses);
      }
      ADD_FAILURE() << "the answer ended";
    } catch (const io_error& error) {
      EXPECT_EQ(error.Code(), 31u);
      EXPECT_STREQ(error.what(), "Cannot read from the phone");
    }
    EXPECT_GT(phone.sent, kMaxAnswerLength);
    EXPECT_LE(phone.sent, kMaxAnswerLength + kMaxResponseLineLength + 1);
  }
  // An answer just within the limit is whole.
  CFakeHost host;
  const std::string entry = "+CPBR: 1,\"+447700900123\",145,\"Ann\"\r\n";
  CRepeatingPhone phone(entry, (kMaxAnswerLength - 6) / entry.size(), "OK\r\n");
  ResponseList responses;
  EXPECT_TRUE(Execute(phone, "AT+CPBR=1,250", &responses));
  EXPECT_EQ(responses.size(), (kMaxAnswerLength - 6) / entry.size());
}

// The partner of a phone whose SIM card waits for its PIN: it answers the PIN questions in turn
// (nothing is Escape), notes what it was asked and shown, and keeps the transcript.
class CPinUser : public CLinkUser {
 public:
  explicit CPinUser(std::vector<std::optional<std::string>> pins) : m_pins(std::move(pins)) {}
  bool KeepWaiting(int) override { return false; }
  void ShowCommandError(const std::string& command, const std::string& reason) override {
    shown.push_back("refused " + command + ": " + reason);
  }
  std::string Text(LinkText) override { return "link failure"; }
  void LogTraffic(const void* bytes, size_t count) override {
    transcript.append(static_cast<const char*>(bytes), count);
  }
  std::optional<std::string> AskSimPin(const std::string& refusal) override {
    shown.push_back("PIN? " + refusal);
    if (m_next == m_pins.size()) {
      ADD_FAILURE() << "asked for the PIN once too often";
      return std::nullopt;
    }
    return m_pins[m_next++];
  }
  void ShowSimBlocked(const std::string& command, const std::string& reason) override {
    shown.push_back("blocked " + command + ": " + reason);
  }

  std::vector<std::string> shown;
  std::string transcript;

 private:
  std::vector<std::optional<std::string>> m_pins;
  size_t m_next = 0;
};

struct Exchange {
  std::string written;  // without its carriage return
  std::string reply;
};

struct SimPinCase {
  const char* name;
  bool quiet;
  std::vector<std::optional<std::string>> pins;
  std::vector<Exchange> exchanges;  // the first is the command the caller runs
  bool ok;
  ResponseList responses;
  std::vector<std::string> shown;
};

void PrintTo(const SimPinCase& c, std::ostream* out) { *out << c.name; }

// The phone echoes every command, so the PIN comes back one byte per read.
Exchange Echoed(const std::string& command, const std::string& answer) {
  return {command, command + "\r\r\n" + answer + "\r\n"};
}

const std::string kPinRequired = "+CME ERROR: SIM PIN required";
const std::string kStorages = "+CPBS: (\"SM\",\"ME\")";

class AtEngineSimPin : public testing::TestWithParam<SimPinCase> {};

TEST_P(AtEngineSimPin, AsksForThePinAndRepeatsTheCommandWithoutLoggingThePin) {
  const SimPinCase& c = GetParam();
  CPinUser user(c.pins);
  CScriptedConnection phone(user);
  std::string expectedTranscript;
  for (const Exchange& exchange : c.exchanges) {
    phone.Expect(exchange.written + "\r", exchange.reply);
    expectedTranscript += exchange.written + "\r" + exchange.reply;
  }
  for (const std::optional<std::string>& pin : c.pins) {
    if (!pin) continue;
    const std::string quoted = "\"" + *pin + "\"";
    for (size_t at = expectedTranscript.find(quoted); at != std::string::npos;
         at = expectedTranscript.find(quoted, at)) {
      expectedTranscript.replace(at, quoted.size(), "\"****\"");
    }
  }
  const std::string command = c.exchanges.front().written;
  ResponseList responses;
  const bool ok = c.quiet ? ExecuteQuiet(phone, "%s", &responses, command.c_str())
                          : Execute(phone, "%s", &responses, command.c_str());
  EXPECT_EQ(ok, c.ok);
  EXPECT_EQ(responses, c.responses);
  EXPECT_EQ(user.shown, c.shown);
  EXPECT_TRUE(phone.ScriptDone());
  EXPECT_EQ(user.transcript, expectedTranscript);
}

INSTANTIATE_TEST_SUITE_P(
    Cards, AtEngineSimPin,
    testing::Values(SimPinCase{"RightPin",
                               false,
                               {"1234"},
                               {Echoed("AT+CPBS=?", kPinRequired), Echoed("AT+CPIN=\"1234\"", "OK"),
                                Echoed("AT+CPBS=?", kStorages + "\r\n\r\nOK")},
                               true,
                               {kStorages},
                               {"PIN? "}},
                    SimPinCase{"WrongThenRightWithNumericErrors",
                               false,
                               {"00000000", "4321"},
                               {Echoed("AT+CPBS=?", "+CME ERROR: 11"),
                                Echoed("AT+CPIN=\"00000000\"", "+CME ERROR: 16"),
                                Echoed("AT+CPIN=\"4321\"", "OK"),
                                Echoed("AT+CPBS=?", kStorages + "\r\nOK")},
                               true,
                               {kStorages},
                               {"PIN? ", "PIN? +CME ERROR: 16"}},
                    SimPinCase{"QuietCommandAsksToo",
                               true,
                               {"1234"},
                               {Echoed("AT+CIMI", kPinRequired), Echoed("AT+CPIN=\"1234\"", "OK"),
                                Echoed("AT+CIMI", "234150123456789\r\n\r\nOK")},
                               true,
                               {"234150123456789"},
                               {"PIN? "}},
                    SimPinCase{"EscapeLeavesTheCommandRefused",
                               false,
                               {"1111", std::nullopt},
                               {Echoed("AT+CPBS=?", kPinRequired),
                                Echoed("AT+CPIN=\"1111\"", "+CME ERROR: incorrect password")},
                               false,
                               {},
                               {"PIN? ", "PIN? +CME ERROR: incorrect password",
                                "refused AT+CPBS=?: " + kPinRequired}},
                    SimPinCase{"QuietEscapeListsTheRefusal",
                               true,
                               {std::nullopt},
                               {Echoed("AT+CIMI", "+CME ERROR: 11")},
                               false,
                               {"+CME ERROR: 11"},
                               {"PIN? "}},
                    SimPinCase{"NotDigitsNeverSent",
                               false,
                               {"12\"4"},
                               {Echoed("AT+CPBS=?", kPinRequired)},
                               false,
                               {},
                               {"PIN? ", "refused AT+CPBS=?: " + kPinRequired}},
                    SimPinCase{"WrongPinsUntilThePukIsWanted",
                               false,
                               {"1111", "2222", "3333"},
                               {Echoed("AT+CPBS=?", kPinRequired),
                                Echoed("AT+CPIN=\"1111\"", "+CME ERROR: incorrect password"),
                                Echoed("AT+CPIN=\"2222\"", "+CME ERROR: incorrect password"),
                                Echoed("AT+CPIN=\"3333\"", "+CME ERROR: SIM PUK required")},
                               false,
                               {},
                               {"PIN? ", "PIN? +CME ERROR: incorrect password",
                                "PIN? +CME ERROR: incorrect password",
                                "blocked AT+CPBS=?: +CME ERROR: SIM PUK required"}},
                    SimPinCase{"PukWantedAtOnce",
                               true,
                               {},
                               {Echoed("AT+CIMI", "+CME ERROR: 12")},
                               false,
                               {"+CME ERROR: 12"},
                               {"blocked AT+CIMI: +CME ERROR: 12"}}),
    [](const testing::TestParamInfo<SimPinCase>& info) { return info.param.name; });

struct QuotedTextCase {
  const char* name;
  std::string text;
  bool fits;
};

void PrintTo(const QuotedTextCase& c, std::ostream* out) { *out << c.name; }

class AtEngineQuotedText : public testing::TestWithParam<QuotedTextCase> {};

TEST_P(AtEngineQuotedText, FitsInQuotesOnlyWithoutWhatEndsTheFieldOrTheCommand) {
  EXPECT_EQ(FitsInQuotes(GetParam().text), GetParam().fits);
}

INSTANTIATE_TEST_SUITE_P(Texts, AtEngineQuotedText,
                         testing::Values(QuotedTextCase{"Empty", "", true},
                                         QuotedTextCase{"Storage", "SM", true},
                                         QuotedTextCase{"TabAndComma", "Ann\t, 2", true},
                                         QuotedTextCase{"Quote", "A\"B", false},
                                         QuotedTextCase{"CarriageReturn", "A\rAT+CPBW=1", false},
                                         QuotedTextCase{"LineFeed", "A\n", false},
                                         QuotedTextCase{"Zero", std::string("A\0B", 3), false}),
                         [](const testing::TestParamInfo<QuotedTextCase>& info) {
                           return info.param.name;
                         });

TEST(AtEngine, AddressType) {
  EXPECT_EQ(AddressType(""), 128);
  EXPECT_EQ(AddressType("+79001234567"), 145);
  EXPECT_EQ(AddressType("89001234567"), 129);
  EXPECT_EQ(AddressType("*100#"), 129);
}

}  // namespace
