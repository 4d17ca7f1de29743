#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "classic_phone.h"
#include "open_phone_fixture.h"

// The SMS view's commands as a user gives them: keys, the functions and storage menus, copying
// messages out, viewing them and adding a sender to the phone book, each checked against the
// commands the simulated phone received and what it holds afterwards.
namespace EndToEnd {
namespace {

using Host::EPanel;

// The classic phone's received messages: three in SM (indexes 1, 2 and 6), one in ME (index 1).
// Their PDUs tell whether the phone still holds them.
const std::string kSm1 =
    "0791447700090000040C914477000900100000503012900000000FC8329BFD0699E5EF3628E8768701";
const std::string kSm2 =
    "0791447700090000040C914477000900200000503012900000000B55B7BC1C2683DCE5FB1C";
const std::string kSm6 =
    "0791447700090000040B919700214365F70008503012900000000C041F04400438043204350442";
const std::string kMe1 =
    "0791447700090000040C914477000900010000503012900000001450F4DB5D06B5CBEDB73C0F6A97E7F3F0B90C";

// Listing every storage one after the other, as the view does when it re-reads.
const Commands kListAll = {"AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CMGL=4",
                           "AT+CPMS=\"ME\",\"SM\",\"SM\"", "AT+CMGL=4"};

// The message dialog: the sender's number, "Add" for an unknown sender, then the name, the time,
// the text lines and OK, Details, Reply.
constexpr int kAddSenderButton = 3;
constexpr int kReplyButton = 11;
// The copy dialog: the frame, the prompt, the destination, then Copy and Cancel.
constexpr int kCopyDestination = 2;
constexpr int kCopyButton = 3;
// The phone book's creation dialog: the name and number fields and OK.
constexpr int kEntryName = 4;
constexpr int kEntryNumber = 6;
constexpr int kEntryOk = 7;
// The functions menu's terminal item, and the terminal's command line and OK.
constexpr int kTerminalItem = 2;
constexpr int kTerminalCommandLine = 16;
constexpr int kTerminalOk = 17;

class SmsCommands : public OpenPhone {
 protected:
  void SetUp() override {
    m_folder = std::filesystem::temp_directory_path() /
               ("zantel-sms-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(m_folder);
    Load();
    PhoneSimulatorSetup setup = Phone("classic");
    setup.stateJson = ClassicState();
    StartPhone(setup);
    ASSERT_TRUE(m_host.SetFolder(m_folder.string()));
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }

  // Opened in the messages from the plug-ins menu: every storage is listed.
  void OpenMessages() {
    ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
    m_host.Activate(EPanel::Plugin);
    m_opened = m_phone->ReceivedCommands().size();
  }

  void Enter(const std::string& folder) {
    ASSERT_TRUE(m_host.SetDirectory("\\" + folder));
    m_host.Activate(EPanel::Plugin);
  }

  Host::CPanel& Panel() { return m_host.Panel(EPanel::Plugin); }

  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Host::CPanelItem& item : Panel().Items()) names.push_back(item.name);
    return names;
  }

  // What the phone received since the panel was open and listed, and what it then holds.
  Commands FinishAfterOpening(std::string* state = nullptr) {
    const Commands all = FinishPhone();
    if (state) *state = m_phone->SavedState();
    return Commands(all.begin() + static_cast<std::ptrdiff_t>(std::min(m_opened, all.size())),
                    all.end());
  }

  // The storage choice kept in the phone's key, if any.
  std::optional<uint32_t> StorageChoice() {
    Platform::CRegKey devices = Platform::CRegKey::Open(kSettingsKey + "\\Devices");
    for (const std::string& phone : devices.SubKeyNames()) {
      Platform::CRegKey key = Platform::CRegKey::Open(kSettingsKey + "\\Devices\\" + phone);
      Platform::RegValue value;
      if (key.QueryValue("ReadSMSStorage", value) != 0 || value.Data.size() != 4) continue;
      uint32_t number = 0;
      std::memcpy(&number, value.Data.data(), 4);
      return number;
    }
    return std::nullopt;
  }

