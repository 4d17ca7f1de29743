#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "open_phone_fixture.h"
#include "phone_facts.h"
#include "platform/clock.h"

// The phone book view's tools as a user meets them through F2: the AT terminal, the clock and
// the capability log, against the simulated phone.
namespace EndToEnd {
namespace {

using Host::EPanel;

// The terminal dialog's items: the frame, 15 scroll-back lines, the command line, OK, Cancel.
constexpr int kFirstLine = 1;
constexpr int kCommandLine = 16;
constexpr int kTerminalOk = 17;
// The capability log dialog's items.
constexpr int kReportName = 2;
constexpr int kProbePhoneBook = 3;
constexpr int kProbeMessages = 4;
constexpr int kProbeOk = 5;

constexpr int kTerminalItem = 2;
constexpr int kClockItem = 3;
constexpr int kCapabilityLogItem = 4;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

PhoneSimulatorSetup StatePhone(const std::string& stateFile, std::string faultsJson = {}) {
  PhoneSimulatorSetup setup = Phone("classic", {}, std::move(faultsJson));
  setup.stateJson = ReadFile(std::string(ZANTEL_TEST_DATA_DIR) + "/phonesim/" + stateFile);
  return setup;
}

// What the phone received after the greeting, which ends with the question for its set.
Commands AfterGreeting(const Commands& commands) {
  for (size_t i = 0; i < commands.size(); ++i) {
    if (commands[i] == "AT+CSCS?") return Commands(commands.begin() + i + 1, commands.end());
  }
  return commands;
}

// The commands in a raw transcript: each ends with its carriage return, the phone's answers
// with CR LF.
Commands CommandsIn(const std::string& transcript) {
  Commands commands;
  std::string line;
  for (char c : transcript) {
    if (c == '\r') {
      if (line.starts_with("AT")) commands.push_back(line);
      line.clear();
    } else if (c != '\n') {
      line.push_back(c);
    }
  }
  return commands;
}

class Tools : public OpenPhone {
 protected:
  Tools() {
    m_folder = std::filesystem::temp_directory_path() /
               ("zantel-tools-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(m_folder);
  }
  ~Tools() override {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }

  void Open(PhoneSimulatorSetup setup) {
    Load();
    StartPhone(std::move(setup));
    ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
    m_host.Activate(EPanel::Plugin);
    m_openingBoxes = m_host.Messages().size();
  }

  // The boxes shown since the phone was opened (opening shows one while it connects).
  std::vector<Host::ShownMessage> Boxes() const {
    return {m_host.Messages().begin() + static_cast<std::ptrdiff_t>(m_openingBoxes),
            m_host.Messages().end()};
  }

  // Each command typed and confirmed in turn; then the terminal and the menu are left.
  void Terminal(const std::vector<std::string>& commands) {
    m_host.AnswerMenu("Functions").Choose(kTerminalItem);
    for (const std::string& command : commands)
      m_host.AnswerDialog("Terminal").SetText(kCommandLine, command).Close(kTerminalOk);
    m_host.AnswerDialog("Terminal").Escape();
    m_host.AnswerMenu("Functions").Escape();
    m_host.PressKey(kVkF2);
  }

  // The scroll-back of each terminal dialog shown, with the empty lines left out.
  std::vector<std::vector<std::string>> ScrollBacks() const {
    std::vector<std::vector<std::string>> shown;
    for (const Host::ShownDialog& dialog : m_host.Dialogs()) {
      if (dialog.helpTopic != "Terminal") continue;
      EXPECT_EQ(dialog.items.size(), 19u);
      EXPECT_EQ(dialog.items.at(kCommandLine).data, "") << "the command line starts empty";
      EXPECT_EQ(dialog.items.at(kCommandLine).history, "Zantel.Command");
      std::vector<std::string> lines;
      for (int i = kFirstLine; i < kFirstLine + 15; ++i) {
        EXPECT_EQ(dialog.items.at(i).flags, DIF_BOXCOLOR | DIF_SHOWAMPERSAND) << "AT&F shows whole";
        EXPECT_EQ(dialog.items.at(i).y1, 2 + i) << "rows 3 to 17";
        if (!dialog.items.at(i).data.empty()) lines.push_back(dialog.items.at(i).data);
      }
      shown.push_back(lines);
    }
    return shown;
  }

  void SetLogging(bool on, const std::string& file) {
    SetDword("", "WriteLogFile", on ? 1 : 0);
    Platform::CRegKey key = Platform::CRegKey::Create(kSettingsKey);
    ASSERT_TRUE(key.IsOpen());
    key.SetValue("LogFile", Platform::kRegSz,
                 {reinterpret_cast<const uint8_t*>(file.c_str()), file.size() + 1});
  }

  // Runs the capability log with the name it offers (or `name`) and the two choices.
  void Probe(bool phoneBook, bool messages, const std::string& name = {}) {
    m_host.AnswerMenu("Functions").Choose(kCapabilityLogItem);
    auto& dialog = m_host.AnswerDialog("CapabilityLog");
    if (!name.empty()) dialog.SetText(kReportName, name);
    dialog.SetSelected(kProbePhoneBook, phoneBook ? 1 : 0)
        .SetSelected(kProbeMessages, messages ? 1 : 0)
        .Close(kProbeOk);
  }

  std::string Path(const std::string& name) const { return (m_folder / name).string(); }

  std::filesystem::path m_folder;
  size_t m_openingBoxes = 0;
};

// The terminal and the capability log select memories the plug-in does not know of. A deletion
// and an edit in SM afterwards still reach SM's own entries, and nothing else on the phone
// changes.
enum class SelectingTool { CapabilityLog, TerminalSelectingMe };

class AfterATool : public Tools, public testing::WithParamInterface<SelectingTool> {};

TEST_P(AfterATool, DeletionAndEditReachTheStorageShown) {
  Open(StatePhone("classic.json"));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  if (GetParam() == SelectingTool::CapabilityLog) {
    Probe(true, false, Path("probe.log"));
    m_host.AnswerMessage(0);
    m_host.AnswerMenu("Functions").Escape();
    m_host.PressKey(kVkF2);
  } else {
    Terminal({"AT+CPBS=\"ME\""});
  }
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"Bob"}));
  m_host.AnswerMessage(0).Topic("DeleteNumbers");
  m_host.PressKey(kVkF8);
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent("Anna Schmidt"));
  m_host.AnswerDialog("EditItemDlg").SetText(2, "Anna").Close(5);
  m_host.PressKey(kVkF4);
  FinishPhone();

  Facts expected = FactsOf(StatePhone("classic.json").stateJson);
  std::erase(expected, "SM 2 +447700900002 Bob");
  std::replace(expected.begin(), expected.end(), std::string("SM 1 +447700900001 Anna Schmidt"),
               std::string("SM 1 +447700900001 Anna"));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FactsOf(m_phone->SavedState()), expected);
}

