#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <random>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "classic_phone.h"
#include "open_phone_fixture.h"
#include "phone_facts.h"

// Every phone operation a user can start, each against every way the phone or the line can
// fail while the operation talks to it. Whatever happens: no crash, no hang, the box that fits
// the failure, and the phone holds what the user was told (the change when the operation was
// reported done, the phone as it was when a failure was shown).
namespace EndToEnd {
namespace {

using Host::EPanel;

// Marks a fact that stands for any new message.
const std::string kAnyPdu = "pdu *";

// What the phone answers a command it refuses.
const std::string kRefusal = "+CME ERROR: 100";

const std::string kBob = "SM 2 +447700900002 Bob";
const std::string kSmsFromAnna =
    "pdu 0791447700090000040C914477000900100000503012900000000FC8329BFD0699E5EF3628E8768701";

// The classic phone, answering as it was told to misbehave: "after" is the number of commands
// sent before the one the fault falls on.
struct Fault {
  const char* name;
  std::function<void(PhoneSimulatorSetup&, int after)> apply;
  // kNothingKept: the phone took the operation's first phone-book write and did not keep it.
  enum EOutcome { kDone, kSystemError, kCommandError, kNothingKept } outcome;
  int answer = CMessageAnswer::kLastButton;  // at a time-out: keep waiting (0) or give up
  // A fault that falls on one command can be moved onto each command a preparation sends; the
  // others spoil the whole line alike.
  bool keyed = true;
  int earliest = 1;  // the first command it can fall on
  // Comes only before the "> " prompt of AT+CMGS and AT+CMGW: only sending and saving a
  // message meet it.
  bool atPromptOnly = false;
};

void AddFaults(PhoneSimulatorSetup& setup, const std::string& json) { setup.faultsJson = json; }

const std::vector<Fault> kFaults = {
    {"Sound", [](PhoneSimulatorSetup&, int) {}, Fault::kDone, CMessageAnswer::kLastButton, false},
    {"SilentThenGivenUp",
     [](PhoneSimulatorSetup& s, int after) {
       // Zero would be a phone that never falls silent: opening loses its first answer.
       s.options = {"--silent-after", std::to_string(std::max(after, 1))};
     },
     Fault::kSystemError, CMessageAnswer::kLastButton, true, 2},
    // The simulator does not speak again once silent: a phone slower than the time-out, waited
    // for at every prompt, is the same wait from the user's side. The preparation runs at full
    // speed; from the operation on, every answer comes after the time-out.
    {"SlowThenWaitedFor",
     [](PhoneSimulatorSetup& s, int after) {
       AddFaults(s, R"({"latencyMs": 1300, "latencyFrom": )" + std::to_string(after + 1) + "}");
       s.maxSeconds = 90;
     },
     Fault::kDone, 0, false},
    {"HangUpMidReply",
     [](PhoneSimulatorSetup& s, int after) {
       s.options = {"--hang-up-during", std::to_string(after + 1)};
     },
     Fault::kSystemError},
    {"Garbage",
     [](PhoneSimulatorSetup& s, int after) {
       AddFaults(s, R"({"garbage": [{"command": )" + std::to_string(after + 1) +
                        R"(, "bytes": "00FF1B5B324A0D0A"}]})");
     },
     Fault::kDone},
    {"SplitReplies",
     [](PhoneSimulatorSetup& s, int) {
       s.options = {"--split-seed", "11"};
     },
     Fault::kDone, CMessageAnswer::kLastButton, false},
    {"RingAndNewMessageBetweenLines",
     [](PhoneSimulatorSetup& s, int after) {
       const std::string at = std::to_string(after + 1);
       AddFaults(s, R"({"unsolicited": [{"command": )" + at +
                        R"(, "every": 1, "text": "RING"}, {"command": )" + at +
                        R"(, "every": 2, "text": "+CMTI: \"SM\",9"}]})");
     },
     Fault::kDone},
    // A delivery report of an earlier message and a modem's signal report, while the phone
    // is about to take the message.
    {"NoticesBeforePrompt",
     [](PhoneSimulatorSetup& s, int) {
       AddFaults(s,
                 R"({"unsolicited": [)"
                 R"({"command": 1, "every": 1, "at": "beforePrompt", "text": "+CDSI: \"SR\",3"},)"
                 R"( {"command": 1, "every": 1, "at": "beforePrompt", "text": "^RSSI:17"}]})");
     },
     Fault::kDone, CMessageAnswer::kLastButton, false, 1, true},
    {"Refused", {}, Fault::kCommandError},
    {"WritesAcknowledgedNotKept",
     [](PhoneSimulatorSetup& s, int after) {
       AddFaults(
           s, R"({"unstoredWrites": {"from": )" + std::to_string(after + 1) + R"(, "times": 1}})");
     },
     Fault::kNothingKept},
};

