#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <functional>
#include <string>
#include <vector>

#include "classic_phone.h"
#include "open_phone_fixture.h"
#include "phone_facts.h"

// The phone book as a user lists it: storages as folders, entries as files, read from the
// simulated phone in chunks or at once, kept in the phone's cache between openings.
namespace EndToEnd {
namespace {

using Host::EPanel;

PhoneSimulatorSetup Classic(std::vector<std::string> options = {}) {
  PhoneSimulatorSetup setup = Phone("classic", std::move(options));
  setup.stateJson = ClassicState();
  return setup;
}

// What the phone received after the greeting, which ends with the question for its set.
Commands AfterGreeting(const Commands& commands) {
  for (size_t i = 0; i < commands.size(); ++i) {
    if (commands[i] == "AT+CSCS?") return Commands(commands.begin() + i + 1, commands.end());
  }
  return commands;
}

struct ShownEntry {
  std::string name;
  uint64_t index;
  std::string number;
  bool operator==(const ShownEntry&) const = default;
};

void PrintTo(const ShownEntry& entry, std::ostream* out) {
  *out << entry.index << " \"" << entry.name << "\" " << entry.number;
}

// The entries by index: the host would sort them so, while the plug-in lists a new entry last.
std::vector<ShownEntry> Entries(const Host::CPanel& panel) {
  std::vector<ShownEntry> entries;
  for (const Host::CPanelItem& item : panel.Items()) {
    if (!item.IsFolder()) entries.push_back({item.name, item.size, item.owner});
  }
  std::sort(entries.begin(), entries.end(),
            [](const ShownEntry& a, const ShownEntry& b) { return a.index < b.index; });
  return entries;
}

class PhoneBook : public OpenPhone {
 protected:
  const Host::CPanel& Panel() { return m_host.Panel(EPanel::Plugin); }
  bool ControlLogHas(const std::string& call) {
    for (const std::string& logged : m_host.ControlLog()) {
      if (logged == call) return true;
    }
    return false;
  }
};

const std::vector<ShownEntry> kClassicSm = {{"Anna Schmidt", 1, "+447700900001"},
                                            {"Bob", 2, "+447700900002"},
                                            {"Caf\x82 Zo\x89", 4, "01632960123"},
                                            {"Anna Berg", 7, "+447700900007"},
                                            {"Balance", 12, "*100#"}};

TEST_F(PhoneBook, ListsInChunksUntilTheUsedCountAndComesFromTheCacheNextTime) {
  Load();
  StartPhone(Classic());
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  std::vector<std::string> folders;
  for (const Host::CPanelItem& item : Panel().Items()) folders.push_back(item.name);
  EXPECT_EQ(folders, (std::vector<std::string>{"..", "SM", "ME", "DC", "MC", "RC"}));

  ASSERT_TRUE(m_host.SetDirectory("SM"));
  EXPECT_EQ(Panel().Items().front().name, "..");
  EXPECT_EQ(Entries(Panel()), kClassicSm);
  m_host.Panel(EPanel::Plugin).viewMode = 1;  // the user picks another view
  ASSERT_TRUE(m_host.SetDirectory(".."));
  ASSERT_TRUE(m_host.SetDirectory("DC"));
  ASSERT_EQ(Entries(Panel()).size(), 2u);
  EXPECT_NE(Panel().Items()[1].owner, "");
  EXPECT_TRUE(ControlLogHas("FCTL_SETVIEWMODE 3")) << "call lists show their dates";
  EXPECT_EQ(AfterGreeting(FinishPhone()),
            (Commands{"AT+CPBS=\"SM\"", "AT+CPBR=?", "AT+CPBS?", "AT+CPBR=1,5", "AT+CPBR=6,10",
                      "AT+CPBR=11,15", "AT+CPBS=\"DC\"", "AT+CPBR=?", "AT+CPBS?", "AT+CPBR=1,5"}));

  // Opened again: the writable storage comes from the cache in the view it was left in; the
  // call list is read again.
  StartPhone(Classic());
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  EXPECT_EQ(Entries(Panel()), kClassicSm);
  EXPECT_EQ(Panel().viewMode, 1);
  ASSERT_TRUE(m_host.SetDirectory("\\DC"));
  EXPECT_EQ(Entries(Panel()).size(), 2u);
  // SM is the phone's selection after opening, and it still counts what the cache holds.
  EXPECT_EQ(AfterGreeting(FinishPhone()),
            (Commands{"AT+CPBS?", "AT+CPBS=\"DC\"", "AT+CPBR=?", "AT+CPBS?", "AT+CPBR=1,5"}));
}

// A folder shortcut (Ctrl+Shift+digit) made in a phone-book folder leads back to that folder of
// the phone book; one made in the messages, or by a version whose shortcuts carried nothing,
// opens the messages.
TEST_F(PhoneBook, FolderShortcutReopensTheViewItWasMadeOn) {
  using Shortcut = Host::CStandInHost::CShortcut;
  const auto names = [this] {
    std::vector<std::string> shown;
    for (const Host::CPanelItem& item : Panel().Items()) shown.push_back(item.name);
    return shown;
  };
  Load();
  StartPhone(Classic());
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  const Shortcut phoneBook = m_host.SaveShortcut();
  FinishPhone();
  StartPhone(Classic());
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  const Shortcut messages = m_host.SaveShortcut();
  const std::vector<std::string> messageFolders = names();
  FinishPhone();

  StartPhone(Classic());
  ASSERT_TRUE(m_host.OpenShortcut(phoneBook));
  EXPECT_EQ(Panel().directory, "SM");
  EXPECT_EQ(Entries(Panel()), kClassicSm);
  FinishPhone();
  for (const Shortcut& shortcut : {messages, Shortcut{"", ""}}) {
    SCOPED_TRACE("data \"" + shortcut.data + "\"");
    StartPhone(Classic());
    ASSERT_TRUE(m_host.OpenShortcut(shortcut));
    EXPECT_EQ(names(), messageFolders);
    FinishPhone();
  }
}

// Entries added and edited with the phone's own keys while the plug-in was closed: the phone
// counts another number of entries than the cache holds, and SM is read from it again.
TEST_F(PhoneBook, ReopenedAfterTheBookChangedShowsThePhone) {
  Load();
  StartPhone(Classic());
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  ASSERT_EQ(Entries(Panel()), kClassicSm);
  ASSERT_TRUE(m_phone->ChangePhone(R"({"phoneBooks": {"SM": {
      "3": {"number": "+447700900003", "name": "Dora", "type": 145},
      "12": {"number": "*100#", "name": "Saldo", "type": 129}}}})"))
      << m_phone->Failure();
  FinishPhone();