  const Host::ShownMessage* LastBoxAbout(const std::string& helpTopic) const {
    const Host::ShownMessage* found = nullptr;
    for (const auto& box : m_host.Messages()) {
      if (box.helpTopic == helpTopic) found = &box;
    }
    return found;
  }

  size_t ShownSoFar() {
    return m_host.Messages().size() + m_host.Dialogs().size() + m_host.Menus().size();
  }

  std::filesystem::path m_folder;
  size_t m_opened = 0;
};

TEST_F(SmsCommands, DeletesTheCurrentAndTheSelectedEachFromItsOwnStorage) {
  OpenMessages();
  Enter("Received");
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "+447700900001", "+447700900002",
                                               "+79001234567", "+447700900010"}));

  // The listing ended in ME; the message under the cursor lives in SM.
  ASSERT_TRUE(Panel().SetCurrent("+447700900001"));
  m_host.AnswerMessage(0).Topic("DeleteMessages");
  EXPECT_TRUE(m_host.PressKey(kVkF8, PKF_SHIFT));
  ASSERT_NE(LastBoxAbout("DeleteMessages"), nullptr);
  EXPECT_EQ(LastBoxAbout("DeleteMessages")->flags, static_cast<FarDword>(FMSG_WARNING));
  EXPECT_EQ(LastBoxAbout("DeleteMessages")->items,
            (std::vector<std::string>{"Warning", "Delete the selected item?", "OK", "Cancel"}));
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"..", "+447700900002", "+79001234567", "+447700900010"}));

  // One from each storage, in the host's order; the selection goes with them.
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"+447700900002", "+447700900010"}));
  m_host.AnswerMessage(0).Topic("DeleteMessages");
  EXPECT_TRUE(m_host.PressKey(kVkF8));
  EXPECT_EQ(LastBoxAbout("DeleteMessages")->items.at(1), "Delete 2 selected items?");
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "+79001234567"}));
  EXPECT_EQ(Panel().SelectedCount(), 0);
  // Ctrl+R reads every storage again.
  EXPECT_TRUE(m_host.PressKey('R', PKF_CONTROL));
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "+79001234567"}));

  std::string state;
  // Each is read first: it is deleted only while its location still holds it.
  Commands expected = {"AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CMGR=1", "AT+CMGD=1"};
  expected.insert(expected.end(), kListAll.begin(), kListAll.end());
  for (const char* command : {"AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CMGR=2", "AT+CMGD=2",
                              "AT+CPMS=\"ME\",\"SM\",\"SM\"", "AT+CMGR=1", "AT+CMGD=1"})
    expected.push_back(command);
  expected.insert(expected.end(), kListAll.begin(), kListAll.end());
  expected.insert(expected.end(), kListAll.begin(), kListAll.end());
  EXPECT_EQ(FinishAfterOpening(&state), expected);
  for (const auto& [pdu, kept] : {std::pair{kSm1, false}, std::pair{kSm2, false},
                                  std::pair{kSm6, true}, std::pair{kMe1, false}})
    EXPECT_EQ(state.find(pdu) != std::string::npos, kept) << pdu;
}

