#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "host/stand_in_host.h"

// The stand-in host driving the test plug-in module (tests/host/test_plugin), which writes down
// what reached it and shows that journal on request: each scenario checks both sides of the calls.
namespace {

using Host::CStandInHost;
using Host::EPanel;

constexpr int kVkPrior = 0x21;

bool AnyContains(const std::vector<std::string>& lines, const std::string& part) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

class StandInHost : public testing::Test {
 protected:
  void SetUp() override {
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    m_folder = std::filesystem::temp_directory_path() /
               ("zantel-host-" + name + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(m_folder);
    std::ofstream(m_folder / "notes.txt") << "12345";
    std::ofstream(m_folder / "photo.jpg") << "abc";
    ASSERT_TRUE(m_host.Load(ZANTEL_TEST_PLUGIN));
    ASSERT_TRUE(m_host.SetFolder(m_folder.string()));
  }
  void TearDown() override {
    m_host.Exit();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }

  // The plug-in's journal, shown by Configure(0) as a message box: title, lines, "OK".
  std::vector<std::string> Journal() {
    m_host.AnswerMessage(0).Topic("Journal");
    m_host.Configure(0);
    const std::vector<std::string>& items = m_host.Messages().back().items;
    return {items.begin() + 1, items.end() - 1};
  }
  std::vector<std::string> Names(EPanel panel) const {
    std::vector<std::string> names;
    for (const Host::CPanelItem& item : m_host.Panel(panel).Items()) names.push_back(item.name);
    return names;
  }
  std::vector<std::string> Selected(EPanel panel) const {
    std::vector<std::string> names;
    for (const Host::CPanelItem& item : m_host.Panel(panel).Items())
      if (item.selected) names.push_back(item.name);
    return names;
  }
  void OpenContacts() {
    ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
    ASSERT_TRUE(m_host.SetDirectory("Contacts"));
  }

  std::filesystem::path m_folder;
  CStandInHost m_host;
};

TEST_F(StandInHost, HandsOverTheStartupRecordAndReadsTheMenus) {
  const std::string moduleName = std::filesystem::path(ZANTEL_TEST_PLUGIN).filename().string();
  EXPECT_EQ(std::filesystem::path(m_host.StartupInfo().ModuleName).filename().string(), moduleName);
  EXPECT_TRUE(std::filesystem::path(m_host.StartupInfo().ModuleName).is_absolute());
  const Host::CPluginMenus menus = m_host.PluginMenus();
  ASSERT_EQ(menus.diskMenu.size(), 1u);
  EXPECT_EQ(menus.diskMenu[0].text, "Test phone");
  EXPECT_EQ(menus.diskMenu[0].number, 5);
  EXPECT_EQ(menus.pluginsMenu.size(), 8u);
  EXPECT_EQ(menus.pluginsMenu[0], "Test phone panel");
  EXPECT_EQ(menus.configMenu, std::vector<std::string>{"Test phone settings"});
  EXPECT_EQ(menus.commandPrefix, "tst");
  EXPECT_EQ(Journal()[0], "SetStartupInfo size " + std::to_string(sizeof(PluginStartupInfo)) +
                              " module 42 root Software\\Far\\Plugins name " + moduleName +
                              " control yes");
  EXPECT_EQ(m_host.Failures(), std::vector<std::string>{});
}

TEST_F(StandInHost, BrowsesFoldersAsFarDoes) {
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  EXPECT_EQ(m_host.Active(), EPanel::Plugin);
  const Host::CPanel& panel = m_host.Panel(EPanel::Plugin);
  // ".." stands at the root too: Enter on it there leaves the plug-in.
  EXPECT_EQ(Names(EPanel::Plugin),
            (std::vector<std::string>{"..", "Contacts", "Messages", "readme.txt"}));
  EXPECT_EQ(panel.viewMode, 4);
  EXPECT_EQ(panel.sortMode, SM_EXT);
  EXPECT_TRUE(panel.reverseOrder);
  EXPECT_EQ(panel.plugin.panelTitle, " Test phone:  ");
  ASSERT_EQ(panel.plugin.infoLines.size(), 2u);
  EXPECT_EQ(panel.plugin.infoLines[0].data, "Test phone");
  EXPECT_TRUE(panel.plugin.infoLines[1].separator);
  ASSERT_EQ(panel.plugin.panelModes.size(), 10u);
  EXPECT_EQ(panel.plugin.panelModes[4].columnTitles,
            (std::vector<std::string>{"Name", "Number", "Kind"}));
  EXPECT_EQ(panel.plugin.keyBar[0][6], "Update");
  EXPECT_EQ(panel.plugin.keyBar[3][3], "Edit");

  m_host.Panel(EPanel::Plugin).SetCurrent("Contacts");
  EXPECT_TRUE(m_host.PressKey(kVkReturn));
  EXPECT_EQ(Names(EPanel::Plugin),
            (std::vector<std::string>{"..", "alice.vcf", "bob.vcf", "carol.vcf"}));
  const Host::CPanelItem& alice = panel.Items()[1];
  EXPECT_EQ(alice.size, 10u);
  EXPECT_EQ(alice.userData, 101u);
  EXPECT_EQ(alice.description, "Alice");
  EXPECT_EQ(alice.owner, "SIM");
  EXPECT_EQ(alice.customColumns, (std::vector<std::string>{"+111", "home"}));
  EXPECT_EQ(panel.directory, "Contacts");

  EXPECT_TRUE(m_host.PressKey(kVkPrior, PKF_CONTROL));
  EXPECT_EQ(panel.directory, "");
  ASSERT_NE(panel.CurrentItem(), nullptr);
  EXPECT_EQ(panel.CurrentItem()->name, "Contacts");
  m_host.Panel(EPanel::Plugin).SetCurrent("..");
  EXPECT_TRUE(m_host.PressKey(kVkReturn));
  EXPECT_FALSE(m_host.IsOpen());
  EXPECT_EQ(m_host.Active(), EPanel::Files);

  const std::vector<std::string> journal = Journal();
  EXPECT_FALSE(AnyContains(journal, "FreeFindData with another array"));
  EXPECT_TRUE(AnyContains(journal, "SetDirectory \"Contacts\" 0"));
  EXPECT_TRUE(AnyContains(journal, "SetDirectory \"..\" 0"));
  EXPECT_EQ(journal.end()[-2], "ClosePlugin");
  EXPECT_EQ(m_host.Failures(), std::vector<std::string>{});
}

TEST_F(StandInHost, OffersKeysFirstForPreprocessingThenPlainly) {
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  struct {
    int key;
    unsigned int state;
    bool handled;
    std::vector<std::string> calls;
  } const cases[] = {
      {'P', 0, true, {"ProcessKey 0x80050 0 -> 1"}},
      {'Z', 0, false, {"ProcessKey 0x8005A 0 -> 0", "ProcessKey 0x5A 0 -> 0"}},
      {kVkF7, PKF_SHIFT, true, {"ProcessKey 0x80076 4 -> 0", "GetOpenPluginInfo"}},
  };
  for (const auto& c : cases) {
    const size_t before = m_host.Calls().size();
    EXPECT_EQ(m_host.PressKey(c.key, c.state), c.handled) << c.calls[0];
    const std::vector<std::string> calls(m_host.Calls().begin() + static_cast<long>(before),
                                         m_host.Calls().end());
    ASSERT_GE(calls.size(), c.calls.size());
    EXPECT_EQ(
        std::vector<std::string>(calls.begin(), calls.begin() + static_cast<long>(c.calls.size())),
        c.calls);
  }
  const std::vector<std::string> journal = Journal();
  for (const char* line : {"ProcessKey 0x80050 0", "ProcessKey 0x8005A 0", "ProcessKey 0x5A 0",
                           "ProcessKey 0x80076 4", "ProcessKey 0x76 4"})
    EXPECT_TRUE(AnyContains(journal, line)) << line;
  EXPECT_FALSE(AnyContains(journal, "ProcessKey 0x50 0"));
}

TEST_F(StandInHost, ServesThePluginsControlCalls) {
  OpenContacts();
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"alice.vcf", "bob.vcf"}));
  EXPECT_TRUE(m_host.PressKey(kVkF7));  // adds new1.vcf, updates keeping the selection
  EXPECT_EQ(Names(EPanel::Plugin).back(), "new1.vcf");
  EXPECT_EQ(Selected(EPanel::Plugin), (std::vector<std::string>{"alice.vcf", "bob.vcf"}));
  EXPECT_TRUE(m_host.PressKey(kVkF7, PKF_SHIFT));  // updates clearing it
  EXPECT_EQ(Selected(EPanel::Plugin), std::vector<std::string>{});

  EXPECT_TRUE(m_host.PressKey(kVkF2));
  const Host::CPanel& panel = m_host.Panel(EPanel::Plugin);
  EXPECT_EQ(panel.viewMode, 3);
  EXPECT_EQ(panel.sortMode, SM_SIZE);
  EXPECT_TRUE(panel.reverseOrder);
  EXPECT_EQ(panel.Current(), 2);

  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"bob.vcf"}));
  EXPECT_TRUE(m_host.PressKey(kVkF8));  // reads both panels, deletes the selection by UserData
  EXPECT_EQ(Names(EPanel::Plugin),
            (std::vector<std::string>{"..", "alice.vcf", "carol.vcf", "new1.vcf"}));
  m_host.Panel(EPanel::Plugin).SetCurrent("..");
  EXPECT_TRUE(m_host.PressKey(kVkF8));  // nothing selected, cursor on "..": nothing to delete

  EXPECT_EQ(m_host.ControlLog(),
            (std::vector<std::string>{
                "FCTL_UPDATEPANEL keep-selection", "FCTL_UPDATEPANEL clear-selection",
                "FCTL_SETVIEWMODE 3", "FCTL_SETSORTMODE 7", "FCTL_SETSORTORDER 1",
                "FCTL_REDRAWPANEL current 2 top 0", "FCTL_GETPANELINFO", "FCTL_GETANOTHERPANELINFO",
                "FCTL_UPDATEPANEL clear-selection", "FCTL_GETPANELINFO", "FCTL_GETANOTHERPANELINFO",
                "FCTL_UPDATEPANEL clear-selection"}));
  const std::vector<std::string> journal = Journal();
  const std::string other = "other plugin 0 focus 0 dir \"" + m_folder.string() +
                            "\" items 2 current 0 selected notes.txt#0 view 2 sort 2 flags 0x20";
  EXPECT_TRUE(AnyContains(journal,
                          "panel plugin 1 focus 1 dir \"Contacts\" items 5 current 2 "
                          "selected bob.vcf#102* view 3 sort 7 flags 0x4"));
  EXPECT_TRUE(AnyContains(journal, other));
  EXPECT_TRUE(AnyContains(journal,
                          "panel plugin 1 focus 1 dir \"Contacts\" items 4 current 0 "
                          "selected  view 3"));
  EXPECT_EQ(m_host.Failures(), std::vector<std::string>{});
}