  PhoneSimulatorSetup changed = Classic();
  changed.stateJson = m_phone->SavedState();
  StartPhone(changed);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  std::vector<ShownEntry> expected = kClassicSm;
  expected.insert(expected.begin() + 2, {"Dora", 3, "+447700900003"});
  expected.back().name = "Saldo";
  EXPECT_EQ(Entries(Panel()), expected);
  FinishPhone();
}

// Another SIM in the same phone holding as many entries: its book is read from it, never shown
// (and later written) through the first SIM's cache.
TEST_F(PhoneBook, AnotherSimIsReadNotTakenFromTheFirstOnesCache) {
  Load();
  StartPhone(Classic());
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  ASSERT_EQ(Entries(Panel()), kClassicSm);
  FinishPhone();

  PhoneSimulatorSetup otherSim = Classic();
  const auto replace = [&](const std::string& from, const std::string& to) {
    const size_t at = otherSim.stateJson.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    otherSim.stateJson.replace(at, from.size(), to);
  };
  replace("234150123456789", "234159999999999");
  replace("\"Bob\"", "\"Zoe\"");
  StartPhone(otherSim);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  std::vector<ShownEntry> expected = kClassicSm;
  expected[1].name = "Zoe";
  EXPECT_EQ(Entries(Panel()), expected);
  FinishPhone();
}