TEST_F(SmsCommands, RefusedDeletionIsReportedAndTheRestStillGo) {
  // The phone refuses its first deletion (the message in SM).
  m_phone.reset();
  PhoneSimulatorSetup setup =
      Phone("classic", {},
            R"({"refusals": [{"command": "AT+CMGD=1", "times": 1, "reply": "+CMS ERROR: 321"}]})");
  setup.stateJson = ClassicState();
  StartPhone(setup);
  OpenMessages();
  Enter("Received");
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"+447700900001", "+447700900002"}));
  m_host.AnswerMessage(0).Topic("DeleteMessages");
  m_host.AnswerEveryMessage(CMessageAnswer::kLastButton);
  EXPECT_TRUE(m_host.PressKey(kVkF8));
  EXPECT_TRUE(std::any_of(m_host.Messages().begin(), m_host.Messages().end(),
                          [](const Host::ShownMessage& box) {
                            return std::find(box.items.begin(), box.items.end(),
                                             "+CMS ERROR: 321") != box.items.end();
                          }))
      << "the refusal is shown";
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"..", "+447700900001", "+79001234567", "+447700900010"}));
  Commands expected = {"AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CMGR=1", "AT+CMGD=1", "AT+CMGR=2",
                       "AT+CMGD=2"};
  expected.insert(expected.end(), kListAll.begin(), kListAll.end());
  EXPECT_EQ(FinishAfterOpening(), expected);
}

// The terminal leaves SM selected in the phone; a deletion in ME must select ME again, or
// AT+CMGD=1 would erase SM's first message.
TEST_F(SmsCommands, DeletionAfterTheTerminalSelectsItsStorageAgain) {
  OpenMessages();
  Enter("Received");
  m_host.AnswerMenu("Functions").Choose(kTerminalItem);
  m_host.AnswerDialog("Terminal")
      .SetText(kTerminalCommandLine, "AT+CPMS=\"SM\"")
      .Close(kTerminalOk);
  m_host.AnswerDialog("Terminal").Escape();
  m_host.AnswerMenu("Functions").Escape();
  EXPECT_TRUE(m_host.PressKey(kVkF2));
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"+447700900010"}));
  m_host.AnswerMessage(0).Topic("DeleteMessages");
  EXPECT_TRUE(m_host.PressKey(kVkF8));

  std::string state;
  Commands expected = {"AT+CPMS=\"SM\"", "AT+CPMS=\"ME\",\"SM\",\"SM\"", "AT+CMGR=1", "AT+CMGD=1"};
  expected.insert(expected.end(), kListAll.begin(), kListAll.end());
  EXPECT_EQ(FinishAfterOpening(&state), expected);
  for (const auto& [pdu, kept] : {std::pair{kSm1, true}, std::pair{kMe1, false}})
    EXPECT_EQ(state.find(pdu) != std::string::npos, kept) << pdu;
}

// Every PDU the phone holds, sorted.
std::vector<std::string> PdusOf(const std::string& state) {
  static const std::regex kPdu(R"re("pdu"\s*:\s*"([0-9A-Fa-f]*)")re");
  std::vector<std::string> pdus;
  for (auto it = std::sregex_iterator(state.begin(), state.end(), kPdu);
       it != std::sregex_iterator(); ++it)
    pdus.push_back((*it)[1].str());
  std::sort(pdus.begin(), pdus.end());
  return pdus;
}

