#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "open_phone_fixture.h"
#include "phone_facts.h"

// Entries leaving the phone book for files and coming back, and going from one storage to
// another, each checked against what the simulated phone then holds.
namespace EndToEnd {
namespace {

using Host::EPanel;

PhoneSimulatorSetup Classic() {
  std::ifstream file(std::string(ZANTEL_TEST_DATA_DIR) + "/phonesim/classic.json");
  std::stringstream text;
  text << file.rdbuf();
  PhoneSimulatorSetup setup = Phone("classic");
  setup.stateJson = text.str();
  return setup;
}

struct Card {
  std::string name;
  std::string number;
  bool operator==(const Card&) const = default;
  bool operator<(const Card& other) const {
    return std::tie(name, number) < std::tie(other.name, other.number);
  }
};

void PrintTo(const Card& card, std::ostream* out) {
  *out << "\"" << card.name << "\" " << card.number;
}

// Sorted, so that where the phone put an entry does not matter.
// The entries' own names, which their descriptions carry (a file name is made safe).
std::vector<Card> Cards(const Host::CPanel& panel) {
  std::vector<Card> cards;
  for (const Host::CPanelItem& item : panel.Items()) {
    if (!item.IsFolder()) cards.push_back({item.description, item.owner});
  }
  std::sort(cards.begin(), cards.end());
  return cards;
}

std::vector<Card> Joined(std::vector<Card> a, const std::vector<Card>& b) {
  a.insert(a.end(), b.begin(), b.end());
  std::sort(a.begin(), a.end());
  return a;
}

const std::vector<Card> kSm = {{"Anna Schmidt", "+447700900001"},
                               {"Bob", "+447700900002"},
                               {"Caf\x82 Zo\x89", "01632960123"},
                               {"Anna Berg", "+447700900007"},
                               {"Balance", "*100#"}};
const std::vector<Card> kMe = {{"Home", "+447700900010"}, {"Work [desk]", "+447700900011"}};

// The copy dialog: the frame, the prompt, the destination, four formats, then its buttons.
constexpr int kFirstFormat = 3;
constexpr int kCopyButton = 7;
constexpr int kCreateOk = 7;

class PhoneBookTransfer : public OpenPhone {
 protected:
  void SetUp() override {
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string safe = name;
    std::replace(safe.begin(), safe.end(), '/', '_');
    m_folder = std::filesystem::temp_directory_path() /
               ("zantel-transfer-" + safe + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(m_folder);
    Load();
    StartPhone(Classic());
    ASSERT_TRUE(m_host.SetFolder(m_folder.string()));
    ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  }
  void TearDown() override {
    if (m_host.IsOpen()) FinishPhone();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }

  const Host::CPanel& Panel() { return m_host.Panel(EPanel::Plugin); }

  void Enter(const std::string& storage) {
    ASSERT_TRUE(m_host.SetDirectory("\\" + storage));
    m_host.Activate(EPanel::Plugin);
  }

  // The storage read again from the phone shows what the panel showed.
  void ExpectPanelIsThePhone() {
    const std::vector<Card> shown = Cards(Panel());
    m_host.AnswerMenu("RereadMenu").Choose(0);
    m_host.PressKey('R', PKF_CONTROL);
    EXPECT_EQ(Cards(Panel()), shown);
  }

  void ConfirmCreateDialogs(size_t count) {
    for (size_t i = 0; i < count; ++i) m_host.AnswerDialog("CreateItemDlg").Close(kCreateOk);
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::filesystem::path m_folder;
};

struct FormatCase {
  const char* name;
  int format;
  std::string file;
};

void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

class RoundTrip : public PhoneBookTransfer, public testing::WithParamInterface<FormatCase> {};

TEST_P(RoundTrip, ExportOfSmImportedIntoMeGivesTheSameEntries) {
  Enter("SM");
  // A comma would split the name from a CSV line written without quotes, and a quote would end
  // a quoted one.
  const std::vector<Card> awkward = {{"Smith, John", "555"}, {"Nan \"Ann\" Lee: 2", "556"}};
  for (const Card& card : awkward) {
    m_host.AnswerDialog("CreateItemDlg").SetText(4, card.name).SetText(6, card.number).Close(7);
    m_host.PressKey(kVkF4, PKF_SHIFT);
  }
  const std::vector<Card> exported = Joined(kSm, awkward);
  ASSERT_EQ(Cards(Panel()), exported);
  std::vector<std::string> names;
  for (const Host::CPanelItem& item : Panel().Items()) {
    if (!item.IsFolder()) names.push_back(item.name);
  }
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, names));
  m_host.AnswerDialog("CopyItemDlg")
      .SetSelected(kFirstFormat + GetParam().format)
      .Close(kCopyButton);
  m_host.PressKey(kVkF5);
  EXPECT_EQ(Files(), std::vector<std::string>{GetParam().file});
  EXPECT_EQ(Cards(Panel()), exported) << "an export leaves the storage as it was";

