#include "phonebook/entry_editing.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "link/io_error.h"
#include "phone_book_fixture.h"
#include "phonebook/storage_access.h"
#include "scripted_connection.h"
#include "scripted_phone_book_user.h"
#include "test_texts.h"

namespace {

using Layout = std::map<int32_t, std::string>;  // index -> name; numbers follow from the name

std::string NumberOf(const std::string& name) {
  static const std::map<std::string, std::string> kNumbers = {
      {"Ann", "+4470001"}, {"Bob", "+4470002"}, {"Cid", "+4470003"},
      {"Dan", "+4470004"}, {"Eve", "+4470005"}, {"Ivan", "+79001234567"}};
  return kNumbers.at(name);
}

// The phone's memory, changed by the commands it accepts. The test names each command the
// phone must receive: "W5:Ann" writes Ann at 5, "E5" erases 5, "R5" reads 5, "R2-5" reads 2 to 5,
// "N" asks for the used count, "L" for the limits; a trailing "!" makes the phone refuse it, and
// "w5:Ann" is a write it acknowledges but does not store. Replies come from the memory as it is
// at that point, so a wrong order of commands shows up as wrong contents as well.
class CModelPhone {
 public:
  CModelPhone(const Layout& layout, int32_t size) : m_memory(layout), m_size(size) {}

  void Script(CScriptedConnection& connection, const std::vector<std::string>& steps) {
    for (std::string step : steps) {
      const bool refused = step.back() == '!';
      if (refused) step.pop_back();
      const char kind = step[0];
      const size_t colon = step.find(':');
      const std::string index =
          step.substr(1, colon == std::string::npos ? std::string::npos : colon - 1);
      std::string command;
      std::string reply;
      if (kind == 'W' || kind == 'w') {
        const std::string name = step.substr(colon + 1);
        command = "AT+CPBW=" + index + ",\"" + NumberOf(name) + "\",145,\"" + name + "\"";
        if (!refused && kind == 'W') m_memory[std::stoi(index)] = name;
      } else if (kind == 'E') {
        command = "AT+CPBW=" + index;
        if (!refused) m_memory.erase(std::stoi(index));
      } else if (kind == 'R') {
        const size_t dash = index.find('-');
        const int first = std::stoi(index);
        const int last = dash == std::string::npos ? first : std::stoi(index.substr(dash + 1));
        command = "AT+CPBR=" + std::to_string(first);
        if (last != first) command += "," + std::to_string(last);
        for (auto found = m_memory.lower_bound(first);
             found != m_memory.end() && found->first <= last && !refused; ++found) {
          reply += "\r\n+CPBR: " + std::to_string(found->first) + ",\"" + NumberOf(found->second) +
                   "\",145,\"" + found->second + "\"";
        }
        if (!reply.empty()) reply += "\r\n";
      } else if (kind == 'L') {
        command = "AT+CPBR=?";
        reply = "\r\n+CPBR: (1-" + std::to_string(m_size) + "),20,8\r\n";
      } else {
        command = "AT+CPBS?";
        reply = "\r\n+CPBS: \"SM\"," + std::to_string(m_memory.size()) + "," +
                std::to_string(m_size) + "\r\n";
      }
      connection.Expect(command + "\r", reply + (refused ? "\r\nERROR\r\n" : "\r\nOK\r\n"));
    }
  }

  const Layout& Memory() const { return m_memory; }

 private:
  Layout m_memory;
  int32_t m_size;
};

// One phone-book memory of `size` locations from 1, listed as the phone holds it.
class EntryEditing : public CPhoneBookTest {
 protected:
  void Start(const Layout& layout, int32_t size) {
    m_model = std::make_unique<CModelPhone>(layout, size);
    m_storage.MaxIndex = size;
    m_storage.MaxNameLength = 8;
    for (const auto& [index, name] : layout) {
      auto entry = std::make_unique<PhoneBookEntry>();
      *entry = PhoneBookEntry{index, NumberOf(name), 145, name, OemToWide(name), 0};
      m_storage.Entries.push_back(std::move(entry));
    }
  }