// The link is lost while Bob moves from 2 to 3, once the phone has taken the erase of 2: as many
// entries as before, one elsewhere. The cache no longer vouches for SM, which is read again.
TEST_F(PhoneBook, LinkLostMidRenumberHasTheBookReadAgainNextTime) {
  Load();
  // The greeting and listing SM are 17 commands; F6 reads 2 and 3, writes 3, reads it back and
  // erases 2 (21), and the phone hangs up in the erase's answer.
  StartPhone(Classic({"--hang-up-during", "21"}));
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  m_host.Activate(EPanel::Plugin);
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent("Bob"));
  m_host.AnswerDialog("MoveItemDlg").SetText(2, "3").Close(3);
  m_host.AnswerEveryMessage(CMessageAnswer::kLastButton);
  m_host.PressKey(kVkF6);
  FinishPhone();

  PhoneSimulatorSetup again = Classic();
  again.stateJson = m_phone->SavedState();
  StartPhone(again);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  std::vector<ShownEntry> expected = kClassicSm;
  expected[1].index = 3;
  EXPECT_EQ(Entries(Panel()), expected);
  FinishPhone();
}

// A modem that ends its lines with carriage returns alone and puts its own notices and a
// delivery report's before every answer: the greeting names the phone right, and SM lists.
TEST_F(PhoneBook, NoticesBeforeEveryAnswerOnACarriageReturnPhone) {
  Load();
  PhoneSimulatorSetup setup = Classic();
  setup.faultsJson = R"({"lineEnd": "cr", "unsolicited": [
      {"command": 1, "every": 1, "at": "beforeReply", "text": "*RADIOPOWER: 1"},
      {"command": 1, "every": 1, "at": "beforeReply", "text": "+CDSI: \"SR\",3"},
      {"command": 1, "every": 1, "at": "afterFirstLine", "text": "^RSSI:17"}]})";
  StartPhone(setup);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  EXPECT_EQ(Entries(Panel()), kClassicSm);
  FinishPhone();
  EXPECT_EQ(StringValue("\\Models\\0000", "Manufacturer"), "Zantel");
  EXPECT_EQ(StringValue("\\Models\\0000", "Model"), "Classic 100");
}

// A SIM card locked with its PIN: the greeting asks for it in a masked field, a wrong PIN comes
// back with the phone's answer, the right one opens the card and SM lists. The plug-in's
// transcript shows the PIN only masked.
TEST_F(PhoneBook, PinLockedCardOpensAfterThePinDialog) {
  constexpr int kPinField = 2, kPhoneAnswer = 3, kOk = 4;
  const std::string log = m_registry.File() + ".log";
  SetDword("", "WriteLogFile", 1);
  Platform::CRegKey key = Platform::CRegKey::Create(kSettingsKey);
  key.SetValue("LogFile", Platform::kRegSz,
               {reinterpret_cast<const uint8_t*>(log.c_str()), log.size() + 1});
  Load();
  PhoneSimulatorSetup setup = Classic();
  const std::string imsi = "\"imsi\": \"234150123456789\"";
  const size_t at = setup.stateJson.find(imsi);
  ASSERT_NE(at, std::string::npos);
  setup.stateJson.insert(at + imsi.size(), ", \"pin\": \"2468\"");
  StartPhone(setup);
  // A PIN that is not digits stays in the dialog; the phone refuses 1357 and takes 2468.
  m_host.AnswerDialog("SimPinDlg").SetText(kPinField, "13\"7").Close(kOk);
  m_host.AnswerMessage(0).Topic("SimPinDlg");
  m_host.AnswerDialog("SimPinDlg").SetText(kPinField, "1357").Close(kOk);
  m_host.AnswerDialog("SimPinDlg").SetText(kPinField, "2468").Close(kOk);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  EXPECT_EQ(Entries(Panel()), kClassicSm);
  const Commands commands = FinishPhone();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+CPIN=\"****\""), 2);

  ASSERT_EQ(m_host.Dialogs().size(), 3u);
  const Host::ShownDialogItem& field = m_host.Dialogs()[0].items.at(kPinField);
  EXPECT_EQ(field.type, DI_PSWEDIT);
  EXPECT_FALSE(field.history) << "a PIN is never kept in a history";
  EXPECT_EQ(m_host.Dialogs()[1].items.at(kPhoneAnswer).data, "");
  EXPECT_EQ(m_host.Dialogs()[2].items.at(kPhoneAnswer).data,
            "The phone did not take it: +CME ERROR: incorrect password");
  std::ifstream file(log, std::ios::binary);
  const std::string transcript{std::istreambuf_iterator<char>(file), {}};
  file.close();
  std::filesystem::remove(log);
  EXPECT_NE(transcript.find("AT+CPIN=\"****\"\r"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("+CPBR: 1,"), std::string::npos) << "the listing is logged";
  for (const char* pin : {"1357", "2468"})
    EXPECT_EQ(transcript.find(pin), std::string::npos) << pin;
}