INSTANTIATE_TEST_SUITE_P(Tools, AfterATool,
                         testing::Values(SelectingTool::CapabilityLog,
                                         SelectingTool::TerminalSelectingMe),
                         [](const testing::TestParamInfo<SelectingTool>& info) {
                           return info.param == SelectingTool::CapabilityLog ? "CapabilityLog"
                                                                             : "Terminal";
                         });

std::vector<std::string> Numbered(const char* prefix, int first, int last) {
  std::vector<std::string> lines;
  char line[32];
  for (int i = first; i <= last; ++i) {
    std::snprintf(line, sizeof line, "%s%04d", prefix, i);
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// One scenario through the terminal: answers that end in OK, ERROR and +CMS ERROR, a command the
// phone never answers (given up at the time-out prompt), control characters from the phone,
// and a listing longer than the scroll-back.
TEST_F(Tools, TerminalShowsEveryLineUntilTheFinalResult) {
  // The greeting is eleven commands; the terminal's begin with the twelfth.
  Open(StatePhone("large.json", R"({
    "refusals": [{"command": "AT+CSCA", "reply": "+CMS ERROR: 500"}],
    "unsolicited": [{"command": 13, "text": "\u001b[2J\u001b]0;title\u0007RING"}]
  })"));
  m_host.AnswerEveryMessage(CMessageAnswer::kLastButton);  // give up waiting
  Terminal({"AT+CGMI", "AT+NOSUCH", "AT+CSCA?", "hello", "AT+CPBR=1,20"});

  const auto shown = ScrollBacks();
  ASSERT_EQ(shown.size(), 6u);
  EXPECT_EQ(m_host.Dialogs().front().items.front().data, "AT &terminal");
  const std::vector<std::string> afterCsca = {"+CGMI: Zantel", "OK", ".[2J.]0;title.RING", "ERROR",
                                              "+CMS ERROR: 500"};
  EXPECT_EQ(shown[0], std::vector<std::string>{});
  EXPECT_EQ(shown[1], (std::vector<std::string>{"+CGMI: Zantel", "OK"}));
  EXPECT_EQ(shown[2],
            (std::vector<std::string>{"+CGMI: Zantel", "OK", ".[2J.]0;title.RING", "ERROR"}));
  EXPECT_EQ(shown[3], afterCsca);
  EXPECT_EQ(shown[4], afterCsca) << "giving up keeps the scroll-back";
  ASSERT_EQ(shown[5].size(), 15u);
  EXPECT_TRUE(shown[5].front().starts_with("+CPBR: 7,\"+447700900007\",145,")) << shown[5][0];
  EXPECT_TRUE(shown[5][13].starts_with("+CPBR: 20,\"+447700900020\",145,")) << shown[5][13];
  EXPECT_EQ(shown[5].back(), "OK");

  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes().front().helpTopic, "TimeoutError");
  EXPECT_EQ(AfterGreeting(FinishPhone()),
            (Commands{"AT+CGMI", "AT+NOSUCH", "AT+CSCA?", "hello", "AT+CPBR=1,20"}));
}

// A phone that sends more lines than one command may read: the terminal comes back after 1000
// and shows the rest, up to the final result, after the next command.
TEST_F(Tools, TerminalReadsAtMostAThousandLinesForOneCommand) {
  std::string noise;
  for (const std::string& line : Numbered("L", 1, 1200)) {
    for (char c : line + "\r\n") {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(c));
      noise += hex;
    }
  }
  Open(
      StatePhone("classic.json", R"({"garbage": [{"command": 12, "bytes": ")" + noise + R"("}]})"));
  Terminal({"AT+CGMI", "AT"});

  const auto shown = ScrollBacks();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[1], Numbered("L", 986, 1000));
  EXPECT_EQ(shown[2], Joined(Numbered("L", 1188, 1200), {"+CGMI: Zantel", "OK"}));
  EXPECT_EQ(AfterGreeting(FinishPhone()), (Commands{"AT+CGMI", "AT"}));
}