  Enter("ME");
  ConfirmCreateDialogs(exported.size());
  ASSERT_TRUE(m_host.Select(EPanel::Files, {GetParam().file}));
  m_host.Activate(EPanel::Files);
  m_host.PutFiles(true);
  EXPECT_EQ(Cards(Panel()), Joined(kMe, exported));
  EXPECT_EQ(Files(), std::vector<std::string>{}) << "every entry arrived: the file may go";
  ExpectPanelIsThePhone();
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RoundTrip,
    testing::Values(FormatCase{"Text", 0, "SM.txt"}, FormatCase{"AddressBook", 1, "SM.abk"},
                    FormatCase{"Csv", 2, "SM.csv"}, FormatCase{"VCard", 3, "SM.vcf"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

TEST_F(PhoneBookTransfer, ImportWithACancelledEntryKeepsTheFile) {
  std::ofstream(m_folder / "two.csv") << "Name,Phone\r\nAnn,+1 234\r\nZed,555\r\n";
  ASSERT_TRUE(m_host.SetFolder(m_folder.string()));
  Enter("ME");
  m_host.AnswerDialog("CreateItemDlg").Escape();
  m_host.AnswerMessage(1).Topic("StopImport");  // go on
  m_host.AnswerDialog("CreateItemDlg").Close(kCreateOk);
  ASSERT_TRUE(m_host.Select(EPanel::Files, {"two.csv"}));
  m_host.Activate(EPanel::Files);
  m_host.PutFiles(true);
  EXPECT_EQ(Cards(Panel()), Joined(kMe, {{"Zed", "555"}}));
  EXPECT_EQ(Files(), std::vector<std::string>{"two.csv"});
  ExpectPanelIsThePhone();
}

// A move that stops early, whether the user stopped it or the file held too many contacts,
// leaves the phone as it was and the file where it was, after one box.
TEST_F(PhoneBookTransfer, AnImportThatStopsKeepsTheFile) {
  std::string tooMany;
  for (size_t i = 0; i <= 5000; ++i) tooMany += "Ann,+1234\r\n";
  const struct {
    const char* file;
    std::string bytes;
    bool dialog;
    std::string topic;
  } cases[] = {
      {"three.csv", "Ann,+1234\r\nBob,555\r\nZed,556\r\n", true, "StopImport"},
      {"many.csv", tooMany, false, "TooManyContactsError"},
  };
  Enter("ME");
  for (const auto& c : cases) {
    std::ofstream(m_folder / c.file, std::ios::binary) << c.bytes;
    ASSERT_TRUE(m_host.SetFolder(m_folder.string()));
    m_host.Activate(EPanel::Plugin);
    if (c.dialog) m_host.AnswerDialog("CreateItemDlg").Escape();
    m_host.AnswerMessage(0).Topic(c.topic);
    const size_t before = m_host.Messages().size();
    ASSERT_TRUE(m_host.Select(EPanel::Files, {c.file}));
    m_host.Activate(EPanel::Files);
    m_host.PutFiles(true);
    EXPECT_EQ(m_host.Messages().size(), before + 1) << c.file;
    EXPECT_EQ(m_host.Messages().back().helpTopic, c.topic) << c.file;
    EXPECT_EQ(Cards(Panel()), Joined(kMe, {})) << c.file;
    EXPECT_TRUE(std::filesystem::exists(m_folder / c.file)) << c.file;
  }
  EXPECT_EQ(m_host.Messages().back().items.at(1),
            "The file holds more than 5000 contacts, more than one copy takes");
}

TEST_F(PhoneBookTransfer, ImportOfAHugeFileIsRefusedAndKeepsIt) {
  {
    std::ofstream big(m_folder / "big.csv", std::ios::binary);
    big << "Ann,+1234\r\n";
    big.seekp(17 << 20);
    big << "\n";
  }
  ASSERT_TRUE(m_host.SetFolder(m_folder.string()));
  Enter("ME");
  m_host.AnswerEveryMessage(0);
  ASSERT_TRUE(m_host.Select(EPanel::Files, {"big.csv"}));
  m_host.Activate(EPanel::Files);
  m_host.PutFiles(true);
  ASSERT_FALSE(m_host.Messages().empty());
  EXPECT_EQ(m_host.Messages().back().items.at(1), "The file is too large for a phone book");
  EXPECT_EQ(Cards(Panel()), Joined(kMe, {}));
  EXPECT_EQ(Files(), std::vector<std::string>{"big.csv"});
}

TEST_F(PhoneBookTransfer, ImportAtTheRootIsRefused) {
  std::ofstream(m_folder / "two.csv") << "Ann,+1234\r\n";
  ASSERT_TRUE(m_host.SetFolder(m_folder.string()));
  ASSERT_TRUE(m_host.Select(EPanel::Files, {"two.csv"}));
  m_host.Activate(EPanel::Files);
  m_host.AnswerMessage(0).Topic("NoImportError");
  EXPECT_EQ(m_host.PutFiles(true), 0);
  ASSERT_FALSE(m_host.Messages().empty());
  EXPECT_EQ(m_host.Messages().back().helpTopic, "NoImportError");
  EXPECT_EQ(Files(), std::vector<std::string>{"two.csv"});
}

// The copy dialog between storages: the frame, the prompt, ME (SM's only writable other), then
// its buttons.
constexpr int kCopyInternalOk = 3;

// Names in letters the host's code page lacks (the panel shows them with '?') are written, moved
// and exported from the form the phone or the file gave, never from what the panel shows.
TEST_F(PhoneBookTransfer, NamesTheCodePageLacksKeepTheirLetters) {
  ASSERT_TRUE(m_phone->ChangePhone(R"({"phoneBooks": {"SM": {
      "20": {"number": "+905551", "name": "Ayşe Öztürk", "type": 145},
      "21": {"number": "+30210", "name": "Ωμέγα Αλεξίου", "type": 145},
      "22": {"number": "+7495", "name": "Şahin Иван", "type": 145}}}})"))
      << m_phone->Failure();
  Enter("SM");
  const auto nameAt = [this](uint64_t index) {
    for (const Host::CPanelItem& item : Panel().Items()) {
      if (!item.IsFolder() && item.size == index) return item.name;
    }
    ADD_FAILURE() << "nothing at " << index;
    return std::string();
  };
  // F6: Ayşe to 30.
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent(nameAt(20)));
  m_host.AnswerDialog("MoveItemDlg").SetText(2, "30").Close(3);
  m_host.PressKey(kVkF6);
  // F4 changing the number alone.
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent(nameAt(21)));
  m_host.AnswerDialog("EditItemDlg").SetText(4, "+30211").Close(5);
  m_host.PressKey(kVkF4);
  // Alt+F6: Ivan to ME, where 2 is the first free location.
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent(nameAt(22)));
  m_host.AnswerDialog("CopyItemInternalDlg").Close(kCopyInternalOk);
  ConfirmCreateDialogs(1);
  m_host.PressKey(kVkF6, PKF_ALT);
  // A vCard in UTF-8 imported into SM, whose first free location is 3.
  std::ofstream(m_folder / "new.vcf") << "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Şule Ναταλία\r\n"
                                         "TEL:+90312\r\nEND:VCARD\r\n";
  ASSERT_TRUE(m_host.SetFolder(m_folder.string()));
  ConfirmCreateDialogs(1);
  ASSERT_TRUE(m_host.Select(EPanel::Files, {"new.vcf"}));
  m_host.Activate(EPanel::Files);
  m_host.PutFiles(true);
  // SM exported as vCard.
  m_host.Activate(EPanel::Plugin);
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {nameAt(30), nameAt(21), nameAt(3)}));
  m_host.AnswerDialog("CopyItemDlg").SetSelected(kFirstFormat + 3).Close(kCopyButton);
  m_host.PressKey(kVkF5);
  std::stringstream exported;
  exported << std::ifstream(m_folder / "SM.vcf", std::ios::binary).rdbuf();
  FinishPhone();

  const Facts held = FactsOf(m_phone->SavedState());
  for (const char* fact : {"SM 30 +905551 Ayşe Öztürk", "SM 21 +30211 Ωμέγα Αλεξίου",
                           "ME 2 +7495 Şahin Иван", "SM 3 +90312 Şule Ναταλία"}) {
    EXPECT_NE(std::find(held.begin(), held.end(), fact), held.end()) << fact;
  }
  for (const char* name : {"FN:Ayşe Öztürk", "FN:Ωμέγα Αλεξίου", "FN:Şule Ναταλία"}) {
    EXPECT_NE(exported.str().find(name), std::string::npos) << name << " in\n" << exported.str();
  }
}