  Layout Listed() const {
    Layout listed;
    for (const auto& entry : m_storage.Entries) {
      EXPECT_TRUE(listed.emplace(entry->Index, entry->Name).second) << "twice " << entry->Index;
      EXPECT_EQ(entry->Number, NumberOf(entry->Name));
    }
    return listed;
  }

  // What the user was asked and told; a refusal without its command.
  std::vector<std::string> Told() const {
    std::vector<std::string> told = m_user.log;
    for (std::string& line : told) {
      if (line.rfind("refused ", 0) == 0) line = "refused";
    }
    return told;
  }

  // The user's dialog answer: `name` typed in, the index left as proposed.
  void Types(const std::string& name) {
    m_user.entryAnswers.push_back([name](PhoneBookEntry& entry, int32_t&, bool*) {
      entry.Name = name;
      return true;
    });
  }

  CScriptedConnection m_phone{m_user};
  ModelProfile m_profile = DefaultProfile();
  CDeviceCache m_cache;
  std::string m_selected = "SM";  // as the plug-in left it after reading the storage
  PhoneBookSession m_session{m_phone, m_profile, m_cache, m_user, m_selected};
  PhoneBookStorage m_storage{"SM"};
  std::unique_ptr<CModelPhone> m_model;
};

// ---- Renumbering ----

using Choice = CPhoneBookUser::TakenIndexChoice;
constexpr Choice kExchange = Choice::Exchange;
constexpr Choice kShift = Choice::Shift;
constexpr Choice kOverwrite = Choice::Overwrite;
constexpr Choice kCancel = Choice::Cancel;
// No entry stands in the way, so nobody is asked.
constexpr Choice kNoBox = Choice::Cancel;

struct RenumberCase {
  const char* name;
  Layout before;
  int32_t size;
  int32_t from;
  int32_t to;
  Choice choice;
  std::vector<std::string> commands;
  Layout after;
  bool result;
  std::vector<std::string> told;  // what the user was asked and told, in order
  std::set<std::string> overwritten = {};
};

void PrintTo(const RenumberCase& c, std::ostream* out) { *out << c.name; }

const Layout kThree = {{1, "Ann"}, {2, "Bob"}, {3, "Cid"}};
const Layout kShiftDown = {{2, "Bob"}, {3, "Cid"}, {4, "Dan"}, {5, "Eve"}};
const char* const kOccupied = "taken";
const char* const kRefusal = "refused";  // the engine's report of a refused command
const char* const kWarning = "entries kept";

// clang-format off
const RenumberCase kRenumberCases[] = {
    {"ToFreeWritesThenErases", kThree, 9, 1, 5, kNoBox,
     {"R1-5", "W5:Ann", "R5", "E1"},
     {{2, "Bob"}, {3, "Cid"}, {5, "Ann"}}, true, {}},
    {"ToFreeWriteRefused", kThree, 9, 1, 5, kNoBox,
     {"R1-5", "W5:Ann!", "R1", "R5"},
     kThree, false, {kRefusal, kWarning}},
    {"ToFreeEraseRefusedKeepsBothCopies", kThree, 9, 1, 5, kNoBox,
     {"R1-5", "W5:Ann", "R5", "E1!", "R1"},
     {{1, "Ann"}, {2, "Bob"}, {3, "Cid"}, {5, "Ann"}}, true, {kRefusal, kWarning}},
    {"ExchangeGoesThroughAFreeLocation", kThree, 9, 1, 3, kExchange,
     {"R1-3", "R4", "W4:Ann", "R4", "W1:Cid", "R1", "W3:Ann", "R3", "E4"},
     {{1, "Cid"}, {2, "Bob"}, {3, "Ann"}}, true, {kOccupied}},
    {"ExchangeRefusedAtTheSpare", kThree, 9, 1, 3, kExchange,
     {"R1-3", "R4", "W4:Ann!", "R1", "R3", "R4"},
     kThree, false, {kOccupied, kRefusal, kWarning}},
    {"ExchangeRefusedAtTheOccupant", kThree, 9, 1, 3, kExchange,
     {"R1-3", "R4", "W4:Ann", "R4", "W1:Cid!", "E4", "R1", "R3", "R4"},
     kThree, false, {kOccupied, kRefusal, kWarning}},
    {"ExchangeRefusedAtTheMovingEntry", kThree, 9, 1, 3, kExchange,
     {"R1-3", "R4", "W4:Ann", "R4", "W1:Cid", "R1", "W3:Ann!", "W1:Ann", "E4", "R1", "R3", "R4"},
     kThree, false, {kOccupied, kRefusal, kWarning}},
    {"ExchangeRefusedTwiceKeepsEveryEntry", kThree, 9, 1, 3, kExchange,
     {"R1-3", "R4", "W4:Ann", "R4", "W1:Cid", "R1", "W3:Ann!", "W1:Ann!", "R1", "R3", "R4"},
     {{1, "Cid"}, {2, "Bob"}, {3, "Cid"}, {4, "Ann"}}, false,
     {kOccupied, kRefusal, kRefusal, kWarning}},
    {"ExchangeSpareNotErased", kThree, 9, 1, 3, kExchange,
     {"R1-3", "R4", "W4:Ann", "R4", "W1:Cid", "R1", "W3:Ann", "R3", "E4!", "R4"},
     {{1, "Cid"}, {2, "Bob"}, {3, "Ann"}, {4, "Ann"}}, true, {kOccupied, kRefusal, kWarning}},
    {"ExchangeInAFullStorageChangesNothing", kThree, 3, 1, 3, kExchange,
     {"R1-3"},
     kThree, false, {kOccupied, "no spare"}},
    {"ShiftDown", kShiftDown, 9, 5, 2, kShift,
     {"R2-5", "R1", "W1:Eve", "R1", "W5:Dan", "R5", "W4:Cid", "R4", "W3:Bob", "R3", "W2:Eve", "R2", "E1"},
     {{2, "Eve"}, {3, "Bob"}, {4, "Cid"}, {5, "Dan"}}, true, {kOccupied}},
    {"ShiftDownRefusedHalfWayIsUndone", kShiftDown, 9, 5, 2, kShift,
     {"R2-5", "R1", "W1:Eve", "R1", "W5:Dan", "R5", "W4:Cid!", "W5:Eve", "E1", "R1", "R2", "R3", "R4", "R5"},
     kShiftDown, false, {kOccupied, kRefusal, kWarning}},
    {"ShiftUp", kThree, 9, 1, 3, kShift,
     {"R1-3", "R4", "W4:Ann", "R4", "W1:Bob", "R1", "W2:Cid", "R2", "W3:Ann", "R3", "E4"},
     {{1, "Bob"}, {2, "Cid"}, {3, "Ann"}}, true, {kOccupied}},
    {"ShiftUpWithAWriteThePhoneDroppedIsUndone", kThree, 9, 1, 3, kShift,
     {"R1-3", "R4", "W4:Ann", "R4", "W1:Bob", "R1", "w2:Cid", "R2", "W2:Bob", "W1:Ann", "E4", "R1", "R2",
      "R3", "R4"},
     kThree, false, {kOccupied, kWarning}},
    {"ShiftOverAGapNeedsNoSpare", {{1, "Ann"}, {2, "Bob"}, {4, "Dan"}, {5, "Eve"}}, 5, 5, 2, kShift,
     {"R2-5", "W3:Bob", "R3", "W2:Eve", "R2", "W5:Dan", "R5", "E4"},
     {{1, "Ann"}, {2, "Eve"}, {3, "Bob"}, {5, "Dan"}}, true, {kOccupied}},
    {"OverwriteWritesBeforeErasing", kThree, 9, 1, 3, kOverwrite,
     {"R1-3", "W3:Ann", "R3", "E1"},
     {{2, "Bob"}, {3, "Ann"}}, true, {kOccupied}, {"Cid"}},
    {"OverwriteRefusedKeepsTheOccupant", kThree, 9, 1, 3, kOverwrite,
     {"R1-3", "W3:Ann!", "R1", "R3"},
     kThree, false, {kOccupied, kRefusal, kWarning}},
    {"Cancelled", kThree, 9, 1, 3, kCancel,
     {},
     kThree, false, {kOccupied}},
};
// clang-format on

class Renumbering : public EntryEditing, public testing::WithParamInterface<RenumberCase> {};

TEST_P(Renumbering, NeverLeavesAnEntryOnlyInMemory) {
  const RenumberCase& c = GetParam();
  Start(c.before, c.size);
  m_user.whenTaken = c.choice;
  m_model->Script(m_phone, c.commands);

  EXPECT_EQ(RenumberEntry(m_session, m_storage, m_user, c.from, c.to), c.result);

  EXPECT_TRUE(m_phone.ScriptDone());
  EXPECT_EQ(m_model->Memory(), c.after);
  EXPECT_EQ(Listed(), m_model->Memory()) << "the list is not what the phone holds";
  std::set<std::string> kept;
  for (const auto& [index, name] : m_model->Memory()) kept.insert(name);
  for (const auto& [index, name] : c.before) {
    EXPECT_TRUE(kept.count(name) || c.overwritten.count(name)) << name << " was lost";
  }
  std::vector<std::string> told = c.told;
  for (std::string& line : told) {
    if (line == kOccupied) line += " " + std::to_string(c.to);
  }
  EXPECT_EQ(Told(), told);
}

INSTANTIATE_TEST_SUITE_P(Table, Renumbering, testing::ValuesIn(kRenumberCases),
                         [](const testing::TestParamInfo<RenumberCase>& info) {
                           return info.param.name;
                         });

// ---- Creating ----

// What the panel proposes for a new entry: no name, the number given.
PhoneBookEntry Proposal(const std::string& number) {
  PhoneBookEntry proposal;
  proposal.Number = number;
  return proposal;
}

TEST_F(EntryEditing, CreateCleansTheNumberAndTakesTheFirstFreeIndex) {
  m_profile.Flags = 0;  // the index is always given
  Start({{1, "Ann"}, {2, "Bob"}, {4, "Dan"}}, 9);
  m_user.entryAnswers.push_back([](PhoneBookEntry& entry, int32_t& index, bool* giveIndex) {
    EXPECT_EQ(entry.Number, "+79001234567");
    EXPECT_EQ(index, 3);
    EXPECT_EQ(giveIndex, nullptr);
    entry.Name = "Ivan";
    return true;
  });
  m_model->Script(m_phone, {"R3", "W3:Ivan", "R3"});

  EXPECT_TRUE(CreateEntry(m_session, m_storage, m_user, Proposal("+7 (900) 123-45-67"), true));

  EXPECT_TRUE(m_phone.ScriptDone());
  EXPECT_EQ(Listed(), m_model->Memory());
  EXPECT_EQ(m_storage.Entries.back()->Type, 145u);
  EXPECT_EQ(m_user.refreshes, 1);
  EXPECT_EQ(m_user.log, std::vector<std::string>{"new entry 3"});
}

TEST_F(EntryEditing, CreateInAFullStorageShowsNoDialog) {
  Start(kThree, 3);
  EXPECT_FALSE(CreateEntry(m_session, m_storage, m_user, Proposal("+"), true));
  EXPECT_EQ(m_user.log, std::vector<std::string>{"storage full"});
  EXPECT_EQ(m_user.refreshes, 0);
}

// A taken index is freed by renumbering first; the new entry goes there only once that worked.
struct TakenIndexCase {
  const char* name;
  Choice choice;
  std::vector<std::string> commands;
  Layout after;
  bool result;
};

void PrintTo(const TakenIndexCase& c, std::ostream* out) { *out << c.name; }

class CreateAtTakenIndex : public EntryEditing,
                           public testing::WithParamInterface<TakenIndexCase> {};

TEST_P(CreateAtTakenIndex, RenumbersFirst) {
  const TakenIndexCase& c = GetParam();
  Start({{1, "Ann"}, {2, "Bob"}}, 9);
  m_user.entryAnswers.push_back([](PhoneBookEntry& entry, int32_t& index, bool* giveIndex) {
    EXPECT_EQ(index, 3);
    *giveIndex = true;
    index = 1;
    entry.Name = "Ivan";
    return true;
  });
  m_user.whenTaken = c.choice;
  m_model->Script(m_phone, c.commands);

  EXPECT_EQ(CreateEntry(m_session, m_storage, m_user, Proposal("+79001234567"), true), c.result);
  EXPECT_TRUE(m_phone.ScriptDone());
  EXPECT_EQ(m_model->Memory(), c.after);
  EXPECT_EQ(Listed(), m_model->Memory());
  EXPECT_EQ(m_user.log.at(1), "taken 1");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, CreateAtTakenIndex,
    testing::Values(
        TakenIndexCase{"Exchange", kExchange,
                       {"R1-3", "W3:Ann", "R3", "E1", "W1:Ivan", "R1"},
                       {{1, "Ivan"}, {2, "Bob"}, {3, "Ann"}}, true},
        TakenIndexCase{"ExchangeRefused", kExchange,
                       {"R1-3", "W3:Ann!", "R1", "R3"},
                       {{1, "Ann"}, {2, "Bob"}}, false},
        TakenIndexCase{"Shift", kShift,
                       {"R1-3", "W3:Bob", "R3", "W2:Ann", "R2", "E1", "W1:Ivan", "R1"},
                       {{1, "Ivan"}, {2, "Ann"}, {3, "Bob"}}, true},
        TakenIndexCase{"Overwrite", kOverwrite,
                       {"R1-3", "W1:Ivan", "R1"},
                       {{1, "Ivan"}, {2, "Bob"}}, true},
        TakenIndexCase{"OverwriteRefused", kOverwrite,
                       {"R1-3", "W1:Ivan!", "R1"},
                       {{1, "Ann"}, {2, "Bob"}}, false},
        TakenIndexCase{"OverwriteRefusedAndUnreadable", kOverwrite,
                       {"R1-3", "W1:Ivan!", "R1!"},
                       {{1, "Ann"}, {2, "Bob"}}, false}),
    [](const testing::TestParamInfo<TakenIndexCase>& info) { return info.param.name; });
// clang-format on

TEST_F(EntryEditing, CreateLetsThePhoneChooseTheIndex) {
  Start({{1, "Ann"}}, 9);
  Types("Bob");
  m_phone.Expect("AT+CPBW=,\"+4470002\",145,\"Bob\"\r", "\r\nOK\r\n");
  CModelPhone chosen({{1, "Ann"}, {5, "Bob"}}, 9);
  chosen.Script(m_phone, {"R2-6"});

  EXPECT_TRUE(CreateEntry(m_session, m_storage, m_user, Proposal("+4470002"), false));
  EXPECT_TRUE(m_phone.ScriptDone());
  EXPECT_EQ(Listed(), chosen.Memory());
  EXPECT_EQ(m_user.log, std::vector<std::string>{"new entry 2?"});
}

TEST_F(EntryEditing, CreateAsksAgainForANameThatCannotBeSent) {
  Start({}, 9);
  Types("A\"B");
  m_user.entryAnswers.push_back([](PhoneBookEntry& entry, int32_t&, bool*) {
    EXPECT_EQ(entry.Name, "A\"B");
    return false;
  });
  EXPECT_FALSE(CreateEntry(m_session, m_storage, m_user, Proposal("+1"), true));
  EXPECT_EQ(m_user.log, std::vector<std::string>({"new entry 1?", "cannot send", "new entry 1?"}));
  EXPECT_TRUE(m_phone.Sent().empty());
}

// In the GSM set '_' is 0x11, which the command line must not carry; the phone's UCS2 can.
TEST_F(EntryEditing, CreateNamesTheSetThatCouldHoldTheName) {
  m_profile.Charset = "GSM";
  const std::vector<std::string> offered = {"GSM", "UCS2"};
  m_session.OfferedCharsets = &offered;
  Start({}, 9);
  Types("John_Doe");
  m_user.entryAnswers.push_back([](PhoneBookEntry&, int32_t&, bool*) { return false; });
  EXPECT_FALSE(CreateEntry(m_session, m_storage, m_user, Proposal("+1"), true));
  EXPECT_EQ(m_user.log,
            std::vector<std::string>({"new entry 1?", "cannot send, UCS2 can", "new entry 1?"}));
  EXPECT_TRUE(m_phone.Sent().empty());
}

// ---- Editing and deleting ----

// The list shows the edit only once the phone holds it, even when the phone cannot be read.
TEST_F(EntryEditing, EditShowsWhatThePhoneHolds) {
  const std::vector<std::vector<std::string>> exchanges = {{"R2", "W2:Dan", "R2"},
                                                           {"R2", "W2:Dan", "R2!"},
                                                           {"R2", "W2:Dan!", "R2"},
                                                           {"R2", "W2:Dan!", "R2!"}};
  for (const std::vector<std::string>& exchange : exchanges) {
    SCOPED_TRACE(exchange[1] + " " + exchange[2]);
    m_storage.Entries.clear();
    Start({{1, "Ann"}, {2, "Bob"}}, 9);
    m_user.entryAnswers.push_back([](PhoneBookEntry& entry, int32_t&, bool*) {
      entry.Name = "Dan";
      entry.Number = "+4470004";
      return true;
    });
    m_model->Script(m_phone, exchange);
    EditEntry(m_session, m_storage, m_user, 1);
    EXPECT_EQ(Listed(), m_model->Memory());
  }
  EXPECT_TRUE(m_phone.ScriptDone());
  EXPECT_EQ(m_user.refreshes, 4);
}

struct DeleteCase {
  const char* name;
  std::vector<size_t> selected;
  uint32_t flags;
  std::vector<std::string> commands;  // in the model's notation, or written out
  size_t count;                       // the number the user is asked to confirm
  Layout after;
};

void PrintTo(const DeleteCase& c, std::ostream* out) { *out << c.name; }

class DeleteSelection : public EntryEditing, public testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteSelection, DeletesEachSelectedEntryOnce) {
  const DeleteCase& c = GetParam();
  m_profile.Flags = c.flags;
  Start(kThree, 9);
  m_user.items = 4;
  m_user.selected = c.selected;
  for (const std::string& command : c.commands) {
    if (command.rfind("AT", 0) == 0) m_phone.Expect(command + "\r", "\r\nOK\r\n");
    else m_model->Script(m_phone, {command});
  }