std::string Format(const Platform::SystemTime& time) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d,%02d:%02d:%02d", time.year % 100, time.month,
                time.day, time.hour, time.minute, time.second);
  return text;
}

// The zone the phone should get from this system's own zone, in quarter hours toward zero.
std::string SystemZone() {
  int32_t bias = 0;
  if (!Platform::CurrentTimeZoneBias(bias)) return "+00";
  char text[16];
  std::snprintf(text, sizeof text, "%c%02d", bias > 0 ? '-' : '+', std::abs(bias) / 15);
  return text;
}

struct ClockCase {
  const char* name;
  const char* faults;
  std::vector<std::string> sent;  // what follows AT+CCLK= for each command sent
  bool set;
};

void PrintTo(const ClockCase& c, std::ostream* out) { *out << c.name; }

class Clock : public Tools, public testing::WithParamInterface<ClockCase> {};

TEST_P(Clock, SetsTheLocalTimeWithTheZoneOrWithout) {
  const ClockCase& c = GetParam();
  Open(StatePhone("classic.json", c.faults));
  m_host.AnswerEveryMessage(0);
  m_host.AnswerMenu("Functions").Choose(kClockItem);
  m_host.AnswerMenu("Functions").Escape();
  const std::string before = Format(Platform::LocalTime());
  m_host.PressKey(kVkF2);
  const std::string after = Format(Platform::LocalTime());

  const Commands commands = AfterGreeting(FinishPhone());
  ASSERT_EQ(commands.size(), c.sent.size());
  // The clock ticks on while the test runs: the text must be one of the two read around it.
  const std::string clock = commands.front().substr(9, 17);
  EXPECT_TRUE(clock == before || clock == after) << clock << " not " << before << " or " << after;
  for (size_t i = 0; i < c.sent.size(); ++i) {
    const std::string expected = c.sent[i] == "zone" ? clock + SystemZone() : clock;
    EXPECT_EQ(commands[i], "AT+CCLK=\"" + expected + "\"");
  }
  const Host::ShownMessage& last = m_host.Messages().back();
  if (c.set) {
    EXPECT_EQ(last.items, (std::vector<std::string>{"Information", "The phone's clock is set to",
                                                    clock, "OK"}));
  } else {
    EXPECT_EQ(last.helpTopic, Host::kNoTopic) << "the command-error box";
    EXPECT_EQ(last.items.at(2), "+CME ERROR: 3");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Phones, Clock,
    testing::Values(ClockCase{"TakesTheZone", "", {"zone"}, true},
                    ClockCase{
                        "RefusesTheZone",
                        R"({"refusals": [{"command": "AT+CCLK=", "reply": "+CME ERROR: 3"}]})",
                        {"zone", "plain"},
                        true},
                    ClockCase{"RefusesBoth",
                              R"({"refusals": [{"command": "AT+CCLK=", "times": 2,
                                    "reply": "+CME ERROR: 3"}]})",
                              {"zone", "plain"},
                              false}),
    [](const auto& info) { return std::string(info.param.name); });