// The shapes real phones give their entries: a name without number and without type, an empty
// field after the index, a name in bare hex. Every entry is listed, the name without number too.
class EntryShapes : public PhoneBook, public testing::WithParamInterface<const char*> {};

TEST_P(EntryShapes, EveryEntryIsListed) {
  Load();
  PhoneSimulatorSetup setup = Phone(GetParam());
  setup.stateJson = ClassicState();
  const std::string bob = "\"name\": \"Bob\"\n        }";
  const size_t at = setup.stateJson.find(bob);
  ASSERT_NE(at, std::string::npos);
  setup.stateJson.insert(at + bob.size(),
                         R"(, {"index": 3, "number": "", "type": 129, "name": "Mail"})");
  StartPhone(setup);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  std::vector<ShownEntry> expected = kClassicSm;
  expected.insert(expected.begin() + 2, {"Mail", 3, ""});
  EXPECT_EQ(Entries(Panel()), expected);
  FinishPhone();
}

INSTANTIATE_TEST_SUITE_P(Phones, EntryShapes,
                         testing::Values("nokia-entries", "empty-field-entries",
                                         "hex-text-entries"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           std::erase(name, '-');
                           return name;
                         });

TEST_F(PhoneBook, ModelFlagEightReadsTheWholeRangeWithOneCommand) {
  SetDword("\\Models", "Flags", 15);  // the default profile, copied for the new model
  Load();
  StartPhone(Classic());
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  EXPECT_EQ(Entries(Panel()), kClassicSm);
  EXPECT_EQ(AfterGreeting(FinishPhone()),
            (Commands{"AT+CPBS=\"SM\"", "AT+CPBR=?", "AT+CPBR=1,250"}));
}

TEST_F(PhoneBook, HangUpWhileListingLeavesAnEmptyPanelAndTheNextOpeningWorks) {
  Load();
  // The greeting is eleven commands; the twelfth to fifteenth select and read SM.
  StartPhone(Classic({"--hang-up-during", "15"}));
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  m_host.AnswerEveryMessage(CMessageAnswer::kLastButton);
  m_host.SetDirectory("SM");
  ASSERT_FALSE(m_host.Messages().empty());
  EXPECT_EQ(m_host.Messages().back().helpTopic, "SysError");
  EXPECT_TRUE(Panel().Items().empty());
  FinishPhone();

  StartPhone(Classic());
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  EXPECT_EQ(Entries(Panel()), kClassicSm);
  FinishPhone();
}