  DeleteSelected(m_session, m_storage, m_user);

  EXPECT_TRUE(m_phone.ScriptDone());
  EXPECT_EQ(m_user.log, std::vector<std::string>{"delete " + std::to_string(c.count) + "?"});
  EXPECT_EQ(Listed(), c.after);
  EXPECT_EQ(m_user.refreshes, 1);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, DeleteSelection,
    testing::Values(
        DeleteCase{"FirstAndSecond", {0, 1}, 7,
                   {"R1-2", "E1", "R1", "E2", "R2"},
                   2, {{3, "Cid"}}},
        DeleteCase{"AllThree", {2, 0, 1}, 7,
                   {"R1-3", "E3", "R3", "E1", "R1", "E2", "R2"},
                   3, {}},
        DeleteCase{"OneWithEmptyFields", {1}, 0,
                   {"R2", "AT+CPBW=2,\"\",,\"\"", "AT+CPBR=2"},
                   1, {{1, "Ann"}, {3, "Cid"}}}),
    [](const testing::TestParamInfo<DeleteCase>& info) { return info.param.name; });
// clang-format on

// A link lost half-way through a renumbering, after the write and before the read-back: the
// cache no longer vouches for the storage, so the next opening reads it from the phone.
TEST_F(EntryEditing, CacheIsNotTrustedFromTheFirstWriteUntilTheReadBack) {
  Start(kThree, 9);
  m_storage.Loaded = true;
  ASSERT_TRUE(m_cache.Open("350123451234560"));
  ASSERT_TRUE(m_cache.Save(m_storage, false));
  m_model->Script(m_phone, {"R1-5", "W5:Ann"});
  m_phone.ExpectThenBreak("AT+CPBR=5\r");

  EXPECT_THROW(RenumberEntry(m_session, m_storage, m_user, 1, 5), io_error);

  std::vector<std::unique_ptr<PhoneBookStorage>> reopened;
  reopened.push_back(std::make_unique<PhoneBookStorage>("SM"));
  m_cache.Load(reopened);
  EXPECT_FALSE(reopened[0]->Loaded);
}