// Far's Ctrl+F3..F8 reach the plug-in first; what it leaves sorts the active panel, and the
// plug-in reads the mode and its order back through FCTL_GETPANELINFO, as Far reports them.
TEST_F(StandInHost, SortKeysChangeTheModeThePluginReadsBack) {
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));  // opens by extension, reversed
  const auto modeRead = [&] {
    EXPECT_TRUE(m_host.PressKey(kVkF8));  // the cursor on "..": nothing is deleted
    const std::vector<std::string> journal = Journal();
    std::string own;
    std::string other;
    for (const std::string& line : journal) {
      if (line.starts_with("panel ")) own = line.substr(line.find(" sort "));
      if (line.starts_with("other ")) other = line.substr(line.find(" sort "));
    }
    return own + " /" + other;
  };
  EXPECT_TRUE(m_host.PressKey(kVkF4, PKF_CONTROL));
  EXPECT_EQ(modeRead(), " sort 3 flags 0x0 / sort 2 flags 0x20");
  EXPECT_TRUE(m_host.PressKey(kVkF4, PKF_CONTROL));
  EXPECT_EQ(modeRead(), " sort 3 flags 0x4 / sort 2 flags 0x20");
  EXPECT_TRUE(m_host.PressKey(kVkF8, PKF_CONTROL));
  EXPECT_EQ(modeRead(), " sort 5 flags 0x0 / sort 2 flags 0x20");
  // The file panel's own keys, read as the other panel.
  EXPECT_TRUE(m_host.PressKey(kVkTab));
  EXPECT_TRUE(m_host.PressKey(kVkF3, PKF_CONTROL));
  EXPECT_TRUE(m_host.PressKey(kVkTab));
  EXPECT_EQ(modeRead(), " sort 5 flags 0x0 / sort 2 flags 0x24");
  EXPECT_TRUE(AnyContains(Journal(), "ProcessKey 0x73 1"));
  EXPECT_EQ(m_host.Failures(), std::vector<std::string>{});
}