// A bulk deletion cut short: the boxes come up over the list as it now is, so no item left on the
// panel stands for an entry that is gone, and the next key acts on what the user sees.
TEST_F(PhoneBook, DeletionCutShortIsShownBeforeTheBox) {
  Load();
  // The greeting is eleven commands and listing SM six; F8 reads the chosen locations (18 to
  // 20), erases location 1 and reads it back (21, 22), and the phone hangs up erasing location 2.
  StartPhone(Classic({"--hang-up-during", "23"}));
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  m_host.Activate(EPanel::Plugin);
  ASSERT_TRUE(m_host.Select(EPanel::Plugin,
                            {"Anna Schmidt", "Bob", "Caf\x82 Zo\x89", "Anna Berg", "Balance"}));
  m_host.AnswerMessage(0).Topic("DeleteNumbers");
  std::vector<ShownEntry> shownAtTheBox;
  m_host.AnswerEveryMessage(CMessageAnswer::kLastButton, [&] { shownAtTheBox = Entries(Panel()); });
  m_host.PressKey(kVkF8);
  ASSERT_NE(LastBox(), nullptr);
  EXPECT_EQ(LastBox()->helpTopic, "SysError");
  EXPECT_EQ(shownAtTheBox, std::vector<ShownEntry>(kClassicSm.begin() + 1, kClassicSm.end()));
  FinishPhone();
}

// Editing in SM, each change checked against what the phone then holds: the whole storage is
// read again from the phone and must show exactly what the panel showed.
class PhoneBookEditing : public PhoneBook {
 protected:
  void SetUp() override {
    Load();
    PhoneSimulatorSetup setup = Classic();
    setup.faultsJson = m_faultsJson;
    StartPhone(setup);
    ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
    ASSERT_TRUE(m_host.SetDirectory("SM"));
    m_host.Activate(EPanel::Plugin);
  }

  void ExpectPanelIsThePhone() {
    const std::vector<ShownEntry> shown = Entries(Panel());
    m_host.AnswerMenu("RereadMenu").Choose(0);
    m_host.PressKey('R', PKF_CONTROL);
    EXPECT_EQ(Entries(Panel()), shown);
  }

  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const ShownEntry& entry : Entries(Panel())) names.push_back(entry.name);
    return names;
  }

  // Shift+F4 with the index given (or left to the phone when `index` is empty); `then` scripts
  // what the dialog leads to.
  void Create(const std::string& index, const std::string& name, const std::string& number,
              const std::function<void()>& then = {}) {
    auto& dialog = m_host.AnswerDialog("CreateItemDlg");
    if (!index.empty()) dialog.SetSelected(1).SetText(2, index);
    dialog.SetText(4, name).SetText(6, number).Close(7);
    if (then) then();
    m_host.PressKey(kVkF4, PKF_SHIFT);
  }

  const Host::ShownMessage* LastBoxAbout(const std::string& helpTopic) {
    const Host::ShownMessage* found = nullptr;
    for (const auto& box : m_host.Messages()) {
      if (box.helpTopic == helpTopic) found = &box;
    }
    return found;
  }

  std::string m_faultsJson;
};

TEST_F(PhoneBookEditing, CreateEditAndDeleteReachThePhone) {
  Create("3", "Dora", "+447700900003");
  EXPECT_EQ(Entries(Panel()).at(2), (ShownEntry{"Dora", 3, "+447700900003"}));
  ExpectPanelIsThePhone();

  Create("", "Eve", "555");  // the phone picks the first free location, 5
  EXPECT_EQ(Entries(Panel()).at(4), (ShownEntry{"Eve", 5, "555"}));
  ExpectPanelIsThePhone();

  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent("Bob"));
  m_host.AnswerDialog("EditItemDlg").SetText(2, "Robert").Close(5);
  m_host.PressKey(kVkF4);
  EXPECT_EQ(Entries(Panel()).at(1), (ShownEntry{"Robert", 2, "+447700900002"}));
  ExpectPanelIsThePhone();

  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"Anna Berg"}));
  m_host.AnswerMessage(0).Topic("DeleteNumbers");
  m_host.PressKey(kVkF8);
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"Anna Schmidt", "Balance"}));
  m_host.AnswerMessage(0).Topic("DeleteNumbers");
  m_host.PressKey(kVkF8);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Robert", "Dora", "Caf\x82 Zo\x89", "Eve"}));
  ExpectPanelIsThePhone();
  ASSERT_NE(LastBoxAbout("DeleteNumbers"), nullptr);
  EXPECT_EQ(LastBoxAbout("DeleteNumbers")->items.at(1), "Delete 2 selected items?");
}