// ---- The phone changed behind the list ----

// The list holds Ann, Bob and Cid at 1 to 3; the phone's own keys changed the memory since. Each
// operation reads what it would write over first, finds the difference, writes nothing and shows
// the memory as read again.
struct ChangedCase {
  const char* name;
  Layout phone;
  std::function<void(EntryEditing&)> operation;
  std::vector<std::string> commands;
};

void PrintTo(const ChangedCase& c, std::ostream* out) { *out << c.name; }

class ChangedOnThePhone : public EntryEditing, public testing::WithParamInterface<ChangedCase> {
 public:
  void Delete(size_t position) {
    m_user.items = 4;
    m_user.selected = {position};
    DeleteSelected(m_session, m_storage, m_user);
  }
  void Edit(size_t position) {
    Types("Dan");
    EditEntry(m_session, m_storage, m_user, position);
  }
  void Create() {
    m_profile.Flags = 0;  // the index is always given
    Types("Ivan");
    CreateEntry(m_session, m_storage, m_user, Proposal("+79001234567"), true);
  }
  void Renumber(int32_t from, int32_t to) {
    m_user.whenTaken = kExchange;
    RenumberEntry(m_session, m_storage, m_user, from, to);
  }
};

TEST_P(ChangedOnThePhone, WritesNothingAndShowsThePhone) {
  const ChangedCase& c = GetParam();
  Start(kThree, 9);
  m_model = std::make_unique<CModelPhone>(c.phone, 9);
  m_model->Script(m_phone, c.commands);

  c.operation(*this);

  EXPECT_TRUE(m_phone.ScriptDone());
  EXPECT_EQ(m_model->Memory(), c.phone);
  EXPECT_EQ(Listed(), c.phone);
  ASSERT_FALSE(m_user.log.empty());
  EXPECT_EQ(m_user.log.back(), "changed on phone");
}

