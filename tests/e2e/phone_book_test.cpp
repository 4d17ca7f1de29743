#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "open_phone_fixture.h"

// The phone book as a user lists it: storages as folders, entries as files, read from the
// simulated phone in chunks or at once, kept in the phone's cache between openings.
namespace EndToEnd {
namespace {

using Host::EPanel;

std::string ClassicPhone() {
  std::ifstream file(std::string(ZANTEL_TEST_DATA_DIR) + "/phonesim/classic.json");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

PhoneSimulatorSetup Classic(std::vector<std::string> options = {}) {
  PhoneSimulatorSetup setup = Phone("classic", std::move(options));
  setup.stateJson = ClassicPhone();
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

std::vector<ShownEntry> Entries(const Host::CPanel& panel) {
  std::vector<ShownEntry> entries;
  for (const Host::CPanelItem& item : panel.Items()) {
    if (!item.IsFolder()) entries.push_back({item.name, item.size, item.owner});
  }
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
  EXPECT_EQ(AfterGreeting(FinishPhone()),
            (Commands{"AT+CPBS=\"SM\"", "AT+CPBS=\"DC\"", "AT+CPBR=?", "AT+CPBS?", "AT+CPBR=1,5"}));
}

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
  // The greeting is ten commands; the eleventh to fourteenth select and read SM.
  StartPhone(Classic({"--hang-up-during", "14"}));
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

}  // namespace
}  // namespace EndToEnd