TEST_F(PhoneBookTransfer, CopyAndMoveBetweenStoragesLoseNothing) {
  Enter("SM");
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"Bob", "Balance"}));
  m_host.AnswerDialog("CopyItemInternalDlg").Close(kCopyInternalOk);
  ConfirmCreateDialogs(2);
  m_host.PressKey(kVkF5, PKF_ALT);
  EXPECT_EQ(Cards(Panel()), Joined(kSm, {})) << "a copy keeps the source";
  ExpectPanelIsThePhone();
  Enter("ME");
  EXPECT_EQ(Cards(Panel()), Joined(kMe, {kSm[1], kSm[4]}));
  ExpectPanelIsThePhone();

  // A move whose creation is cancelled keeps the entry where it was.
  Enter("SM");
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent("Anna Berg"));
  m_host.AnswerDialog("CopyItemInternalDlg").Close(kCopyInternalOk);
  m_host.AnswerDialog("CreateItemDlg").Escape();
  m_host.PressKey(kVkF6, PKF_ALT);
  EXPECT_EQ(Cards(Panel()), Joined(kSm, {}));
  ExpectPanelIsThePhone();

  // A confirmed move leaves the source only once the target holds the entry.
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent("Anna Schmidt"));
  m_host.AnswerDialog("CopyItemInternalDlg").Close(kCopyInternalOk);
  ConfirmCreateDialogs(1);
  m_host.PressKey(kVkF6, PKF_ALT);
  EXPECT_EQ(Cards(Panel()), Joined({kSm[1], kSm[2], kSm[3], kSm[4]}, {}));
  ExpectPanelIsThePhone();
  Enter("ME");
  EXPECT_EQ(Cards(Panel()), Joined(kMe, {kSm[0], kSm[1], kSm[4]}));
  ExpectPanelIsThePhone();
}