TEST_F(StandInHost, CopiesAndMovesBetweenThePanels) {
  OpenContacts();
  ASSERT_TRUE(m_host.Select(EPanel::Plugin, {"alice.vcf", "carol.vcf"}));
  EXPECT_TRUE(m_host.PressKey(kVkF5));
  EXPECT_EQ(Selected(EPanel::Plugin), std::vector<std::string>{});
  EXPECT_EQ(Names(EPanel::Files),
            (std::vector<std::string>{"alice.vcf", "carol.vcf", "notes.txt", "photo.jpg"}));
  EXPECT_EQ(m_host.Panel(EPanel::Files).Items()[0].size, 10u);  // "alice.vcf\n"

  m_host.Panel(EPanel::Plugin).SetCurrent("bob.vcf");
  EXPECT_TRUE(m_host.PressKey(kVkF6));
  EXPECT_EQ(Names(EPanel::Plugin), (std::vector<std::string>{"..", "alice.vcf", "carol.vcf"}));
  EXPECT_TRUE(std::filesystem::exists(m_folder / "bob.vcf"));

  m_host.Activate(EPanel::Files);
  ASSERT_TRUE(m_host.Select(EPanel::Files, {"notes.txt"}));
  EXPECT_TRUE(m_host.PressKey(kVkF5));
  EXPECT_EQ(Names(EPanel::Plugin).back(), "notes.txt");
  EXPECT_EQ(m_host.Panel(EPanel::Plugin).CurrentItem()->name, "notes.txt");
  EXPECT_EQ(m_host.Panel(EPanel::Plugin).Items().back().size, 5u);
  EXPECT_EQ(Selected(EPanel::Files), std::vector<std::string>{});

  const std::string folder = m_folder.filename().string();
  const std::vector<std::string> journal = Journal();
  EXPECT_TRUE(AnyContains(
      journal, "GetFiles alice.vcf#101*,carol.vcf#103* move 0 to " + folder + " opmode 0"));
  EXPECT_TRUE(AnyContains(journal, "GetFiles bob.vcf#102 move 1 to " + folder + " opmode 0"));
  EXPECT_TRUE(AnyContains(journal, "PutFiles notes.txt#0* move 0 opmode 0"));
  EXPECT_EQ(m_host.Failures(), std::vector<std::string>{});
}