// A new entry at a taken index moves the one there, as the user answers.
struct RenumberCase {
  const char* name;
  int answer;  // exchange, shift, overwrite, cancel
  std::vector<ShownEntry> after;
};

void PrintTo(const RenumberCase& c, std::ostream* out) { *out << c.name; }

class TakenIndex : public PhoneBookEditing, public testing::WithParamInterface<RenumberCase> {};

TEST_P(TakenIndex, MovesTheOccupantAsAnswered) {
  // The first free index, 3, is where an occupant can go.
  Create("1", "New", "+1",
         [&] { m_host.AnswerMessage(GetParam().answer).Topic("DestinationOccupied"); });
  EXPECT_EQ(Entries(Panel()), GetParam().after);
  ExpectPanelIsThePhone();
}

const ShownEntry kNew = {"New", 1, "+1"};
const ShownEntry kCafe = {"Caf\x82 Zo\x89", 4, "01632960123"};
const ShownEntry kAnnaBerg = {"Anna Berg", 7, "+447700900007"};
const ShownEntry kBalance = {"Balance", 12, "*100#"};

INSTANTIATE_TEST_SUITE_P(
    Answers, TakenIndex,
    testing::Values(RenumberCase{"Exchange",
                                 0,
                                 {kNew,
                                  {"Bob", 2, "+447700900002"},
                                  {"Anna Schmidt", 3, "+447700900001"},
                                  kCafe,
                                  kAnnaBerg,
                                  kBalance}},
                    RenumberCase{"Shift",
                                 1,
                                 {kNew,
                                  {"Anna Schmidt", 2, "+447700900001"},
                                  {"Bob", 3, "+447700900002"},
                                  kCafe,
                                  kAnnaBerg,
                                  kBalance}},
                    RenumberCase{"Overwrite",
                                 2,
                                 {kNew, {"Bob", 2, "+447700900002"}, kCafe, kAnnaBerg, kBalance}},
                    RenumberCase{"Cancel", 3, kClassicSm}));

// The phone's own keys changed SM while the panel showed it. A key that would write over or erase
// what changed writes nothing: it says so, and the panel shows the phone as it now is.
struct ChangedCase {
  const char* name;
  std::string change;  // what the phone's owner did, for the simulator
  Facts removed;       // what the phone then holds differently
  Facts added;
  std::function<void(PhoneBookEditing&)> act;
};

void PrintTo(const ChangedCase& c, std::ostream* out) { *out << c.name; }

class BookChangedOnThePhone : public PhoneBookEditing,
                              public testing::WithParamInterface<ChangedCase> {
 public:
  using PhoneBookEditing::Create;
  void Delete(const std::string& name) {
    ASSERT_TRUE(m_host.Select(EPanel::Plugin, {name}));
    m_host.AnswerMessage(0).Topic("DeleteNumbers");
    m_host.PressKey(kVkF8);
  }
  void Edit(const std::string& name, const std::string& newName) {
    ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent(name));
    m_host.AnswerDialog("EditItemDlg").SetText(2, newName).Close(5);
    m_host.PressKey(kVkF4);
  }
  // F6 to a taken index, answered with `answer` (exchange, shift, overwrite, cancel).
  void Renumber(const std::string& name, const std::string& index, int answer) {
    ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent(name));
    m_host.AnswerDialog("MoveItemDlg").SetText(2, index).Close(3);
    m_host.AnswerMessage(answer).Topic("DestinationOccupied");
    m_host.PressKey(kVkF6);
  }
};