const Commands kIdentification = {"AT+CGMM", "AT+CGMI", "AT+CGMR", "AT+CGSN", "AT+CSCS=?"};

// The probe writes its own file whatever the logging settings, starts it afresh each time, and
// leaves the user's logging as it was.
TEST_F(Tools, CapabilityLogWritesOnlyTheLastRunAndLeavesLoggingOff) {
  SetLogging(false, Path("traffic"));
  Open(StatePhone(
      "classic.json",
      R"({"refusals": [{"command": "AT+CPBS=\"DC\""}, {"command": "AT+CPMS=\"SM\""}]})"));
  Probe(true, true);
  m_host.AnswerMessage(0);
  m_host.AnswerMenu("Functions").Escape();
  m_host.PressKey(kVkF2);
  const std::string first = ReadFile(Path("traffic.log"));

  Probe(false, false);
  m_host.AnswerMessage(0);
  m_host.AnswerMenu("Functions").Escape();
  m_host.PressKey(kVkF2);
  Terminal({"AT+CGMI"});  // traffic after the probe goes nowhere

  // Each probe asks what the phone has selected first and selects it again at the end.
  const Commands phoneBook = {"AT+CPBS=?", "AT+CPBS?",  "AT+CPBS=\"SM\"", "AT+CPBS?",
                              "AT+CPBR=?", "AT+CPBW=?", "AT+CPBS=\"ME\"", "AT+CPBS?",
                              "AT+CPBR=?", "AT+CPBW=?", "AT+CPBS=\"DC\"", "AT+CPBS=\"MC\"",
                              "AT+CPBS?",  "AT+CPBR=?", "AT+CPBW=?",      "AT+CPBS=\"RC\"",
                              "AT+CPBS?",  "AT+CPBR=?", "AT+CPBW=?",      "AT+CPBS=\"SM\""};
  const Commands messages = {"AT+CMGF=0", "AT+CMGL=?",      "AT+CPMS=?",
                             "AT+CPMS?",  "AT+CPMS=\"SM\"", "AT+CPMS=\"ME\"",
                             "AT+CPMS?",  "AT+CMGL=4",      "AT+CPMS=\"SM\",\"SM\",\"SM\""};
  const Commands firstRun = Joined(Joined(kIdentification, phoneBook), messages);
  EXPECT_EQ(CommandsIn(first), firstRun);
  EXPECT_NE(first.find("\r\nOK\r\n"), std::string::npos) << "the answers are in the file too";
  EXPECT_EQ(CommandsIn(ReadFile(Path("traffic.log"))), kIdentification);
  EXPECT_FALSE(std::filesystem::exists(Path("traffic")));

  const Host::ShownDialog& dialog = m_host.Dialogs().front();
  EXPECT_EQ(dialog.items.at(kReportName).data, Path("traffic.log"));
  EXPECT_EQ(dialog.items.at(kReportName).history, "Zantel.CapaLog");
  EXPECT_EQ(dialog.items.at(kProbePhoneBook).selected, 1);
  EXPECT_EQ(dialog.items.at(kProbeMessages).selected, 0);
  EXPECT_EQ(m_host.Messages().back().items,
            (std::vector<std::string>{"Zantel mobile phone", "The capability log has been written",
                                      "OK"}));
  EXPECT_EQ(AfterGreeting(FinishPhone()), Joined(Joined(firstRun, kIdentification), {"AT+CGMI"}));
}