// Behind the listed view the terminal deletes two of SM's messages and the phone stores a new
// unread one in the first one's location: F8 on the two old items must leave the phone alone,
// and say so once.
TEST_F(SmsCommands, MessagesChangedOnThePhoneAreNotDeleted) {
  // From +447700900003 where kSm1 came from +447700900001; 33 octets after the centre's address.
  const std::string newSm1 =
      "0791447700090000040C914477000900300000503012900000000FC8329BFD0699E5EF3628E8768701";
  OpenMessages();
  Enter("Received");
  m_host.AnswerMenu("Functions").Choose(kTerminalItem);
  for (const char* command : {"AT+CPMS=\"SM\"", "AT+CMGD=1", "AT+CMGD=6", "AT+CMGW=33,0"})
    m_host.AnswerDialog("Terminal").SetText(kTerminalCommandLine, command).Close(kTerminalOk);
  // The terminal waits for a final line after the phone's prompt, in vain.
  m_host.AnswerMessage(CMessageAnswer::kLastButton).Topic("TimeoutError");
  m_host.AnswerDialog("Terminal").SetText(kTerminalCommandLine, newSm1 + "\x1A").Close(kTerminalOk);
  m_host.AnswerDialog("Terminal").Escape();
  m_host.AnswerMenu("Functions").Escape();
  EXPECT_TRUE(m_host.PressKey(kVkF2));
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "+447700900001", "+447700900002",
                                               "+79001234567", "+447700900010"}))
      << "the view still shows what it listed";
  const size_t commandsBefore = m_phone->ReceivedCommands().size();
  const size_t boxesBefore = m_host.Messages().size();

  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"+447700900001", "+79001234567"}));
  m_host.AnswerMessage(0).Topic("DeleteMessages");
  m_host.AnswerMessage(0).Topic("MessageChangedError");
  EXPECT_TRUE(m_host.PressKey(kVkF8));

  std::vector<std::string> topics;
  for (size_t i = boxesBefore; i < m_host.Messages().size(); ++i) {
    if (m_host.Messages()[i].buttons > 0) topics.push_back(m_host.Messages()[i].helpTopic);
  }
  EXPECT_EQ(topics, (std::vector<std::string>{"DeleteMessages", "MessageChangedError"}))
      << "told once, and an empty location is no error of the phone's";
  if (const Host::ShownMessage* told = LastBoxAbout("MessageChangedError")) {
    EXPECT_EQ(told->flags, static_cast<FarDword>(FMSG_WARNING));
    EXPECT_EQ(
        told->items,
        (std::vector<std::string>{
            "Zantel", "Changed on the phone, so not deleted. The list was read again.", "OK"}));
  }
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"..", "+447700900003", "+447700900002", "+447700900010"}))
      << "the list was read again";

  std::string state;
  const Commands all = FinishAfterOpening(&state);
  const auto terminalEnd = all.begin() + static_cast<std::ptrdiff_t>(commandsBefore - m_opened);
  EXPECT_EQ(Commands(all.begin(), terminalEnd),
            (Commands{"AT+CPMS=\"SM\"", "AT+CMGD=1", "AT+CMGD=6", "AT+CMGW=33,0", newSm1}));
  Commands expected = {"AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CMGR=1", "AT+CMGR=6"};
  expected.insert(expected.end(), kListAll.begin(), kListAll.end());
  EXPECT_EQ(Commands(terminalEnd, all.end()), expected) << "nothing was deleted";
  std::vector<std::string> held = PdusOf(ClassicState());
  std::erase(held, kSm6);
  std::replace(held.begin(), held.end(), kSm1, newSm1);
  std::sort(held.begin(), held.end());
  EXPECT_EQ(PdusOf(state), held) << "the phone holds what it held before F8";
}

// Keys with nothing to act on: the host must not act either, and the phone hears nothing.
TEST_F(SmsCommands, KeysWithNothingToActOnDoNothing) {
  OpenMessages();
  struct Case {
    const char* folder;
    const char* cursor;
    int key;
    unsigned int state;
  };
  const Case cases[] = {
      {"", "Received", kVkF8, 0},           {"", "Received", kVkF8, PKF_SHIFT},
      {"Received", "..", kVkF8, PKF_SHIFT}, {"Received", "..", kVkF8, 0},
      {"Received", "..", kVkF3, 0},         {"Received", "..", kVkF3, PKF_ALT},
      {"Received", "..", kVkF5, 0},
  };
  for (const Case& test : cases) {
    const std::string what = std::string(test.folder) + " " + test.cursor + " " +
                             Host::DescribeKey(test.key) + " " + std::to_string(test.state);
    ASSERT_TRUE(m_host.SetDirectory(std::string("\\") + test.folder)) << what;
    ASSERT_TRUE(Panel().SetCurrent(test.cursor)) << what;
    const size_t shown = ShownSoFar();
    EXPECT_TRUE(m_host.PressKey(test.key, test.state)) << what << ": left to the host";
    EXPECT_EQ(ShownSoFar(), shown) << what;
  }

  // Three selected and the question cancelled.
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"+447700900001", "+447700900002", "+447700900010"}));
  m_host.AnswerMessage(1).Topic("DeleteMessages");
  m_host.PressKey(kVkF8);
  EXPECT_EQ(LastBoxAbout("DeleteMessages")->items.at(1), "Delete 3 selected items?");
  EXPECT_EQ(Panel().SelectedCount(), 3);
  EXPECT_EQ(FinishAfterOpening(), Commands{});
}

