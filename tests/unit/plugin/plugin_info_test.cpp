#include "plugin/plugin_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "farlib/message_ids.h"
#include "settings/settings.h"

namespace Plugin {
namespace {

struct MenuCase {
  const char* name;
  bool phoneInDisks, smsInDisks, phoneInPlugins, smsInPlugins;
  std::vector<std::string> disk;  // the disk menu's items
  std::vector<int> diskNumbers;
  std::vector<std::string> plugins;
  // What item 0 opens from each menu (true: the phone book).
  bool diskItem0Phone, pluginsItem0Phone;
};

void PrintTo(const MenuCase& c, std::ostream* out) { *out << c.name; }

class PluginMenus : public testing::TestWithParam<MenuCase> {
 protected:
  ~PluginMenus() override { Settings() = PluginSettings{}; }
};

TEST_P(PluginMenus, FollowTheShowSettings) {
  const MenuCase& c = GetParam();
  CFakeHost host;
  host.SetMessageText(Msg::kPhoneBookItem, "Phone book");
  host.SetMessageText(Msg::kSmsItem, "SMS");
  host.SetMessageText(Msg::kConfigMenuTitle, "Zantel");
  PluginSettings& settings = Settings();
  settings.PhoneShowInDisksMenu = c.phoneInDisks;
  settings.SMSShowInDisksMenu = c.smsInDisks;
  settings.PhoneShowInPluginsMenu = c.phoneInPlugins;
  settings.SMSShowInPluginsMenu = c.smsInPlugins;
  settings.PhoneDiskMenuKey = 3;
  settings.SMSDiskMenuKey = 7;

  PluginInfo info{};
  FillPluginInfo(info);
  EXPECT_EQ(info.StructSize, static_cast<int>(sizeof(PluginInfo)));
  EXPECT_EQ(info.Flags, 0u);
  EXPECT_EQ(info.CommandPrefix, nullptr);
  ASSERT_EQ(info.DiskMenuStringsNumber, static_cast<int>(c.disk.size()));
  for (size_t i = 0; i < c.disk.size(); ++i) {
    EXPECT_EQ(info.DiskMenuStrings[i], c.disk[i]);
    EXPECT_EQ(info.DiskMenuNumbers[i], c.diskNumbers[i]);
  }
  ASSERT_EQ(info.PluginMenuStringsNumber, static_cast<int>(c.plugins.size()));
  for (size_t i = 0; i < c.plugins.size(); ++i) EXPECT_EQ(info.PluginMenuStrings[i], c.plugins[i]);
  ASSERT_EQ(info.PluginConfigStringsNumber, 1);
  EXPECT_STREQ(info.PluginConfigStrings[0], "Zantel");

  EXPECT_EQ(OpensPhoneBook(OPEN_DISKMENU, 0), c.diskItem0Phone);
  EXPECT_EQ(OpensPhoneBook(OPEN_PLUGINSMENU, 0), c.pluginsItem0Phone);
  EXPECT_FALSE(OpensPhoneBook(OPEN_DISKMENU, 1));
  EXPECT_FALSE(OpensPhoneBook(OPEN_PLUGINSMENU, 1));
  EXPECT_TRUE(OpensPhoneBook(OPEN_SHORTCUT, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, PluginMenus,
    testing::Values(
        MenuCase{"Defaults", true, false, false, true, {"Phone book"}, {3}, {"SMS"}, true, false},
        MenuCase{"Both",
                 true,
                 true,
                 true,
                 true,
                 {"Phone book", "SMS"},
                 {3, 7},
                 {"Phone book", "SMS"},
                 true,
                 true},
        MenuCase{
            "SmsOnlyInDisks", false, true, true, false, {"SMS"}, {7}, {"Phone book"}, false, true},
        MenuCase{"NothingShown", false, false, false, false, {}, {}, {}, false, false}));

}  // namespace
}  // namespace Plugin
