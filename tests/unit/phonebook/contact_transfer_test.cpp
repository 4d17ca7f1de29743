#include "phonebook/contact_transfer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "phone_book_fixture.h"
#include "phonebook/storage_access.h"
#include "scripted_connection.h"

namespace {

// ---- Where an export goes ----

struct PathCase {
  const char* name;
  std::string destination;
  std::string fileName;
  bool isFolder;
  std::string path;
};

void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }

class ExportPath : public testing::TestWithParam<PathCase> {};

TEST_P(ExportPath, StaysInTheDestination) {
  const PathCase& c = GetParam();
  EXPECT_EQ(ExportFilePath(c.destination, c.fileName, ".csv", c.isFolder), c.path);
}

// clang-format off
const PathCase kPathCases[] = {
    {"EndingInBackslash", "C:\\out\\", "Ann", false, "C:\\out\\Ann.csv"},
    {"EndingInSlash", "/tmp/out/", "Ann", false, "/tmp/out/Ann.csv"},
    {"ExistingFolderWindows", "C:\\out", "Ann", true, "C:\\out\\Ann.csv"},
    {"ExistingFolderPosix", "/tmp/out", "Ann", true, "/tmp/out/Ann.csv"},
    {"AFileIsTakenAsItIs", "C:\\out\\list.dat", "Ann", false, "C:\\out\\list.dat"},
    {"AStorageNameThatClimbs", "C:\\out\\", "..", false, "C:\\out\\__.csv"},
    {"ANameWithSeparators", "/tmp/out", "../../etc/x", true, "/tmp/out/.._.._etc_x.csv"},
    {"ANameWithADrive", "C:\\out\\", "D:\\x", false, "C:\\out\\D__x.csv"},
    {"AnEmptyName", "/tmp/out/", "", false, "/tmp/out/_.csv"},
    {"ADeviceName", "C:\\out\\", "Con", false, "C:\\out\\_Con.csv"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rules, ExportPath, testing::ValuesIn(kPathCases),
                         [](const testing::TestParamInfo<PathCase>& info) {
                           return info.param.name;
                         });

// ---- Moving and importing: nothing leaves before it has arrived ----

using Layout = std::map<int32_t, std::string>;  // index -> name; the number follows from it

std::string NumberOf(const std::string& name) {
  static const std::map<std::string, std::string> kNumbers = {
      {"Ann", "+4470001"}, {"Bob", "+4470002"}, {"Cid", "+4470003"}};
  return kNumbers.at(name);
}

// Two memories of five locations. Steps name the commands the phone must receive, in order:
// "S:ME" selects a memory, "W3:Ann" writes Ann at 3, "E1" erases 1, "R3" reads 3, "N" asks for
// the used count; a trailing
// "!" makes the phone refuse it; "w3:Ann" is a write the phone acknowledges but drops. Each acts
// on the memory selected at that point.
class CTwoMemories {
 public:
  CTwoMemories(Layout sm, Layout me) : m_memories{{"SM", std::move(sm)}, {"ME", std::move(me)}} {}

  void Script(CScriptedConnection& phone, const std::vector<std::string>& steps) {
    for (std::string step : steps) {
      const bool refused = step.back() == '!';
      if (refused) step.pop_back();
      const size_t colon = step.find(':');
      std::string command;
      std::string reply;
      if (step[0] == 'S') {
        command = "AT+CPBS=\"" + step.substr(2) + "\"";
        if (!refused) m_selected = step.substr(2);
      } else if (step[0] == 'N') {
        command = "AT+CPBS?";
        reply = "\r\n+CPBS: \"" + m_selected + "\"," +
                std::to_string(m_memories.at(m_selected).size()) + ",5\r\n";
      } else {
        const std::string index = step.substr(1, colon == std::string::npos ? colon : colon - 1);
        Layout& memory = m_memories.at(m_selected);
        if (step[0] == 'W' || step[0] == 'w') {
          const std::string name = step.substr(colon + 1);
          command = "AT+CPBW=" + index + ",\"" + NumberOf(name) + "\",145,\"" + name + "\"";
          if (!refused && step[0] == 'W') memory[std::stoi(index)] = name;
        } else if (step[0] == 'E') {
          command = "AT+CPBW=" + index;
          if (!refused) memory.erase(std::stoi(index));
        } else {
          command = "AT+CPBR=" + index;
          const auto found = memory.find(std::stoi(index));
          if (found != memory.end() && !refused) {
            reply = "\r\n+CPBR: " + index + ",\"" + NumberOf(found->second) + "\",145,\"" +
                    found->second + "\"\r\n";
          }
        }
      }
      phone.Expect(command + "\r", reply + (refused ? "\r\nERROR\r\n" : "\r\nOK\r\n"));
    }
  }
  const Layout& Memory(const std::string& name) const { return m_memories.at(name); }

 private:
  std::map<std::string, Layout> m_memories;
  std::string m_selected = "SM";
};

enum Answer { Confirm, Cancel };

void Fill(PhoneBookStorage& storage, const Layout& layout) {
  storage.MaxIndex = 5;
  storage.Loaded = true;
  for (const auto& [index, name] : layout) {
    storage.Entries.push_back(std::make_unique<PhoneBookEntry>(
        PhoneBookEntry{index, NumberOf(name), 145, name, OemToWide(name), 0}));
  }
}

Layout Listed(const PhoneBookStorage& storage) {
  Layout listed;
  for (const auto& entry : storage.Entries) listed[entry->Index] = entry->Name;
  return listed;
}

class TransferTest : public CPhoneBookTest {
 protected:
  TransferTest() {
    m_profile.Charset = "IRA";
    m_profile.Flags = kProfileDeleteByIndexOnly;
  }
  void AnswerCreateDialogs(const std::vector<Answer>& answers) {
    for (const Answer answer : answers) {
      m_user.entryAnswers.push_back(
          [answer](PhoneBookEntry&, int32_t&, bool*) { return answer == Confirm; });
    }
  }

  CScriptedConnection m_phone{m_user};
  ModelProfile m_profile = DefaultProfile();
  CDeviceCache m_cache;
  std::string m_selected = "SM";  // as the plug-in left it after reading the storage
  PhoneBookSession m_session{m_phone, m_profile, m_cache, m_user, m_selected};
};

struct MoveCase {
  const char* name;
  bool move;
  std::vector<Answer> answers;  // the create dialog, once per entry tried
  std::vector<std::string> steps;
  Layout sm;
  Layout me;
  size_t created;
  size_t removed;
  bool stopped = false;
};

void PrintTo(const MoveCase& c, std::ostream* out) { *out << c.name; }

class MoveBetweenStorages : public TransferTest, public testing::WithParamInterface<MoveCase> {};

// SM holds Ann at 1 and Bob at 2, ME Cid at 1; both are selected to go to ME.
TEST_P(MoveBetweenStorages, DeletesASourceEntryOnlyOnceTheTargetHoldsIt) {
  const MoveCase& c = GetParam();
  const Layout sm = {{1, "Ann"}, {2, "Bob"}};
  CTwoMemories phone(sm, {{1, "Cid"}});
  PhoneBookStorage source("SM");
  PhoneBookStorage target("ME");
  Fill(source, sm);
  Fill(target, {{1, "Cid"}});
  AnswerCreateDialogs(c.answers);
  phone.Script(m_phone, c.steps);

  const TransferOutcome outcome =
      TransferEntries(m_session, source, target, m_user, {0, 1}, c.move);

  EXPECT_TRUE(m_phone.ScriptDone());
  EXPECT_EQ(phone.Memory("SM"), c.sm);
  EXPECT_EQ(phone.Memory("ME"), c.me);
  EXPECT_EQ(Listed(source), c.sm);
  EXPECT_EQ(Listed(target), c.me);
  EXPECT_EQ(outcome.created, c.created);
  EXPECT_EQ(outcome.removed, c.removed);
  EXPECT_EQ(outcome.stopped, c.stopped);
}

// clang-format off
const MoveCase kMoveCases[] = {
    {"CopyKeepsTheSource", false, {Confirm, Confirm},
     {"N", "S:ME", "N", "R2", "W2:Ann", "R2", "R3", "W3:Bob", "R3", "N", "S:SM", "N"},
     {{1, "Ann"}, {2, "Bob"}}, {{1, "Cid"}, {2, "Ann"}, {3, "Bob"}}, 2, 0},
    {"MoveDeletesAfterEachArrival", true, {Confirm, Confirm},
     {"N", "S:ME", "N", "R2", "W2:Ann", "R2", "S:SM", "R1", "E1", "R1",
      "S:ME", "R3", "W3:Bob", "R3", "S:SM", "R2", "E2", "R2", "N"},
     {}, {{1, "Cid"}, {2, "Ann"}, {3, "Bob"}}, 2, 2},
    {"CancelledEntryStaysInTheSource", true, {Cancel, Confirm},
     {"N", "S:ME", "N", "R2", "W2:Bob", "R2", "S:SM", "R2", "E2", "R2", "N"},
     {{1, "Ann"}}, {{1, "Cid"}, {2, "Bob"}}, 1, 1},
    {"RefusedWriteKeepsTheSource", true, {Confirm, Confirm},
     {"N", "S:ME", "N", "R2", "W2:Ann!", "R2", "R2", "W2:Bob", "R2", "S:SM", "R2", "E2", "R2",
      "N"},
     {{1, "Ann"}}, {{1, "Cid"}, {2, "Bob"}}, 1, 1},
    {"WriteDroppedByThePhoneKeepsTheSource", true, {Confirm, Confirm},
     {"N", "S:ME", "N", "R2", "w2:Ann", "R2", "R2", "W2:Bob", "R2", "S:SM", "R2", "E2", "R2",
      "N"},
     {{1, "Ann"}}, {{1, "Cid"}, {2, "Bob"}}, 1, 1},
    {"TargetNotSelectableStopsBeforeAnyChange", true, {},
     {"N", "S:ME!", "S:ME!", "N"},
     {{1, "Ann"}, {2, "Bob"}}, {{1, "Cid"}}, 0, 0, true},
    {"SourceNotSelectableStopsWithBothCopies", true, {Confirm},
     {"N", "S:ME", "N", "R2", "W2:Ann", "R2", "S:SM!", "N", "S:SM", "N"},
     {{1, "Ann"}, {2, "Bob"}}, {{1, "Cid"}, {2, "Ann"}}, 1, 0, true},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Answers, MoveBetweenStorages, testing::ValuesIn(kMoveCases),
                         [](const testing::TestParamInfo<MoveCase>& info) {
                           return info.param.name;
                         });

struct ImportCase {
  const char* name;
  std::vector<Contact> contacts;
  size_t skipped;
  std::vector<Answer> answers;
  std::vector<std::string> steps;
  bool mayDelete;
  bool stopped = false;
  Layout held = {};
  bool stopWhenCancelled = true;
  std::vector<std::string> boxes = {};  // what the user was asked or told besides the dialogs
};

void PrintTo(const ImportCase& c, std::ostream* out) { *out << c.name; }

ContactFile FileOf(const std::vector<Contact>& contacts, size_t skipped) {
  ContactFile file;
  for (const Contact& contact : contacts) {
    file.AddName(contact.Name);
    file.AddNumber(contact.Number);
  }
  file.Skipped = skipped;
  return file;
}

std::vector<std::string> Boxes(const std::vector<std::string>& log) {
  std::vector<std::string> boxes;
  for (const std::string& line : log) {
    if (!line.starts_with("new entry") && !line.starts_with("refused")) boxes.push_back(line);
  }
  return boxes;
}

class ImportIntoStorage : public TransferTest, public testing::WithParamInterface<ImportCase> {};

TEST_P(ImportIntoStorage, LetsTheFileGoOnlyWhenEveryContactArrived) {
  const ImportCase& c = GetParam();
  CTwoMemories phone(c.held, {});
  PhoneBookStorage storage("SM");
  Fill(storage, c.held);
  AnswerCreateDialogs(c.answers);
  m_user.stopImport = c.stopWhenCancelled;
  phone.Script(m_phone, c.steps);

  const ImportOutcome outcome =
      ImportContacts(m_session, storage, m_user, FileOf(c.contacts, c.skipped));
  EXPECT_EQ(outcome.mayDelete, c.mayDelete);
  EXPECT_EQ(outcome.stopped, c.stopped);
  EXPECT_TRUE(m_phone.ScriptDone());
  EXPECT_EQ(Listed(storage), phone.Memory("SM"));
  EXPECT_EQ(Boxes(m_user.log), c.boxes);
}

const Contact kAnn = {"Ann", "+4470001"};
const Contact kBob = {"Bob", "+4470002"};
const Contact kCid = {"Cid", "+4470003"};
const Layout kFourHeld = {{1, "Ann"}, {2, "Bob"}, {3, "Cid"}, {4, "Ann"}};

// clang-format off
const ImportCase kImportCases[] = {
    {"EveryContactCreated", {kAnn, kBob}, 0, {Confirm, Confirm},
     {"R1", "W1:Ann", "R1", "R2", "W2:Bob", "R2"}, true},
    {"OneCancelledTheRestGoesOn", {kAnn, kBob}, 0, {Cancel, Confirm}, {"R1", "W1:Bob", "R1"}, false,
     false, {}, false, {"stop import?"}},
    {"CancelStopsTheImport", {kAnn, kBob, kCid}, 0, {Confirm, Cancel}, {"R1", "W1:Ann", "R1"}, false,
     true, {}, true, {"stop import?"}},
    {"OneRefused", {kAnn, kBob}, 0, {Confirm, Confirm},
     {"R1", "W1:Ann!", "R1", "R1", "W1:Bob", "R1"}, false},
    {"FullStorageStopsWithOneBox", {kAnn, kBob, kCid}, 0, {Confirm},
     {"R5", "W5:Ann", "R5"}, false, true, kFourHeld, true, {"storage full"}},
    {"ACardWithoutNumberPassedOver", {kAnn}, 1, {Confirm}, {"R1", "W1:Ann", "R1"}, false},
    {"NothingUnderstood", {}, 0, {}, {}, false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Files, ImportIntoStorage, testing::ValuesIn(kImportCases),
                         [](const testing::TestParamInfo<ImportCase>& info) {
                           return info.param.name;
                         });

// The most a file may hold still comes up contact by contact; one more and nothing is offered.
TEST_F(TransferTest, AFileOverTheLimitIsRefusedWithOneBox) {
  struct {
    size_t contacts;
    std::vector<std::string> log;
  } const cases[] = {
      {kMostContactsPerFile, {"new entry 1", "stop import?"}},
      {kMostContactsPerFile + 1, {"too many contacts 5000"}},
  };
  for (const auto& c : cases) {
    std::string text;
    for (size_t i = 0; i < c.contacts; ++i) text += "Ann:+4470001\n";
    const ContactFile file = ReadContactFile(text, "list.txt");
    PhoneBookStorage storage("SM");
    Fill(storage, {});
    m_user.log.clear();
    if (c.contacts <= kMostContactsPerFile) AnswerCreateDialogs({Cancel});

    const ImportOutcome outcome = ImportContacts(m_session, storage, m_user, file);
    EXPECT_FALSE(outcome.mayDelete) << c.contacts;
    EXPECT_EQ(m_user.log, c.log) << c.contacts;
  }
}

}  // namespace