// A report file that cannot be made is named in a box before anything is sent, and the user's
// own transcript goes on in the user's own file.
TEST_F(Tools, CapabilityLogReportThatCannotBeMadeIsNamed) {
  SetLogging(true, Path("traffic"));
  Open(StatePhone("classic.json"));
  const std::string missing = Path("no such folder/report.log");
  m_host.AnswerEveryMessage(0);
  Probe(true, false, missing);
  m_host.AnswerMenu("Functions").Escape();
  m_host.PressKey(kVkF2);
  Probe(true, false, "  ");
  m_host.AnswerMenu("Functions").Escape();
  m_host.PressKey(kVkF2);
  const size_t greeting = CommandsIn(ReadFile(Path("traffic"))).size();
  Terminal({"AT+CGMI"});

  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes().back().items,
            (std::vector<std::string>{"Zantel", "Give the log file's name", "OK"}))
      << "no error left over from before";
  const Host::ShownMessage failure = Boxes().front();
  EXPECT_EQ(failure.helpTopic, "SysError");
  EXPECT_EQ(failure.items,
            (std::vector<std::string>{"Zantel", "The file could not be written", missing, "OK"}));
  EXPECT_FALSE(failure.errorText.empty());
  const Commands logged = CommandsIn(ReadFile(Path("traffic")));
  EXPECT_EQ(logged.size(), greeting + 1);
  EXPECT_EQ(logged.back(), "AT+CGMI") << "logging stays on, to the same file";
  EXPECT_EQ(AfterGreeting(FinishPhone()), Commands{"AT+CGMI"}) << "nothing probed";
}

// A link that fails half-way through the probe: the failure is shown, the wait box is gone, and
// the user's logging settings are back.
TEST_F(Tools, CapabilityLogLinkFailureRestoresLogging) {
  SetLogging(true, Path("traffic"));
  // The greeting is eleven commands: the phone falls silent after the probe's second.
  PhoneSimulatorSetup silent = StatePhone("classic.json");
  silent.options = {"--silent-after", "13"};
  Open(silent);
  std::filesystem::remove(Path("traffic"));
  m_host.AnswerEveryMessage(CMessageAnswer::kLastButton);  // give up waiting; OK
  Probe(true, true);
  m_host.AnswerMenu("Functions").Escape();  // the menu comes back after the failure
  m_host.PressKey(kVkF2);
  const std::string report = ReadFile(Path("traffic.log"));
  Terminal({"AT+CGMI"});

  EXPECT_EQ(CommandsIn(report), (Commands{"AT+CGMM", "AT+CGMI", "AT+CGMR"}));
  EXPECT_EQ(ReadFile(Path("traffic.log")), report) << "nothing more went to the report";
  EXPECT_EQ(CommandsIn(ReadFile(Path("traffic"))), Commands{"AT+CGMI"})
      << "the user's transcript goes on in the user's file";
  std::vector<std::string> topics;
  for (const auto& box : Boxes()) topics.push_back(box.helpTopic);
  EXPECT_EQ(topics, (std::vector<std::string>{"", "TimeoutError", "SysError", "TimeoutError"}))
      << "the wait box, the probe's time-out and failure, the terminal's time-out";
  EXPECT_EQ(m_host.Messages()[m_openingBoxes + 2].items.at(1), "Cannot read from the phone");
  EXPECT_EQ(m_host.OpenScreens(), 0u) << "the wait box is gone";
  FinishPhone();
}

}  // namespace
}  // namespace EndToEnd