class FaultMatrix;

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

// One thing a user does. `prepare` brings the plug-in to where the user starts it, on a sound
// line; `act` is the operation. `refused` starts the command line the phone refuses; `removed`
// and `added` are what the phone holds differently once the operation is done.
struct Operation {
  std::string name;
  int prepared;  // commands the preparation sends
  std::function<void(FaultMatrix&)> prepare;
  std::function<void(FaultMatrix&)> act;
  std::string refused;
  Facts removed;
  Facts added;
  // Where the operation shows the phone's answers itself, beside the message boxes.
  std::function<std::string(FaultMatrix&)> shownElsewhere = {};
  // Giving up at the time-out prompt ends the operation with nothing more to tell.
  bool givingUpIsTold = false;
  // The command line the fault falls on, when the case names it.
  std::string hits = {};
  // What the user is shown when the phone refuses: a preparation gets over some refusals.
  Fault::EOutcome refusal = Fault::kCommandError;
};

class FaultMatrix : public OpenPhone,
                    public testing::WithParamInterface<std::tuple<Operation, Fault>> {
 public:
  void SetUp() override {
    m_folder = std::filesystem::temp_directory_path() /
               ("zantel-matrix-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(m_folder);
    Load();
    ASSERT_TRUE(m_host.SetFolder(m_folder.string()));
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }

  void OpenBook() { ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0)); }
  void OpenMessages() {
    ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
    m_host.Activate(EPanel::Plugin);
  }
  void Enter(const std::string& folder) {
    ASSERT_TRUE(m_host.SetDirectory("\\" + folder));
    m_host.Activate(EPanel::Plugin);
  }
  void Functions(int item) {
    m_host.AnswerMenu("Functions").Choose(item);
    m_host.AnswerMenu("Functions").Escape();
  }

  CStandInHost& Host() { return m_host; }
  std::filesystem::path m_folder;
};

// The functions menu and its dialogs.
constexpr int kTerminalItem = 2;
constexpr int kClockItem = 3;
constexpr int kCapabilityLogItem = 4;
constexpr int kCommandLine = 16;
constexpr int kTerminalOk = 17;
constexpr int kReportName = 2;
constexpr int kProbeOk = 5;
// The phone book's dialogs.
constexpr int kCreateOk = 7;
constexpr int kCopyInternalOk = 3;
// Ctrl+R, and the phone book's menu it opens.
constexpr int kKeyR = 'R';
constexpr int kRereadStorage = 0;
// The message dialog.
constexpr int kDestination = 2;
constexpr int kFirstLine = 5;
constexpr int kSend = 10;
constexpr int kSave = 11;

// What the preparations send the classic phone: its greeting, then reading a phone book (six
// commands for SM, four for ME) or the messages (eight).
constexpr int kGreeting = 11;
constexpr int kInSm = kGreeting + 6;
constexpr int kInMe = kGreeting + 4;
constexpr int kInMessages = kGreeting + 8;

void Nothing(FaultMatrix&) {}
void OpenBook(FaultMatrix& t) { t.OpenBook(); }
void OpenMessages(FaultMatrix& t) { t.OpenMessages(); }
void OpenSm(FaultMatrix& t) {
  t.OpenBook();
  t.Enter("SM");
}