TEST_F(PhoneBookTransfer, F6GivesTheEntryANewIndex) {
  Enter("SM");
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent("Bob"));
  m_host.AnswerDialog("MoveItemDlg").SetText(2, "3").Close(3);
  m_host.PressKey(kVkF6);
  uint64_t index = 0;
  for (const Host::CPanelItem& item : Panel().Items()) {
    if (item.name == "Bob") index = item.size;
  }
  EXPECT_EQ(index, 3u);
  EXPECT_EQ(Cards(Panel()), Joined(kSm, {}));
  ExpectPanelIsThePhone();
}

TEST_F(PhoneBookTransfer, AMoveThePhoneRefusesKeepsTheSource) {
  FinishPhone();
  PhoneSimulatorSetup setup = Classic();
  setup.faultsJson = R"({"refusals": [{"command": "AT+CPBW=", "times": 1, "reply": "ERROR"}]})";
  StartPhone(setup);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  Enter("SM");
  m_host.AnswerEveryMessage(0);
  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent("Bob"));
  m_host.AnswerDialog("CopyItemInternalDlg").Close(kCopyInternalOk);
  ConfirmCreateDialogs(1);
  m_host.PressKey(kVkF6, PKF_ALT);
  EXPECT_EQ(Cards(Panel()), Joined(kSm, {}));
  ExpectPanelIsThePhone();
  Enter("ME");
  EXPECT_EQ(Cards(Panel()), Joined(kMe, {}));
  ExpectPanelIsThePhone();
}