TEST_P(BookChangedOnThePhone, WritesNothingAndShowsThePhone) {
  const ChangedCase& c = GetParam();
  ASSERT_TRUE(m_phone->ChangePhone(c.change)) << m_phone->Failure();
  m_host.AnswerEveryMessage(0);  // the box that says so
  c.act(*this);
  ASSERT_NE(LastBoxAbout("ChangedOnPhone"), nullptr);
  EXPECT_EQ(LastBoxAbout("ChangedOnPhone")->items.at(1),
            "The entries changed on the phone: nothing was written");
  ExpectPanelIsThePhone();
  FinishPhone();

  Facts expected = FactsOf(ClassicState());
  for (const std::string& fact : c.removed) std::erase(expected, fact);
  expected.insert(expected.end(), c.added.begin(), c.added.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FactsOf(m_phone->SavedState()), expected);
}

const std::string kBobFact = "SM 2 +447700900002 Bob";
std::string SetSm(int index, const std::string& name, const std::string& number) {
  return R"({"phoneBooks": {"SM": {")" + std::to_string(index) + R"(": {"number": ")" + number +
         R"(", "name": ")" + name + R"(", "type": 145}}}})";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, BookChangedOnThePhone,
    testing::Values(
        ChangedCase{
            "DeleteOfAnEntryDeletedThere",
            R"({"phoneBooks": {"SM": {"2": null}}})",
            {kBobFact},
            {},
            [](PhoneBookEditing& t) { static_cast<BookChangedOnThePhone&>(t).Delete("Bob"); }},
        ChangedCase{
            "DeleteOfAnEntryEditedThere",
            SetSm(2, "Robert", "+447700900002"),
            {kBobFact},
            {"SM 2 +447700900002 Robert"},
            [](PhoneBookEditing& t) { static_cast<BookChangedOnThePhone&>(t).Delete("Bob"); }},
        ChangedCase{"EditOfAnEntryEditedThere",
                    SetSm(2, "Robert", "+447700900002"),
                    {kBobFact},
                    {"SM 2 +447700900002 Robert"},
                    [](PhoneBookEditing& t) {
                      static_cast<BookChangedOnThePhone&>(t).Edit("Bob", "Bobby");
                    }},
        ChangedCase{"CreateAtAnIndexFilledThere",
                    SetSm(3, "Dora", "+447700900003"),
                    {},
                    {"SM 3 +447700900003 Dora"},
                    [](PhoneBookEditing& t) {
                      static_cast<BookChangedOnThePhone&>(t).Create("3", "New", "+1");
                    }},
        // Location 3 is the first the list shows free: the exchange would park Anna there.
        ChangedCase{"ExchangeThroughALocationFilledThere",
                    SetSm(3, "Dora", "+447700900003"),
                    {},
                    {"SM 3 +447700900003 Dora"},
                    [](PhoneBookEditing& t) {
                      static_cast<BookChangedOnThePhone&>(t).Renumber("Anna Schmidt", "2", 0);
                    }},
        ChangedCase{"ShiftOverALocationFilledThere",
                    SetSm(5, "Dora", "+447700900003"),
                    {},
                    {"SM 5 +447700900003 Dora"},
                    [](PhoneBookEditing& t) {
                      static_cast<BookChangedOnThePhone&>(t).Renumber("Anna Berg", "4", 1);
                    }}),
    [](const testing::TestParamInfo<ChangedCase>& info) { return info.param.name; });

// The phone refuses to write at the taken index: the occupant stays on the phone and the
// panel shows the phone's truth.
class RefusedWrite : public PhoneBookEditing {
 protected:
  RefusedWrite() {
    m_faultsJson = R"({"refusals": [{"command": "AT+CPBW=1,", "times": 1, "reply": "ERROR"}]})";
  }
};

TEST_F(RefusedWrite, ExchangeLosesNothing) {
  m_host.AnswerEveryMessage(0);
  Create("1", "New", "+1", [&] { m_host.AnswerMessage(0).Topic("DestinationOccupied"); });
  std::vector<std::string> names = Names();
  for (const ShownEntry& entry : kClassicSm)
    EXPECT_NE(std::find(names.begin(), names.end(), entry.name), names.end()) << entry.name;
  ExpectPanelIsThePhone();
}

}  // namespace
}  // namespace EndToEnd