const Layout kBobEdited = {{1, "Ann"}, {2, "Dan"}, {3, "Cid"}};
const Layout kBobDeleted = {{1, "Ann"}, {3, "Cid"}};
const Layout kEveAdded = {{1, "Ann"}, {2, "Bob"}, {3, "Cid"}, {4, "Eve"}};
const Layout kEveAddedAt5 = {{1, "Ann"}, {2, "Bob"}, {3, "Cid"}, {5, "Eve"}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, ChangedOnThePhone,
    testing::Values(
        ChangedCase{"DeleteOfAnEntryEditedThere", kBobEdited,
                    [](EntryEditing& t) { static_cast<ChangedOnThePhone&>(t).Delete(1); },
                    {"R2", "L", "N", "R1-5"}},
        ChangedCase{"EditOfAnEntryDeletedThere", kBobDeleted,
                    [](EntryEditing& t) { static_cast<ChangedOnThePhone&>(t).Edit(1); },
                    {"R2", "L", "N", "R1-5"}},
        ChangedCase{"CreateAtALocationFilledThere", kEveAdded,
                    [](EntryEditing& t) { static_cast<ChangedOnThePhone&>(t).Create(); },
                    {"R4", "L", "N", "R1-5"}},
        ChangedCase{"MoveToALocationFilledThere", kEveAddedAt5,
                    [](EntryEditing& t) { static_cast<ChangedOnThePhone&>(t).Renumber(1, 5); },
                    {"R1-5", "L", "N", "R1-5"}},
        ChangedCase{"ExchangeThroughASpareFilledThere", kEveAdded,
                    [](EntryEditing& t) { static_cast<ChangedOnThePhone&>(t).Renumber(1, 3); },
                    {"R1-3", "R4", "L", "N", "R1-5"}}),
    [](const testing::TestParamInfo<ChangedCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