void Compose(FaultMatrix& t, int button) {
  t.Host()
      .AnswerDialog("CreateSMSMsg")
      .SetText(kDestination, "+447700900123")
      .SetText(kFirstLine, "Hello")
      .Close(button);
  t.Host().PressKey(kVkF4, PKF_SHIFT);
}

const std::vector<Operation> kOperations = {
    {"Open",
     0,
     Nothing,
     [](FaultMatrix& t) { t.Host().Open(OPEN_DISKMENU, 0); },
     "AT+CPBS=?",
     {},
     {}},
    {"ListSm",
     kGreeting,
     OpenBook,
     [](FaultMatrix& t) { t.Host().SetDirectory("SM"); },
     "AT+CPBR=",
     {},
     {}},
    {"ListMe",
     kGreeting,
     OpenBook,
     [](FaultMatrix& t) { t.Host().SetDirectory("ME"); },
     "AT+CPBR=",
     {},
     {}},
    {"ListCalls",
     kGreeting,
     OpenBook,
     [](FaultMatrix& t) { t.Host().SetDirectory("DC"); },
     "AT+CPBR=",
     {},
     {}},
    {"Create",
     kInSm,
     OpenSm,
     [](FaultMatrix& t) {
       t.Host()
           .AnswerDialog("CreateItemDlg")
           .SetSelected(1)
           .SetText(2, "3")
           .SetText(4, "Dora")
           .SetText(6, "+447700900003")
           .Close(kCreateOk);
       t.Host().PressKey(kVkF4, PKF_SHIFT);
     },
     "AT+CPBW=",
     {},
     {"SM 3 +447700900003 Dora"}},
    {"Edit",
     kInSm,
     OpenSm,
     [](FaultMatrix& t) {
       ASSERT_TRUE(t.Host().Panel(EPanel::Plugin).SetCurrent("Bob"));
       t.Host().AnswerDialog("EditItemDlg").SetText(2, "Robert").Close(5);
       t.Host().PressKey(kVkF4);
     },
     "AT+CPBW=",
     {kBob},
     {"SM 2 +447700900002 Robert"}},
    {"Renumber",
     kInSm,
     OpenSm,
     [](FaultMatrix& t) {
       ASSERT_TRUE(t.Host().Panel(EPanel::Plugin).SetCurrent("Bob"));
       t.Host().AnswerDialog("MoveItemDlg").SetText(2, "3").Close(3);
       t.Host().PressKey(kVkF6);
     },
     "AT+CPBW=",
     {kBob},
     {"SM 3 +447700900002 Bob"}},
    {"Delete",
     kInSm,
     OpenSm,
     [](FaultMatrix& t) {
       ASSERT_TRUE(t.Host().Panel(EPanel::Plugin).SetCurrent("Bob"));
       t.Host().AnswerMessage(0).Topic("DeleteNumbers");
       t.Host().PressKey(kVkF8);
     },
     "AT+CPBW=",
     {kBob},
     {}},
    {"MoveToMe",
     kInSm + 4,
     [](FaultMatrix& t) {
       t.OpenBook();
       t.Enter("ME");
       t.Enter("SM");
     },
     [](FaultMatrix& t) {
       ASSERT_TRUE(t.Host().Panel(EPanel::Plugin).SetCurrent("Bob"));
       t.Host().AnswerDialog("CopyItemInternalDlg").Close(kCopyInternalOk);
       t.Host().AnswerDialog("CreateItemDlg").Close(kCreateOk);
       t.Host().PressKey(kVkF6, PKF_ALT);
     },
     "AT+CPBW=",
     {kBob},
     {"ME 2 +447700900002 Bob"}},
    {"Import",
     kInMe,
     [](FaultMatrix& t) {
       std::ofstream(t.m_folder / "one.csv") << "Zed,555\r\n";
       ASSERT_TRUE(t.Host().SetFolder(t.m_folder.string()));
       t.OpenBook();
       t.Enter("ME");
     },
     [](FaultMatrix& t) {
       t.Host().AnswerDialog("CreateItemDlg").Close(kCreateOk);
       ASSERT_TRUE(t.Host().Select(EPanel::Files, {"one.csv"}));
       t.Host().Activate(EPanel::Files);
       t.Host().PutFiles(true);
     },
     "AT+CPBW=",
     {},
     {"ME 2 555 Zed"}},
    // Opening the messages view lists them: the fault falls on the listing after the greeting.
    {"ListMessages",
     kGreeting + 1,
     Nothing,
     [](FaultMatrix& t) { t.Host().Open(OPEN_PLUGINSMENU, 0); },
     "AT+CMGL=4",
     {},
     {}},
    {"Send",
     kInMessages,
     OpenMessages,
     [](FaultMatrix& t) { Compose(t, kSend); },
     "AT+CMGS=",
     {},
     {kAnyPdu}},
    {"Save",
     kInMessages,
     OpenMessages,
     [](FaultMatrix& t) { Compose(t, kSave); },
     "AT+CMGW=",
     {},
     {kAnyPdu}},
    {"DeleteMessage",
     kInMessages,
     [](FaultMatrix& t) {
       t.OpenMessages();
       t.Enter("Received");
     },
     [](FaultMatrix& t) {
       ASSERT_TRUE(t.Host().Panel(EPanel::Plugin).SetCurrent("+447700900001"));
       t.Host().AnswerMessage(0).Topic("DeleteMessages");
       t.Host().PressKey(kVkF8, PKF_SHIFT);
     },
     "AT+CMGD=",
     {kSmsFromAnna},
     {}},
    // Ctrl+R: the whole storage read again from the phone.
    {"RereadBook",
     kInSm,
     OpenSm,
     [](FaultMatrix& t) {
       t.Host().AnswerMenu("RereadMenu").Choose(kRereadStorage);
       t.Host().PressKey(kKeyR, PKF_CONTROL);
     },
     "AT+CPBR=",
     {},
     {}},
    {"RereadMessages",
     kInMessages,
     [](FaultMatrix& t) {
       t.OpenMessages();
       t.Enter("Received");
     },
     [](FaultMatrix& t) { t.Host().PressKey(kKeyR, PKF_CONTROL); },
     "AT+CMGL=4",
     {},
     {}},
    {"Terminal",
     kGreeting,
     OpenBook,
     [](FaultMatrix& t) {
       t.Host().AnswerMenu("Functions").Choose(kTerminalItem);
       t.Host().AnswerDialog("Terminal").SetText(kCommandLine, "AT+CCLK?").Close(kTerminalOk);
       t.Host().AnswerDialog("Terminal").Escape();
       t.Host().AnswerMenu("Functions").Escape();
       t.Host().PressKey(kVkF2);
     },
     "AT+CCLK?",
     {},
     {},
     [](FaultMatrix& t) {
       std::string lines;
       for (const Host::ShownDialog& dialog : t.Host().Dialogs()) {
         if (dialog.helpTopic != "Terminal") continue;
         for (const auto& item : dialog.items) lines += item.data + "\n";
       }
       return lines;
     },
     true},
    {"Clock",
     kGreeting,
     OpenBook,
     [](FaultMatrix& t) {
       t.Functions(kClockItem);
       t.Host().PressKey(kVkF2);
     },
     "AT+CCLK=",
     {},
     {}},
    {"Probe",
     kGreeting,
     OpenBook,
     [](FaultMatrix& t) {
       t.Host().AnswerMenu("Functions").Choose(kCapabilityLogItem);
       t.Host()
           .AnswerDialog("CapabilityLog")
           .SetText(kReportName, (t.m_folder / "probe.log").string())
           .Close(kProbeOk);
       t.Host().AnswerMenu("Functions").Escape();
       t.Host().PressKey(kVkF2);
     },
     "AT+CGMR",
     {},
     {},
     [](FaultMatrix& t) {
       std::ifstream file(t.m_folder / "probe.log", std::ios::binary);
       return std::string(std::istreambuf_iterator<char>(file), {});
     }},
};