TEST_F(SmsCommands, StorageMenusChooseWhatIsReadAndRememberIt) {
  OpenMessages();
  m_host.AnswerMenu("Functions").Choose(1);
  m_host.AnswerMenu("StoragesMenu").Choose(0);
  m_host.AnswerMenu("SMSStorageMenu").Choose(1);  // ME alone
  std::optional<uint32_t> choiceBetween;
  std::string receivedBetween;
  m_host.AnswerMenu("StoragesMenu")
      .WhileShown([&] {
        choiceBetween = StorageChoice();
        receivedBetween = Panel().Items().at(1).description;
      })
      .Choose(0);
  m_host.AnswerMenu("SMSStorageMenu").Choose(2);  // all storages
  m_host.AnswerMenu("StoragesMenu").Escape();
  m_host.AnswerMenu("Functions").Escape();
  EXPECT_TRUE(m_host.PressKey(kVkF2));

  EXPECT_EQ(choiceBetween, 1u);
  EXPECT_EQ(receivedBetween, " 1");
  EXPECT_EQ(StorageChoice(), 2u) << "the index past the storages means all of them";
  EXPECT_EQ(Panel().Items().at(1).description, " 4");

  std::vector<const Host::ShownMenu*> storages;
  std::vector<const Host::ShownMenu*> choices;
  for (const Host::ShownMenu& menu : m_host.Menus()) {
    if (menu.helpTopic == "StoragesMenu") storages.push_back(&menu);
    if (menu.helpTopic == "SMSStorageMenu") choices.push_back(&menu);
  }
  ASSERT_EQ(storages.size(), 3u);
  ASSERT_EQ(choices.size(), 2u);
  const auto texts = [](const Host::ShownMenu& menu) {
    std::vector<std::string> lines;
    for (const auto& item : menu.items) lines.push_back(item.text);
    return lines;
  };
  EXPECT_EQ(storages[0]->title, "SMS &storages");
  EXPECT_EQ(texts(*storages[0]),
            (std::vector<std::string>{"Read and delete: All storages", "Write and send: SIM card",
                                      "Receive: SIM card"}));
  EXPECT_EQ(texts(*storages[1]).at(0), "Read and delete: Phone memory");
  EXPECT_EQ(texts(*storages[2]).at(0), "Read and delete: All storages");
  EXPECT_EQ(storages[1]->items.at(0).selected, 1) << "the last chosen line stays";
  EXPECT_EQ(choices[0]->title, "Read and delete: ");
  EXPECT_EQ(texts(*choices[0]),
            (std::vector<std::string>{"SIM card", "Phone memory", "All storages"}));
  for (const auto& [menu, current] : {std::pair{choices[0], 2}, std::pair{choices[1], 1}}) {
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(menu->items.at(i).checked, i == current ? 1 : 0) << i;
      EXPECT_EQ(menu->items.at(i).selected, i == current ? 1 : 0) << i;
    }
  }

  Commands expected = {"AT+CPMS=\"ME\",\"SM\",\"SM\"", "AT+CPMS?", "AT+CMGL=4",
                       "AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CPMS?"};
  expected.insert(expected.end(), kListAll.begin(), kListAll.end());
  EXPECT_EQ(FinishAfterOpening(), expected);
}

