#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/record_reader.h"
#include "host/scripted_host.h"

namespace {

// A person at the keyboard, as far as the host can tell: it answers, types and logs.
class CRecordingUi : public Host::CHostUi {
 public:
  int Dialog(const Host::ShownDialog& shown, FarDialogItem* items, int) override {
    log.push_back("dialog " + shown.helpTopic);
    Host::WriteEditText(items[1], "typed");
    return 2;
  }
  int Menu(const Host::ShownMenu& shown, int& breakCode) override {
    log.push_back("menu " + shown.title);
    breakCode = 0;
    return 1;
  }
  int Message(const Host::ShownMessage& shown) override {
    log.push_back("message " + shown.items[0] + " buttons " + std::to_string(shown.buttons));
    return shown.buttons > 0 ? shown.buttons - 1 : -1;
  }
  void SaveScreen(uintptr_t screen) override { log.push_back("save " + std::to_string(screen)); }
  void RestoreScreen(uintptr_t screen) override {
    log.push_back("restore " + std::to_string(screen));
  }
  std::vector<std::string> log;
};

// With a UI set, every service the plug-in calls reaches it in order and its answers go back
// as the script's would; records the host finds malformed never reach it; the script is left
// alone.
TEST(HostUi, ServicesGoToThePersonInsteadOfTheScript) {
  Host::CScriptedHost host;
  CRecordingUi ui;
  host.SetUi(&ui);
  host.SetMessageText(0, "unused");
  const PluginStartupInfo& info = host.StartupInfo();

  std::vector<FarDialogItem> items(3);
  items[0].Type = DI_DOUBLEBOX;
  items[1].Type = DI_EDIT;
  items[1].Focus = 1;
  items[2].Type = DI_BUTTON;
  std::strcpy(items[2].Data, "OK");
  EXPECT_EQ(info.Dialog(info.ModuleNumber, -1, -1, 40, 8, "Edit", items.data(), 3), 2);
  EXPECT_STREQ(items[1].Data, "typed");

  FarMenuItem menuItems[2] = {};
  std::strcpy(menuItems[0].Text, "One");
  std::strcpy(menuItems[1].Text, "Two");
  const int breakKeys[] = {kVkF4, 0};
  int breakCode = -1;
  EXPECT_EQ(info.Menu(info.ModuleNumber, -1, -1, 0, 0, "Storages", nullptr, "Menu", breakKeys,
                      &breakCode, menuItems, 2),
            1);
  EXPECT_EQ(breakCode, 0);

  const FarHandle screen = info.SaveScreen(0, 0, -1, -1);
  const char* wait[] = {"Phone", "Reading..."};
  EXPECT_EQ(info.Message(info.ModuleNumber, 0, nullptr, wait, 2, 0), -1);
  info.RestoreScreen(screen);
  const char* question[] = {"Delete", "Delete 3 entries?", "Yes", "No"};
  EXPECT_EQ(info.Message(info.ModuleNumber, FMSG_WARNING, "Delete", question, 4, 2), 1);

  // A dialog with two focused items is reported and cancelled without the person seeing it.
  items[2].Focus = 1;
  EXPECT_EQ(info.Dialog(info.ModuleNumber, -1, -1, 40, 8, "Broken", items.data(), 3), -1);

  EXPECT_EQ(ui.log, (std::vector<std::string>{"dialog Edit", "menu Storages", "save 1",
                                              "message Phone buttons 0", "restore 1",
                                              "message Delete buttons 2"}));
  EXPECT_EQ(host.Failures().size(), 1u);
  host.Verify();
  EXPECT_EQ(host.Failures().size(), 1u);

  // A long session forgets what it recorded; the screen saved before stays open.
  const FarHandle open = info.SaveScreen(0, 0, -1, -1);
  host.ForgetRecords();
  EXPECT_TRUE(host.Dialogs().empty() && host.Menus().empty() && host.Messages().empty());
  EXPECT_TRUE(host.Log().empty() && host.Failures().empty());
  EXPECT_EQ(host.OpenScreens(), 1u);
  info.RestoreScreen(open);
  EXPECT_EQ(host.OpenScreens(), 0u);
  EXPECT_TRUE(host.Failures().empty());
}

}  // namespace