void PrintTo(const Operation& op, std::ostream* out) { *out << op.name; }

// The commands a user's first step into a view sends before the view shows, each of which a
// fault may hit: opening the phone (its greeting), entering a phone book, opening the messages
// view (finding the storages, then listing them). Each command comes with what the user is
// shown when the phone refuses it: the greeting gets over a refused setting it can do without
// or a command with an older form to fall back on, and says nothing.
struct Preparation {
  const char* name;
  int before;  // commands the steps before it send
  std::function<void(FaultMatrix&)> prepare;
  std::function<void(FaultMatrix&)> act;
  std::vector<std::pair<std::string, Fault::EOutcome>> commands;
};

const std::vector<Preparation> kPreparations = {
    {"Greeting",
     0,
     Nothing,
     [](FaultMatrix& t) { t.Host().Open(OPEN_DISKMENU, 0); },
     {{"ATE0", Fault::kCommandError},
      {"AT+CNMI=2,1,1,2,0", Fault::kDone},
      {"AT+CMEE=2", Fault::kDone},
      {"AT+CGMI", Fault::kDone},
      {"AT+CGMM", Fault::kDone},
      {"AT+CGSN", Fault::kDone},
      {"AT+CIMI", Fault::kDone},
      {"AT+CPBS=?", Fault::kCommandError},
      {"AT+CSCS=?", Fault::kCommandError},
      {"AT+CSCS=\"UCS2\"", Fault::kCommandError},
      {"AT+CSCS?", Fault::kCommandError}}},
    {"ReadSm",
     kGreeting,
     OpenBook,
     [](FaultMatrix& t) { t.Host().SetDirectory("SM"); },
     {{"AT+CPBS=\"SM\"", Fault::kCommandError},
      {"AT+CPBR=?", Fault::kCommandError},
      {"AT+CPBS?", Fault::kCommandError},
      {"AT+CPBR=1,5", Fault::kCommandError},
      {"AT+CPBR=6,10", Fault::kCommandError},
      {"AT+CPBR=11,15", Fault::kCommandError}}},
    {"OpenMessages",
     kGreeting,
     Nothing,
     [](FaultMatrix& t) { t.Host().Open(OPEN_PLUGINSMENU, 0); },
     {{"AT+CMGF=0", Fault::kCommandError},
      {"AT+CMGL=?", Fault::kCommandError},
      {"AT+CPMS=?", Fault::kCommandError},
      {"AT+CPMS?", Fault::kCommandError},
      {"AT+CPMS=\"SM\",\"SM\",\"SM\"", Fault::kCommandError},
      {"AT+CMGL=4", Fault::kCommandError},
      {"AT+CPMS=\"ME\",\"SM\",\"SM\"", Fault::kCommandError},
      {"AT+CMGL=4", Fault::kCommandError}}},
};