TEST_F(StandInHost, ClosesOnRequestOnlyAfterTheExportReturns) {
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  EXPECT_TRUE(m_host.PressKey('B'));  // Control with a stranger's handle
  ASSERT_EQ(m_host.Failures().size(), 1u);
  EXPECT_NE(m_host.Failures()[0].find("with handle 0x1234, which is not the open panel's"),
            std::string::npos)
      << m_host.Failures()[0];
  EXPECT_TRUE(m_host.PressKey(kVkF10));
  EXPECT_FALSE(m_host.IsOpen());
  EXPECT_EQ(m_host.Calls().end()[-2], "ProcessKey 0x79 0 -> 1");
  EXPECT_EQ(m_host.Calls().back(), "ClosePlugin");
  const std::vector<std::string> journal = Journal();
  EXPECT_TRUE(AnyContains(journal, "a stranger's handle gets 0"));
  const auto answered =
      std::find(journal.begin(), journal.end(), "after FCTL_CLOSEPLUGIN the panel answers 1");
  ASSERT_NE(answered, journal.end());
  EXPECT_EQ(*(answered + 1), "ClosePlugin");
}

// What the plug-ins menu item makes the test plug-in answer, and what the host must report.
struct OpenCase {
  const char* name;
  int item;
  bool opens;
  std::vector<std::string> failures;
};