// Such a phone answers "not found" for an empty location: after the erase that is its word
// that the entry is gone, both for a delete and for the source of a move.
TEST_F(PhoneBookTransfer, APhoneThatRefusesToReadAnEmptyLocationLosesDeletedAndMovedEntries) {
  FinishPhone();
  PhoneSimulatorSetup setup = Classic();
  setup.profile = "strict-reads";
  StartPhone(setup);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  Enter("SM");
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"Bob"}));
  m_host.AnswerMessage(0).Topic("DeleteNumbers");
  m_host.PressKey(kVkF8);
  EXPECT_EQ(Cards(Panel()), Joined({kSm[0], kSm[2], kSm[3], kSm[4]}, {}));
  ExpectPanelIsThePhone();

  ASSERT_TRUE(m_host.Panel(EPanel::Plugin).SetCurrent("Anna Schmidt"));
  m_host.AnswerDialog("CopyItemInternalDlg").Close(kCopyInternalOk);
  ConfirmCreateDialogs(1);
  m_host.PressKey(kVkF6, PKF_ALT);
  EXPECT_EQ(Cards(Panel()), Joined({kSm[2], kSm[3], kSm[4]}, {}));
  ExpectPanelIsThePhone();
  Enter("ME");
  EXPECT_EQ(Cards(Panel()), Joined(kMe, {kSm[0]}));
  ExpectPanelIsThePhone();
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST_F(PhoneBookTransfer, ExportFromTheRootWritesAFilePerStorageAndTheHostsCopyAnAddressBook) {
  m_host.Activate(EPanel::Plugin);
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"SM", "ME"}));
  m_host.AnswerDialog("CopyItemDlg").SetSelected(kFirstFormat).Close(kCopyButton);
  m_host.PressKey(kVkF5);
  EXPECT_EQ(Files(), (std::vector<std::string>{"ME.txt", "SM.txt"}));
  EXPECT_EQ(FileText(m_folder / "ME.txt"),
            "Phone Book: \"ME\"\r\nHome:\t+447700900010\r\nWork [desk]:\t+447700900011\r\n");
  EXPECT_TRUE(FileText(m_folder / "SM.txt")
                  .starts_with("Phone Book: \"SM\"\r\nAnna Schmidt:\t+447700900001\r\n"));
  EXPECT_EQ(Panel().Items().size(), 6u) << "the panel is at the root again";

  // The host's own copy of one entry: an address book named after the entry alone.
  Enter("SM");
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"Bob"}));
  EXPECT_EQ(m_host.GetFiles(false), 1);
  const std::string bob = FileText(m_folder / "Bob");
  EXPECT_EQ(bob.substr(0, 12), std::string("ABZT\0\0\0\0\1\0\0\0", 12));
  EXPECT_NE(bob.find("+447700900002"), std::string::npos);
}

// The commands from the first AT+CSCS= the functions menu sent on.
Commands FromFirstCharsetChoice(const Commands& commands) {
  size_t greeting = 0;
  for (size_t i = 0; i < commands.size(); ++i) {
    if (commands[i] == "AT+CSCS?") {
      greeting = i + 1;
      break;
    }
  }
  for (size_t i = greeting; i < commands.size(); ++i) {
    if (commands[i].starts_with("AT+CSCS=\""))
      return Commands(commands.begin() + i, commands.end());
  }
  return {};
}

TEST_F(PhoneBookTransfer, FunctionsMenuSwitchesTheCharsetReadsTheNamesAgainAndTheView) {
  Enter("SM");
  std::vector<Card> inGsm;
  m_host.AnswerMenu("Functions").Choose(0);  // the character set
  m_host.AnswerMenu("Functions").Choose(0);  // GSM, of GSM, IRA and UCS2
  m_host.AnswerMenu("Functions").WhileShown([&] { inGsm = Cards(Panel()); }).Choose(0);
  m_host.AnswerMenu("Functions").Choose(2);  // back to UCS2
  m_host.AnswerMenu("Functions")
      .WhileShown([&] { EXPECT_EQ(Cards(Panel()), Joined(kSm, {})); })
      .Choose(2);  // the terminal, left at once
  m_host.AnswerDialog("Terminal").Escape();
  m_host.AnswerMenu("Functions").Choose(5);  // the SMS view
  m_host.PressKey(kVkF2);

  ASSERT_EQ(m_host.Menus().size(), 6u);
  EXPECT_EQ(m_host.Menus()[0].items.at(0).text, "&Character set: UCS2");
  EXPECT_EQ(m_host.Menus()[1].title, "Character set");
  EXPECT_EQ(m_host.Menus()[1].items.size(), 3u);
  EXPECT_EQ(m_host.Menus()[2].items.at(0).text, "&Character set: GSM");
  EXPECT_EQ(inGsm.size(), kSm.size()) << "every entry read again in GSM";
  ASSERT_EQ(m_host.Dialogs().size(), 1u);
  EXPECT_EQ(m_host.Dialogs().back().helpTopic, "Terminal");
  EXPECT_TRUE(Cards(Panel()).empty()) << "the SMS view shows no entries";
  // Each switch reads SM again in the new set (still selected); ME is read only when entered.
  const Commands commands = FromFirstCharsetChoice(FinishPhone());
  ASSERT_GE(commands.size(), 4u);
  EXPECT_EQ(Commands(commands.begin(), commands.begin() + 4),
            (Commands{"AT+CSCS=\"GSM\"", "AT+CSCS?", "AT+CPBR=?", "AT+CPBS?"}));
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+CSCS=\"UCS2\""), 1);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+CPBR=?"), 2);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+CPBS=\"ME\""), 0);
}

}  // namespace
}  // namespace EndToEnd