// Every operation against every fault it can meet.
std::vector<std::tuple<Operation, Fault>> OperationCases() {
  std::vector<std::tuple<Operation, Fault>> cases;
  for (const Operation& op : kOperations) {
    const bool prompts = op.refused == "AT+CMGS=" || op.refused == "AT+CMGW=";
    for (const Fault& fault : kFaults) {
      if (!fault.atPromptOnly || prompts) cases.emplace_back(op, fault);
    }
  }
  return cases;
}

// Every fault that falls on one command, on each command of each preparation.
std::vector<std::tuple<Operation, Fault>> PreparationCases() {
  std::vector<std::tuple<Operation, Fault>> cases;
  for (const Preparation& phase : kPreparations) {
    for (size_t i = 0; i < phase.commands.size(); ++i) {
      const auto& [command, refusal] = phase.commands[i];
      const Operation op{std::string(phase.name) + std::to_string(i + 1),
                         phase.before + static_cast<int>(i),
                         phase.prepare,
                         phase.act,
                         command,
                         {},
                         {},
                         {},
                         false,
                         command,
                         refusal};
      for (const Fault& fault : kFaults) {
        if (!fault.keyed || op.prepared + 1 < fault.earliest) continue;
        cases.emplace_back(op, fault);
      }
    }
  }
  return cases;
}

