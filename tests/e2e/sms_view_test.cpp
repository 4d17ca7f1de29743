#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "open_phone_fixture.h"

// The SMS view as a user meets it: the phone's statuses as folders, its messages inside, read
// from every storage of the simulated phone, and copied out as text files.
namespace EndToEnd {
namespace {

using Host::EPanel;

constexpr int kVkF2 = 0x71;
constexpr int kSmsViewChoice = 5;  // in the phone-book view's functions menu

// ---- Short messages as the phone keeps them, built here octet by octet ----

std::string Hex(unsigned value) {
  static const char kDigits[] = "0123456789ABCDEF";
  return {kDigits[(value >> 4) & 15], kDigits[value & 15]};
}

// Two decimal digits, the low one first.
std::string Swapped(int value) { return {char('0' + value % 10), char('0' + value / 10 % 10)}; }

std::string SemiOctets(const std::string& digits) {
  std::string out;
  for (size_t i = 0; i < digits.size(); i += 2)
    out += std::string{i + 1 < digits.size() ? digits[i + 1] : 'F', digits[i]};
  return out;
}

// Septets (the text's ASCII codes, which the default alphabet shares for these characters)
// packed eight into seven octets.
std::string PackedSeptets(const std::string& text) {
  std::string out;
  unsigned bits = 0;
  int count = 0;
  for (const char c : text) {
    bits |= static_cast<unsigned>(c & 0x7F) << count;
    count += 7;
    while (count >= 8) {
      out += Hex(bits & 0xFF);
      bits >>= 8;
      count -= 8;
    }
  }
  if (count > 0) out += Hex(bits & 0xFF);
  return out;
}

// An international number, or any other text as an alphanumeric address.
std::string Address(const std::string& who) {
  if (who.size() > 1 && who[0] == '+' &&
      who.find_first_not_of("0123456789", 1) == std::string::npos) {
    const std::string digits = who.substr(1);
    return Hex(static_cast<unsigned>(digits.size())) + "91" + SemiOctets(digits);
  }
  return Hex(static_cast<unsigned>((who.size() * 7 + 3) / 4)) + "D0" + PackedSeptets(who);
}

std::string Ucs2(const std::string& text) {
  std::string out;
  for (const char c : text) out += "00" + Hex(static_cast<unsigned char>(c));
  return out;
}

struct Concat {
  unsigned reference = 0;
  unsigned parts = 0;
  unsigned part = 0;
};

std::string UserData(const std::string& text, const Concat& concat, const std::string& header) {
  std::string data = header;
  if (concat.parts) data += "050003" + Hex(concat.reference) + Hex(concat.parts) + Hex(concat.part);
  data += Ucs2(text);
  return Hex(static_cast<unsigned>(data.size() / 2)) + data;
}

// An SMS-DELIVER in UCS2 without a service-centre address, sent on 21.03.05 at 09:mm:ss.
std::string Deliver(const std::string& from, const std::string& text, int minute = 0,
                    int second = 0, Concat concat = {}, const std::string& header = {}) {
  const bool hasHeader = concat.parts || !header.empty();
  return "00" + std::string(hasHeader ? "44" : "04") + Address(from) + "0008" + "503012" + "90" +
         Swapped(minute) + Swapped(second) + "00" + UserData(text, concat, header);
}

// An SMS-SUBMIT in UCS2; `centre` is the service-centre part ("00" for none).
std::string Submit(const std::string& to, const std::string& text, unsigned reference = 0,
                   const std::string& centre = "00") {
  return centre + "01" + Hex(reference) + Address(to) + "0008" + UserData(text, {}, {});
}

struct Stored {
  int index;
  int status;
  std::string pdu;
};

std::string Storage(const std::string& name, const std::vector<Stored>& messages) {
  std::string json = "{\"name\": \"" + name + "\", \"size\": 250, \"messages\": [";
  for (size_t i = 0; i < messages.size(); ++i) {
    json += (i ? ", " : "") + std::string("{\"index\": ") + std::to_string(messages[i].index) +
            ", \"status\": " + std::to_string(messages[i].status) + ", \"pdu\": \"" +
            messages[i].pdu + "\"}";
  }
  return json + "]}";
}

const std::string kPhoneBook =
    "\"phoneBooks\": [{\"name\": \"SM\", \"entries\": ["
    "{\"index\": 1, \"number\": \"+447700900001\", \"type\": 145, \"name\": \"Anna Schmidt\"},"
    "{\"index\": 2, \"number\": \"+447700900002\", \"type\": 145, \"name\": \"Bob\"}]}]";

PhoneSimulatorSetup State(const std::string& profile, const std::vector<std::string>& storages,
                          std::vector<std::string> options = {}, std::string faults = {}) {
  PhoneSimulatorSetup setup = Phone(profile, std::move(options), std::move(faults));
  std::string json =
      "{\"profile\": \"" + profile + "\", " + kPhoneBook + ", \"messageStorages\": [";
  for (size_t i = 0; i < storages.size(); ++i) json += (i ? ", " : "") + storages[i];
  setup.stateJson = json + "]}";
  return setup;
}

// SM: two received from contacts, one from a stranger, one unsent, one sent; ME: one received.
const std::vector<std::string> kTwoStorages = {
    Storage("SM", {{1, 1, Deliver("+447700900001", "Hello from Anna", 1)},
                   {2, 0, Deliver("+447700900002", "Hi, Bob here", 2)},
                   {3, 1, Deliver("+447700900099", "Stranger", 3)},
                   {5, 2, Submit("+447700900002", "Draft to Bob")},
                   {6, 3, Submit("+447700900001", "Sent to Anna", 7)}}),
    Storage("ME", {{4, 1, Deliver("+447700900001", "Kept in the phone", 4)}})};

Commands AfterGreeting(const Commands& commands) {
  for (size_t i = 0; i < commands.size(); ++i) {
    if (commands[i] == "AT+CSCS?") return Commands(commands.begin() + i + 1, commands.end());
  }
  return commands;
}

const Commands kDiscovery = {"AT+CMGF=0", "AT+CMGL=?", "AT+CPMS=?", "AT+CPMS?"};
const Commands kBothStoragesAtOnce = {"AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CMGL=4",
                                      "AT+CPMS=\"ME\",\"SM\",\"SM\"", "AT+CMGL=4"};

Commands operator+(Commands a, const Commands& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct Shown {
  std::string name;
  uint64_t size;
  std::string description;
  bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& shown, std::ostream* out) {
  *out << "\"" << shown.name << "\" " << shown.size << " \"" << shown.description << "\"";
}

class SmsView : public OpenPhone {
 protected:
  void SetUp() override {
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string safe = name;
    std::replace(safe.begin(), safe.end(), '/', '_');
    m_folder = std::filesystem::temp_directory_path() /
               ("zantel-sms-" + safe + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(m_folder / "out");
  }
  void TearDown() override {
    if (m_phone && m_host.IsOpen()) FinishPhone();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }

  const Host::CPanel& Panel() { return m_host.Panel(EPanel::Plugin); }

  // The panel's items without "..", in the order the plug-in gave them.
  std::vector<Shown> Items() {
    std::vector<Shown> items;
    for (const Host::CPanelItem& item : Panel().Items()) {
      if (!item.IsParent()) items.push_back({item.name, item.size, item.description});
    }
    return items;
  }

  // The item names by storage index, as the host would sort a folder of stored messages.
  std::vector<std::string> NamesByIndex() {
    std::vector<Shown> items = Items();
    std::sort(items.begin(), items.end(),
              [](const Shown& a, const Shown& b) { return a.size < b.size; });
    std::vector<std::string> names;
    for (const Shown& item : items) names.push_back(item.name);
    return names;
  }

  std::vector<std::string> Folders() {
    std::vector<std::string> names;
    for (const Shown& item : Items()) names.push_back(item.name + ":" + item.description);
    return names;
  }

  bool ControlLogHas(const std::string& call) {
    const auto& log = m_host.ControlLog();
    return std::find(log.begin(), log.end(), call) != log.end();
  }

  std::filesystem::path m_folder;
};

TEST_F(SmsView, FoldersByStatusFromEveryStorageOneAfterTheOther) {
  Load();
  StartPhone(State("classic", kTwoStorages));
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  ASSERT_FALSE(Panel().Items().empty());
  EXPECT_TRUE(Panel().Items().front().IsParent());
  // Statuses 0 to 4: no folder for other statuses.
  EXPECT_EQ(Folders(), (std::vector<std::string>{"Received: 4", "Unsent: 1", "Sent: 1"}));
  EXPECT_TRUE(ControlLogHas("FCTL_SETVIEWMODE 0"));
  EXPECT_TRUE(ControlLogHas("FCTL_SETSORTMODE 1"));
  ASSERT_EQ(Panel().plugin.panelModes.size(), 5u);
  EXPECT_EQ(Panel().plugin.panelModes[1].columnTypes, "S,N,DM");
  EXPECT_EQ(Panel().plugin.panelModes[1].columnTitles,
            (std::vector<std::string>{"#", "From", "Time"}));
  EXPECT_EQ(Panel().plugin.panelModes[2].columnTitles, (std::vector<std::string>{"#", "To"}));
  EXPECT_EQ(Panel().plugin.keyBar[3][3], "Edit") << "Shift+F4 at the top level";

  ASSERT_TRUE(m_host.SetDirectory("Received"));
  EXPECT_EQ(Panel().plugin.curDir, "Received");
  // Opened straight into this view the phone book is not read yet: numbers only.
  EXPECT_EQ(NamesByIndex(), (std::vector<std::string>{"+447700900001", "+447700900002",
                                                      "+447700900099", "+447700900001"}));
  EXPECT_EQ(Items()[0].description, "Hello from Anna");
  EXPECT_TRUE(ControlLogHas("FCTL_SETVIEWMODE 1"));
  EXPECT_TRUE(ControlLogHas("FCTL_SETSORTMODE 4"));
  EXPECT_EQ(Panel().plugin.keyBar[2][2], "Detail") << "Alt+F3 inside a folder";

  ASSERT_TRUE(m_host.SetDirectory(".."));
  ASSERT_TRUE(m_host.SetDirectory("Unsent"));
  EXPECT_EQ(Items(), (std::vector<Shown>{{"+447700900002", 5, "Draft to Bob"}}));
  EXPECT_TRUE(ControlLogHas("FCTL_SETSORTMODE 7"));
  EXPECT_FALSE(m_host.SetDirectory("Sent")) << "no folder inside a folder";
  ASSERT_TRUE(m_host.SetDirectory("\\Sent"));
  EXPECT_EQ(Items(), (std::vector<Shown>{{"+447700900001", 6, "Sent to Anna"}}));
  ASSERT_TRUE(m_host.SetDirectory("\\"));
  EXPECT_FALSE(m_host.SetDirectory("received")) << "folder names match exactly";
  m_host.SetDirectory("..");
  EXPECT_FALSE(m_host.IsOpen()) << ".. at the top level closes the panel";

  EXPECT_EQ(AfterGreeting(FinishPhone()), kDiscovery + kBothStoragesAtOnce);
}

// Senders are named from the phone book once it is read: the phone-book view reads SM first.
class SmsNames : public SmsView, public testing::WithParamInterface<bool> {};

TEST_P(SmsNames, SendersFromThePhoneBook) {
  const bool alwaysShowPhone = GetParam();
  SetDword("", "AlwaysShowPhone", alwaysShowPhone ? 1 : 0);
  Load();
  StartPhone(State("classic", kTwoStorages));
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("SM"));
  m_host.Activate(EPanel::Plugin);
  m_host.AnswerMenu("Functions").Choose(kSmsViewChoice);
  m_host.PressKey(kVkF2);
  ASSERT_TRUE(m_host.SetDirectory("\\Received"));
  if (alwaysShowPhone) {
    EXPECT_EQ(NamesByIndex(),
              (std::vector<std::string>{"Anna Schmidt (+447700900001)", "Bob (+447700900002)",
                                        "+447700900099", "Anna Schmidt (+447700900001)"}));
  } else {
    EXPECT_EQ(NamesByIndex(),
              (std::vector<std::string>{"Anna Schmidt", "Bob", "+447700900099", "Anna Schmidt"}));
  }
  ASSERT_TRUE(m_host.SetDirectory("\\Unsent"));
  EXPECT_EQ(Items().at(0).name, alwaysShowPhone ? "Bob (+447700900002)" : "Bob");
}

INSTANTIATE_TEST_SUITE_P(Sms, SmsNames, testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "AlwaysShowPhone" : "NamesOnly");
});

struct ProfileCase {
  const char* name;
  const char* profile;
  Commands listing;  // after discovery
  std::vector<std::string> folders;
};

void PrintTo(const ProfileCase& c, std::ostream* out) { *out << c.name; }

class SmsProfiles : public SmsView, public testing::WithParamInterface<ProfileCase> {};

TEST_P(SmsProfiles, ListsAsThePhoneOffersItsStatuses) {
  const ProfileCase& c = GetParam();
  Load();
  StartPhone(State(c.profile, kTwoStorages));
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  EXPECT_EQ(Folders(), c.folders);
  EXPECT_EQ(AfterGreeting(FinishPhone()), kDiscovery + c.listing);
}

const Commands kPerStatus = {"AT+CMGL=0", "AT+CMGL=1", "AT+CMGL=2", "AT+CMGL=3"};

INSTANTIATE_TEST_SUITE_P(Sms, SmsProfiles,
                         testing::Values(
                             // "(0-4)": a range holding status 4 lists each storage once.
                             ProfileCase{"RangeWithAll",
                                         "modem",
                                         {"AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CMGL=4",
                                          "AT+CPMS=\"ME\",\"SM\",\"SM\"", "AT+CMGL=4"},
                                         {"Received: 4", "Unsent: 1", "Sent: 1"}},
                             // "(0,1,2,3)": each status of each storage is asked for.
                             ProfileCase{"FourStatuses",
                                         "four-statuses",
                                         Commands{"AT+CPMS=\"SM\",\"SM\",\"SM\""} + kPerStatus +
                                             Commands{"AT+CPMS=\"ME\",\"SM\",\"SM\""} + kPerStatus,
                                         {"Received: 4", "Unsent: 1", "Sent: 1"}},
                             // MT (SM and ME as one) and BM (cell broadcasts) offered as well:
                             // all storages are SM and ME, each message listed once.
                             ProfileCase{"SimAndPhoneAlsoAsOne",
                                         "combined-memory",
                                         {"AT+CPMS=\"SM\",\"MT\",\"MT\"", "AT+CMGL=4",
                                          "AT+CPMS=\"ME\",\"MT\",\"MT\"", "AT+CMGL=4"},
                                         {"Received: 4", "Unsent: 1", "Sent: 1"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SmsView, MotorolaLSeriesUnsentMessagesListedAsReceivedGoToUnsent) {
  const std::string withCentre = "0791447700090000";
  Load();
  StartPhone(State(
      "motorola-l",
      {Storage("SM", {{1, 1, withCentre + Deliver("+447700900001", "Received", 1).substr(2)},
                      {2, 2, Submit("+447700900002", "No centre")},
                      {3, 2, Submit("+447700900002", "Centre", 0xFF, withCentre)},
                      {4, 0, withCentre + Deliver("+447700900099", "Unread", 2).substr(2)}})}));
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  EXPECT_EQ(Folders(), (std::vector<std::string>{"Received: 2", "Unsent: 2", "Sent: 0"}));
  ASSERT_TRUE(m_host.SetDirectory("Unsent"));
  EXPECT_EQ(Items(), (std::vector<Shown>{{"+447700900002", 2, "No centre"},
                                         {"+447700900002", 3, "Centre"}}));
  FinishPhone();
}

TEST_F(SmsView, StorageChoiceOfThePhoneIsReadAtOpening) {
  SetDword("\\Devices\\350000000000000 SIM 001010000000000", "ReadSMSStorage", 0);
  Load();
  StartPhone(State("classic", kTwoStorages));
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  // One storage, the phone's own: SM is not selected again and ME is not read.
  EXPECT_EQ(Folders(), (std::vector<std::string>{"Received: 3", "Unsent: 1", "Sent: 1"}));
  EXPECT_EQ(AfterGreeting(FinishPhone()), kDiscovery + Commands{"AT+CMGL=4"});
}

TEST_F(SmsView, UndecodableMessageIsReportedAndTheRestListed) {
  // The phone's decoder and ours agree on every whole PDU, so the cut one comes as line noise
  // ahead of the first listing's reply (the greeting is eleven commands, discovery five more).
  const std::string header = "+CMGL: 9,1,,6";
  const std::string cut = "0791447700FF";
  std::string bytes;
  for (const char c : "\r\n" + header + "\r\n" + cut + "\r\n")
    bytes += Hex(static_cast<unsigned char>(c));
  Load();
  StartPhone(State("classic",
                   {Storage("SM", {{1, 1, Deliver("+447700900001", "Fine", 1)},
                                   {3, 3, Submit("+447700900002", "Also fine")}})},
                   {}, "{\"garbage\": [{\"command\": 17, \"bytes\": \"" + bytes + "\"}]}"));
  m_host.AnswerMessage(0);
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  EXPECT_EQ(Folders(), (std::vector<std::string>{"Received: 1", "Unsent: 0", "Sent: 1"}));
  std::vector<std::vector<std::string>> boxes;
  for (const auto& box : m_host.Messages()) {
    if (box.helpTopic == "DecodeError") boxes.push_back(box.items);
  }
  EXPECT_EQ(boxes,
            (std::vector<std::vector<std::string>>{
                {"Zantel mobile phone", "A message could not be decoded", header, cut, "OK"}}));
  FinishPhone();
}

TEST_F(SmsView, LinkLostWhileListingIsShownAndThePanelStays) {
  Load();
  // The greeting is eleven commands, discovery five more: the phone hangs up during the listing.
  StartPhone(State("classic", kTwoStorages, {"--hang-up-during", "17"}));
  m_host.AnswerEveryMessage(CMessageAnswer::kLastButton);
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  ASSERT_NE(LastBox(), nullptr);
  EXPECT_EQ(LastBox()->helpTopic, "SysError");
  EXPECT_EQ(m_host.OpenScreens(), 0u) << "the wait box is gone";
  EXPECT_EQ(Folders(), (std::vector<std::string>{"Received: 0", "Unsent: 0", "Sent: 0"}));
  FinishPhone();
}

// A re-list that the link cuts short: before the box tells of it the panel shows what the lists
// now hold, so that no item stands by its position for another message.
TEST_F(SmsView, RelistCutShortIsShownBeforeTheBox) {
  Load();
  // The greeting is eleven commands, discovery four and the listing four; Ctrl+R lists SM (20,
  // 21) and ME (22, 23), and the phone hangs up during ME's listing.
  StartPhone(State("classic", kTwoStorages, {"--hang-up-during", "23"}));
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  ASSERT_TRUE(m_host.SetDirectory("Received"));
  ASSERT_EQ(Items().size(), 4u);
  // Every box gets its last button, so a time-out prompt (where the hang-up reads as silence)
  // gives up. What the panel shows is taken while each box is up: the last is the link's own.
  std::vector<std::string> shownAtTheBox;
  m_host.AnswerEveryMessage(CMessageAnswer::kLastButton, [&] { shownAtTheBox = NamesByIndex(); });
  m_host.PressKey('R', PKF_CONTROL);
  ASSERT_NE(LastBox(), nullptr);
  EXPECT_EQ(LastBox()->helpTopic, "SysError");
  EXPECT_EQ(shownAtTheBox,
            (std::vector<std::string>{"+447700900001", "+447700900002", "+447700900099"}));
  FinishPhone();
}

// Two hundred messages, forty of them parts of concatenated ones, over a line that splits the
// replies at random and slips RING and +CMTI between their lines.
TEST_F(SmsView, TwoHundredMessagesOverARestlessLine) {
  std::vector<Stored> messages;
  std::map<std::string, size_t> expected = {{"Received", 0}, {"Unsent", 0}, {"Sent", 0}};
  std::vector<std::string> texts;
  int index = 1;
  for (unsigned long_ = 0; long_ < 20; ++long_) {
    for (unsigned part = 1; part <= 2; ++part) {
      const std::string text = "Long " + std::to_string(long_) + " part " + std::to_string(part);
      texts.push_back(std::to_string(index) + " " + text);
      messages.push_back(
          {index++, 1,
           Deliver("+447700900002", text, int(long_ % 60), int(part), {long_ + 1, 2, part})});
      ++expected["Received"];
    }
  }
  for (int single = 0; single < 160; ++single) {
    const int status = single % 4;
    const std::string text = "Message " + std::to_string(single);
    texts.push_back(std::to_string(index) + " " + text);
    messages.push_back({index++, status,
                        status < 2 ? Deliver("+447700900001", text, single % 60, single / 60)
                                   : Submit("+447700900099", text, unsigned(single))});
    ++expected[status < 2 ? "Received" : status == 2 ? "Unsent" : "Sent"];
  }
  const std::string faults =
      "{\"unsolicited\": [{\"command\": 1, \"every\": 1, \"text\": \"RING\"},"
      " {\"command\": 1, \"every\": 1, \"text\": \"+CMTI: \\\"SM\\\",3\"}]}";
  Load();
  StartPhone(State("classic", {Storage("SM", messages)}, {"--split-seed", "7"}, faults));
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  EXPECT_EQ(Folders(), (std::vector<std::string>{"Received:" + std::to_string(expected["Received"]),
                                                 "Unsent:" + std::to_string(expected["Unsent"]),
                                                 "Sent:" + std::to_string(expected["Sent"])}));
  // Every message once, by its index and its text.
  std::vector<std::string> listed;
  for (const char* folder : {"\\Received", "\\Unsent", "\\Sent"}) {
    ASSERT_TRUE(m_host.SetDirectory(folder));
    for (const Shown& item : Items())
      listed.push_back(std::to_string(item.size) + " " + item.description);
  }
  std::sort(listed.begin(), listed.end());
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(listed, texts);
  EXPECT_TRUE(std::none_of(m_host.Messages().begin(), m_host.Messages().end(),
                           [](const auto& box) { return box.buttons > 0; }));
  FinishPhone();
  EXPECT_NE(m_phone->Transcript().find("RING"), std::string::npos) << "the line was restless";
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The destination as the host hands it over, with and without a separator at its end.
class SmsCopy : public SmsView, public testing::WithParamInterface<bool> {};

TEST_P(SmsCopy, FolderAndMessagesAsTextFilesInsideTheDestination) {
  const bool trailingSeparator = GetParam();
  const std::filesystem::path out = m_folder / "out";
  Load();
  StartPhone(State("classic", {Storage("SM", {{1, 1, Deliver("+447700900001", "First", 1)},
                                              {2, 1, Deliver("../../x", "Climbing", 2)},
                                              {3, 0, Deliver("a\\b:c", "Device", 3)}})}));
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  ASSERT_TRUE(m_host.SetFolder(out.string() + (trailingSeparator ? "/" : "")));
  m_host.Activate(EPanel::Plugin);

  // The received folder from the top level: every message, each followed by an empty line.
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"Received"}));
  EXPECT_EQ(m_host.GetFiles(false, OPM_SILENT), 1);
  const std::string all = FileText(out / "Received");
  EXPECT_EQ(Count(all, "From: "), 3u);
  EXPECT_EQ(Count(all, "\r\n\r\nFirst\r\n\r\n"), 1u) << all;
  EXPECT_EQ(Count(all, "\r\n\r\nClimbing\r\n\r\n"), 1u) << all;
  EXPECT_EQ(Count(all, "\r\n\r\nDevice\r\n\r\n"), 1u) << all;
  EXPECT_EQ(all.substr(all.size() - 4), "\r\n\r\n");

  // The messages one by one, named after their senders, made safe.
  ASSERT_TRUE(m_host.SetDirectory("Received"));
  std::vector<std::string> names;
  for (const Shown& item : Items()) names.push_back(item.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"+447700900001", ".._.._x", "a_b_c"}));
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, names));
  EXPECT_EQ(m_host.GetFiles(false, OPM_SILENT), 1);
  EXPECT_EQ(FilesIn(out),
            (std::vector<std::string>{"+447700900001", ".._.._x", "Received", "a_b_c"}));
  EXPECT_EQ(FilesIn(m_folder), (std::vector<std::string>{"out"})) << "nothing outside";
  const std::string first = FileText(out / "+447700900001");
  EXPECT_EQ(first.rfind("From: +447700900001\r\n", 0), 0u) << first;
  EXPECT_EQ(first.substr(first.size() - 9), "\r\nFirst\r\n");
  EXPECT_EQ(Count(first, "\r\n\r\n"), 1u) << "one message alone has no empty line after it";
  EXPECT_NE(FileText(out / ".._.._x").find("\r\n\r\nClimbing\r\n"), std::string::npos);

  // A file in the way is asked about by its full name, one separator before the item's name.
  std::filesystem::create_directory(out / "Sent");
  ASSERT_TRUE(m_host.SetDirectory(".."));
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"Sent"}));
  m_host.AnswerMessage(2).Topic("AlreadyExists");  // cancel
  EXPECT_EQ(m_host.GetFiles(false, 0), 0);
  ASSERT_NE(LastBox(), nullptr);
  ASSERT_EQ(LastBox()->items.size(), 6u);
  EXPECT_EQ(LastBox()->items[2], (out / "Sent").string());
  FinishPhone();
}

INSTANTIATE_TEST_SUITE_P(Sms, SmsCopy, testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "TrailingSeparator" : "NoSeparator");
});

}  // namespace
}  // namespace EndToEnd