TEST_F(SmsCommands, FunctionsMenuComesBackAfterEachCommandAndEndsInThePhoneBook) {
  OpenMessages();
  m_host.AnswerMenu("Functions").Choose(0);
  m_host.AnswerDialog("CreateSMSMsg").Escape();
  m_host.AnswerMenu("Functions").Choose(1);
  m_host.AnswerMenu("StoragesMenu").Escape();
  m_host.AnswerMenu("Functions").Choose(2);
  m_host.AnswerDialog("Terminal").Escape();
  m_host.AnswerMenu("Functions").Choose(3);
  m_host.AnswerMessage(0);  // the clock's box
  m_host.AnswerMenu("Functions").Choose(4);
  m_host.AnswerDialog("CapabilityLog").Escape();
  m_host.AnswerMenu("Functions").Choose(5);
  EXPECT_TRUE(m_host.PressKey(kVkF2));

  std::vector<int> cursors;
  for (const Host::ShownMenu& menu : m_host.Menus()) {
    if (menu.helpTopic != "Functions") continue;
    EXPECT_EQ(menu.title, "Functions");
    ASSERT_EQ(menu.items.size(), 6u);
    EXPECT_EQ(menu.items[5].text, "&Phone book");
    int cursor = -1;
    for (int i = 0; i < 6; ++i) {
      if (menu.items[i].selected) cursor = i;
    }
    cursors.push_back(cursor);
  }
  EXPECT_EQ(cursors, (std::vector<int>{0, 0, 1, 2, 3, 4}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "SM", "ME", "DC", "MC", "RC"}));
  const Commands after = FinishAfterOpening();
  EXPECT_TRUE(std::any_of(after.begin(), after.end(),
                          [](const std::string& c) { return c.starts_with("AT+CCLK="); }));
}

TEST_F(SmsCommands, CopiesMessagesAsTextIntoTheFolderTyped) {
  OpenMessages();
  // At the top level a folder is one file of all its messages.
  ASSERT_TRUE(Panel().SetCurrent("Unsent"));
  m_host.AnswerDialog("CopyItemDlg").Close(kCopyButton);
  EXPECT_TRUE(m_host.PressKey(kVkF5));
  ASSERT_FALSE(m_host.Dialogs().empty());
  const Host::ShownDialog& first = m_host.Dialogs().back();
  EXPECT_EQ(first.x2, 70);
  EXPECT_EQ(first.y2, 9);
  EXPECT_EQ(first.items.at(0).data, "Copy");
  EXPECT_EQ(first.items.at(1).data, "Copy Unsent to:");
  EXPECT_EQ(first.items.at(kCopyDestination).data, m_folder.string());
  EXPECT_EQ(first.items.at(kCopyDestination).history, "Copy");
  EXPECT_TRUE(std::filesystem::exists(m_folder / "Unsent"));

  // Inside a folder, into another folder typed in the dialog; cancelled, nothing is written.
  Enter("Received");
  const std::filesystem::path typed = m_folder / "typed";
  std::filesystem::create_directories(typed);
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"+447700900001", "+447700900010"}));
  m_host.AnswerDialog("CopyItemDlg").Escape();
  m_host.PressKey(kVkF5);
  EXPECT_TRUE(std::filesystem::is_empty(typed));
  m_host.AnswerDialog("CopyItemDlg").SetText(kCopyDestination, typed.string()).Close(kCopyButton);
  m_host.PressKey(kVkF5);
  EXPECT_EQ(m_host.Dialogs().back().items.at(1).data, "Copy 2 items to:");
  std::ifstream file(typed / "+447700900010", std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str().rfind("From: +447700900010\r\n", 0), 0u) << text.str();
  EXPECT_TRUE(std::filesystem::exists(typed / "+447700900001"));
  EXPECT_FALSE(std::filesystem::exists(m_folder / "+447700900001"));
  EXPECT_EQ(FinishAfterOpening(), Commands{}) << "copying never deletes";
}