// The facts once the operation is done: what it removes gone, what it adds there.
Facts Changed(Facts facts, const Operation& op, const Facts& after) {
  for (const std::string& fact : op.removed) {
    const auto at = std::find(facts.begin(), facts.end(), fact);
    if (at != facts.end()) facts.erase(at);
  }
  for (const std::string& fact : op.added) {
    if (fact != kAnyPdu) {
      facts.push_back(fact);
      continue;
    }
    // The new message is whichever the phone holds that it did not hold before. Without one
    // the marker itself stays, which no phone holds: a message reported sent must be there.
    const auto added = std::find_if(after.begin(), after.end(), [&facts, &after](const auto& held) {
      return held.starts_with("pdu ") && std::count(facts.begin(), facts.end(), held) <
                                             std::count(after.begin(), after.end(), held);
    });
    facts.push_back(added != after.end() ? *added : fact);
  }
  std::sort(facts.begin(), facts.end());
  return facts;
}

// The link's failure: the system-error box, or an operation's own box that names it.
bool IsSystemError(const Host::ShownMessage& box) {
  return box.helpTopic == "SysError" ||
         ((box.flags & FMSG_WARNING) != 0 &&
          std::any_of(box.items.begin(), box.items.end(),
                      [](const std::string& item) { return item.starts_with("Cannot "); }));
}

// The phone's own error line shown to the user.
bool IsCommandError(const Host::ShownMessage& box) {
  return box.helpTopic != "SysError" && box.buttons > 0 &&
         std::any_of(box.items.begin(), box.items.end(), [](const std::string& item) {
           return item.find("ERROR") != std::string::npos;
         });
}

// The facts while an operation that writes before it removes was cut between the two.
Facts Copied(Facts facts, const Operation& op) {
  facts.insert(facts.end(), op.added.begin(), op.added.end());
  std::sort(facts.begin(), facts.end());
  return facts;
}

