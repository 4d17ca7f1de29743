#include "farlib/host.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "fake_host.h"
#include "farlib/message_ids.h"

namespace {

TEST(Host, StartupRecordIsCopied) {
  PluginStartupInfo info{};
  info.ModuleNumber = 7;
  std::snprintf(info.ModuleName, sizeof info.ModuleName, "%s", "C:\\Far\\Plugins\\Zantel\\Zantel.dll");
  FarLib::SetStartupInfo(info);
  info.ModuleNumber = 8;
  info.ModuleName[0] = 'D';
  EXPECT_EQ(FarLib::StartupInfo().ModuleNumber, 7);
  EXPECT_STREQ(FarLib::StartupInfo().ModuleName, "C:\\Far\\Plugins\\Zantel\\Zantel.dll");
  FarLib::SetStartupInfo(PluginStartupInfo{});
}

TEST(Host, WithoutHostServicesNothingIsShown) {
  FarLib::SetStartupInfo(PluginStartupInfo{});
  EXPECT_STREQ(FarLib::GetMsg(Msg::kTitle), "");
  EXPECT_EQ(FarLib::ShowMessage(0, nullptr, {"title", "line", "OK"}, 1), -1);
}

TEST(Host, FormatMsgFillsPlaceholders) {
  CFakeHost host;
  host.SetMessageText(300, "%d of %s done (%d%%)");
  EXPECT_EQ(FarLib::FormatMsg(300, 3, "five", 60), "3 of five done (60%)");
  host.SetMessageText(301, "");
  EXPECT_EQ(FarLib::FormatMsg(301, 1), "");
}

TEST(Host, MessagePassesItemsAndAnswer) {
  CFakeHost host;
  host.AnswerMessage(1);
  EXPECT_EQ(FarLib::ShowMessage(1, "Error", {"Zantel", "line", "Yes", "No"}, 2), 1);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].items, (std::vector<std::string>{"Zantel", "line", "Yes", "No"}));
  EXPECT_EQ(host.Messages()[0].helpTopic, "Error");
  EXPECT_EQ(host.Messages()[0].flags, 1u);
}

}  // namespace