void PrintTo(const OpenCase& c, std::ostream* out) { *out << c.name; }

class StandInHostOpen : public StandInHost, public testing::WithParamInterface<OpenCase> {};

TEST_P(StandInHostOpen, ReportsWhatFarWouldTripOver) {
  const OpenCase& c = GetParam();
  if (c.item == 1) m_host.AnswerMessage(0).Topic("NoPhone");
  EXPECT_EQ(m_host.Open(OPEN_PLUGINSMENU, c.item), c.opens);
  EXPECT_EQ(m_host.IsOpen(), c.opens);
  ASSERT_EQ(m_host.Failures().size(), c.failures.size())
      << testing::PrintToString(m_host.Failures());
  for (const std::string& failure : c.failures)
    EXPECT_TRUE(AnyContains(m_host.Failures(), failure)) << failure;
  EXPECT_FALSE(AnyContains(Journal(), "FreeFindData with another array"));
}

INSTANTIATE_TEST_SUITE_P(
    Items, StandInHostOpen,
    testing::Values(
        OpenCase{"NoPanel", 1, false, {}},
        OpenCase{"NullHandle", 2, false, {"OpenPlugin(1, 2) returned 0"}},
        OpenCase{"BrokenItems",
                 3,
                 true,
                 {"item 0: the name has no terminating zero", "\"ok.txt\" Description: longer than",
                  "\"ok.txt\" CustomColumnData: negative count -2", "PPIF_USERDATA"}},
        OpenCase{"FindFails", 4, false, {"GetFindData returned FALSE"}},
        OpenCase{"NegativeCount", 5, true, {"GetFindData's items: negative count -3"}},
        OpenCase{"NullArray", 6, true, {"GetFindData's items: count 5 with a null array"}},
        OpenCase{"BrokenInfo",
                 7,
                 true,
                 {"StructSize is 0", "CurDir: longer than 259", "InfoLines: count 3 with a null",
                  "PanelModes: negative count -1", "StartPanelMode 120"}}),
    [](const testing::TestParamInfo<OpenCase>& info) { return std::string(info.param.name); });

TEST(StandInHostModule, NamesMissingExportsAndNeverCallsThem) {
  CStandInHost host;
  ASSERT_TRUE(host.Load(ZANTEL_PARTIAL_TEST_PLUGIN));
  EXPECT_EQ(host.Module()->MissingExports(), (std::vector<std::string>{"PutFiles", "ProcessKey"}));
  ASSERT_TRUE(host.Open(OPEN_PLUGINSMENU, 0));
  host.Panel(EPanel::Plugin).SetCurrent("Contacts");
  EXPECT_TRUE(host.PressKey(kVkReturn));  // Far's own Enter still works
  EXPECT_EQ(host.Panel(EPanel::Plugin).directory, "Contacts");
  EXPECT_EQ(host.Failures(), std::vector<std::string>{"ProcessKey: the module does not export it"});
  EXPECT_EQ(host.PutFiles(false), 0);
  EXPECT_EQ(host.Failures().back(), "PutFiles: the module does not export it");

  CStandInHost missing;
  EXPECT_FALSE(missing.Load("no-such-module.so"));
  EXPECT_FALSE(missing.Open(OPEN_PLUGINSMENU, 0));
  ASSERT_EQ(missing.Failures().size(), 2u);
  EXPECT_NE(missing.Failures()[0].find("cannot load"), std::string::npos);
  EXPECT_EQ(missing.Failures()[1], "OpenPlugin: no module is loaded");
}

}  // namespace