TEST_F(SmsCommands, ViewingShowsTheMessageItsDetailsAndRepliesToTheSender) {
  OpenMessages();
  Enter("Received");
  ASSERT_TRUE(Panel().SetCurrent("+447700900002"));
  m_host.AnswerDialog("ReadSMSAvdancedMsg").Escape();
  EXPECT_TRUE(m_host.PressKey(kVkF3, PKF_ALT));
  m_host.AnswerDialog("ReadSMSMsg").Close(kReplyButton);
  m_host.AnswerDialog("CreateSMSMsg").Escape();
  m_host.AnswerDialog("ReadSMSMsg").Escape();
  EXPECT_TRUE(m_host.PressKey(kVkF3));

  const std::vector<Host::ShownDialog>& dialogs = m_host.Dialogs();
  ASSERT_EQ(dialogs.size(), 4u);
  const auto holds = [](const Host::ShownDialog& dialog, const std::string& text) {
    return std::any_of(dialog.items.begin(), dialog.items.end(),
                       [&](const Host::ShownDialogItem& item) { return item.data == text; });
  };
  EXPECT_TRUE(holds(dialogs[0], "+447700900002"));
  EXPECT_TRUE(holds(dialogs[0], kSm2));
  EXPECT_TRUE(holds(dialogs[1], "+447700900002"));
  EXPECT_TRUE(holds(dialogs[2], "+447700900002")) << "the reply goes to the sender";
  EXPECT_EQ(dialogs[3].helpTopic, "ReadSMSMsg") << "the message comes back after the reply";
  EXPECT_EQ(FinishAfterOpening(), Commands{});
}

TEST_F(SmsCommands, AddsTheSenderToAWritablePhoneBookAndNamesTheMessage) {
  // The phone book first: SM and the call list DC are read, ME is not.
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  ASSERT_TRUE(m_host.SetDirectory("\\DC"));
  ASSERT_TRUE(m_host.SetDirectory(".."));
  m_host.Activate(EPanel::Plugin);
  m_host.AnswerMenu("Functions").Choose(5);
  ASSERT_TRUE(m_host.PressKey(kVkF2));
  Enter("Received");
  EXPECT_EQ(Names(), (std::vector<std::string>{"..", "Anna Schmidt", "Bob", "+79001234567",
                                               "+447700900010"}));

  ASSERT_TRUE(Panel().SetCurrent("+447700900010"));
  m_host.AnswerDialog("ReadSMSMsg").Close(kAddSenderButton);
  m_host.AnswerMenu("SelectBookMenu").Choose(0);
  m_host.AnswerDialog("CreateItemDlg").SetText(kEntryName, "Zed").Close(kEntryOk);
  m_host.AnswerDialog("ReadSMSMsg").Escape();
  EXPECT_TRUE(m_host.PressKey(kVkF3));

  const Host::ShownMenu& books = m_host.Menus().back();
  EXPECT_EQ(books.title, "Add to phone book");
  ASSERT_EQ(books.items.size(), 1u) << "only a storage read and writable";
  const Host::ShownDialog& created = m_host.Dialogs().at(m_host.Dialogs().size() - 2);
  EXPECT_EQ(created.items.at(kEntryNumber).data, "+447700900010");
  EXPECT_EQ(created.items.at(kEntryName).data, "");
  EXPECT_EQ(Names().back(), "Zed");
  std::string state;
  const Commands after = FinishAfterOpening(&state);
  // DC was read last, so the phone has it selected: SM must be selected before the write.
  const auto write = std::find_if(after.begin(), after.end(), [](const std::string& c) {
    return c.starts_with("AT+CPBW=") && c.find("+447700900010") != std::string::npos;
  });
  ASSERT_NE(write, after.end()) << testing::PrintToString(after);
  EXPECT_EQ(*(write - 1), "AT+CPBS=\"SM\"") << testing::PrintToString(after);
  EXPECT_NE(state.find("\"Zed\""), std::string::npos) << "the phone holds the new contact";
}

}  // namespace
}  // namespace EndToEnd