TEST_P(FaultMatrix, EndsInTheRightBoxAndThePhoneHoldsWhatTheUserWasTold) {
  const auto& [op, fault] = GetParam();
  PhoneSimulatorSetup setup = Phone("classic");
  setup.stateJson = ClassicState();
  const int prepared = op.prepared;
  if (fault.apply) {
    fault.apply(setup, prepared);
  } else {
    // Escaped for JSON: a refused command may quote a storage's name.
    std::string command;
    for (const char c : op.refused) command += c == '"' ? std::string("\\\"") : std::string(1, c);
    setup.faultsJson = R"({"refusals": [{"command": ")" + command +
                       R"(", "times": 100, "reply": ")" + kRefusal + R"(", "from": )" +
                       std::to_string(prepared + 1) + "}]}";
  }
  StartPhone(setup);
  m_host.AnswerEveryMessage(fault.answer);
  op.prepare(*this);
  ASSERT_FALSE(HasFatalFailure());
  // A fault keyed to the command count must fall on the operation, not before it.
  EXPECT_LE(m_phone->ReceivedCommands().size(), static_cast<size_t>(prepared)) << "preparation";
  const auto timeOuts = [this](size_t from) {
    return std::count_if(
        m_host.Messages().begin() + static_cast<std::ptrdiff_t>(from), m_host.Messages().end(),
        [](const Host::ShownMessage& box) { return box.helpTopic == "TimeoutError"; });
  };
  // A phone the user waits for is slow from the operation on, and only then.
  const bool waitedFor = fault.answer == 0;
  const size_t boxesBefore = m_host.Messages().size();
  if (waitedFor) {
    EXPECT_EQ(timeOuts(0), 0) << "the phone was slow before the operation";
  }
  op.act(*this);
  if (waitedFor) {
    EXPECT_GT(timeOuts(boxesBefore), 0) << "the operation never waited past the time-out";
  }

  bool systemError = false;
  bool commandError = false;
  std::string shown;
  for (size_t i = boxesBefore; i < m_host.Messages().size(); ++i) {
    const Host::ShownMessage& box = m_host.Messages()[i];
    systemError = systemError || IsSystemError(box) ||
                  (op.givingUpIsTold && box.helpTopic == "TimeoutError" &&
                   fault.answer == CMessageAnswer::kLastButton);
    commandError = commandError || IsCommandError(box);
    shown += "\n  " + Host::Describe(box);
  }
  if (op.shownElsewhere) {
    const std::string elsewhere = op.shownElsewhere(*this);
    commandError = commandError || elsewhere.find("ERROR") != std::string::npos;
    shown += "\n  elsewhere: " + elsewhere;
  }
  const Commands received = FinishPhone();
  EXPECT_EQ(m_host.OpenScreens(), 0u);
  ASSERT_TRUE(m_phone->ExitStatus().has_value()) << "the simulator did not end by itself";
  if (!op.hits.empty() && fault.keyed) {
    ASSERT_GT(received.size(), static_cast<size_t>(prepared)) << testing::PrintToString(received);
    EXPECT_EQ(received[prepared], op.hits) << "the fault fell elsewhere";
  }

  switch (fault.apply ? fault.outcome : op.refusal) {
    case Fault::kDone: EXPECT_FALSE(systemError || commandError) << "boxes:" << shown; break;
    case Fault::kSystemError: EXPECT_TRUE(systemError) << "boxes:" << shown; break;
    case Fault::kCommandError:
      // The phone's own words, not a message of the plug-in's that merely says ERROR.
      EXPECT_TRUE(commandError && shown.find(kRefusal) != std::string::npos) << "boxes:" << shown;
      break;
    case Fault::kNothingKept: EXPECT_FALSE(systemError) << "boxes:" << shown; break;
  }
  const Facts before = FactsOf(ClassicState());
  const Facts after = FactsOf(m_phone->SavedState());
  ASSERT_FALSE(after.empty()) << "the simulator saved no state";
  if (systemError) {
    // The line broke: the phone may have done the operation before its answer was lost, and
    // the user was told the outcome is not known. Anything else changed is lost data.
    // A move first writes the new place, so a cut between the two leaves a copy, never a loss.
    const bool copied = !op.removed.empty() && !op.added.empty() && after == Copied(before, op);
    EXPECT_TRUE(after == before || after == Changed(before, op, after) || copied)
        << testing::PrintToString(after);
  } else if (commandError) {
    EXPECT_EQ(after, before) << "the phone refused, yet it changed";
  } else if (fault.apply && fault.outcome == Fault::kNothingKept) {
    // The operation found its write not kept and went no further: every entry is still where it
    // was. Messages are no phone-book writes and change as the operation says.
    Operation messagesOnly = op;
    std::erase_if(messagesOnly.removed, [](const std::string& f) { return !f.starts_with("pdu"); });
    std::erase_if(messagesOnly.added, [](const std::string& f) { return !f.starts_with("pdu"); });
    EXPECT_EQ(after, Changed(before, messagesOnly, after)) << "an entry was lost or changed";
  } else {
    EXPECT_EQ(after, Changed(before, op, after)) << "reported done";
  }
}

std::string CaseName(const testing::TestParamInfo<FaultMatrix::ParamType>& info) {
  return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultMatrix, testing::ValuesIn(OperationCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Preparations, FaultMatrix, testing::ValuesIn(PreparationCases()),
                         CaseName);

// The matrix's size, once for the run.
class MatrixSize : public testing::Environment {
 public:
  void TearDown() override {
    const size_t operations = OperationCases().size();
    const size_t preparations = PreparationCases().size();
    size_t commands = 0;
    for (const Preparation& phase : kPreparations) commands += phase.commands.size();
    std::cout << "fault matrix: " << operations << " cases of " << kOperations.size()
              << " operations and " << kFaults.size() << " faults + " << preparations
              << " faults on " << commands
              << " preparation commands = " << operations + preparations << " cases\n";
  }
};

[[maybe_unused]] testing::Environment* const kMatrixSize =
    testing::AddGlobalTestEnvironment(new MatrixSize);

}  // namespace
}  // namespace EndToEnd
