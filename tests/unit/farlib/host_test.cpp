#include "farlib/host.h"
#include "farlib/ui/host_ui.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "fake_host.h"
#include "farlib/message_ids.h"

namespace {

TEST(Host, StartupRecordIsCopied) {
  PluginStartupInfo info{};
  info.ModuleNumber = 7;
  std::snprintf(info.ModuleName, sizeof info.ModuleName, "%s",
                "C:\\Far\\Plugins\\Zantel\\Zantel.dll");
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
  FarLib::ShowWait("title", "line");
  FarLib::HideWait();
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

struct BoxCase {
  const char* name;
  void (*show)();
  FarDword flags;
  const char* helpTopic;
  std::vector<std::string> items;
};

void PrintTo(const BoxCase& c, std::ostream* out) { *out << c.name; }

class MessageBox : public testing::TestWithParam<BoxCase> {};

TEST_P(MessageBox, ShowsTitleLinesAndOk) {
  const BoxCase& c = GetParam();
  CFakeHost host;
  host.AnswerMessage(0);
  c.show();
  ASSERT_EQ(host.Messages().size(), 1u);
  const CFakeHost::ShownMessage& box = host.Messages()[0];
  EXPECT_EQ(box.flags, c.flags);
  EXPECT_EQ(box.helpTopic, c.helpTopic);
  EXPECT_EQ(box.items, c.items);
  EXPECT_EQ(box.buttons, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, MessageBox,
    testing::Values(BoxCase{"ErrorWithOneLine",
                            [] { FarLib::ShowError("Cannot read"); },
                            FMSG_WARNING,
                            "Error",
                            {"Zantel", "Cannot read", "OK"}},
                    BoxCase{"ErrorWithTwoLines",
                            [] { FarLib::ShowError("Cannot read", "SM"); },
                            FMSG_WARNING,
                            "Error",
                            {"Zantel", "Cannot read", "SM", "OK"}},
                    BoxCase{"SysErrorAddsTheSystemsText",
                            [] { FarLib::ShowSysError("Cannot open"); },
                            FMSG_WARNING | FMSG_ERRORTYPE,
                            "SysError",
                            {"Zantel", "Cannot open", "OK"}},
                    BoxCase{"InfoHasItsOwnTitle",
                            [] { FarLib::ShowInfo("Clock", "Set to", "05/03/07"); },
                            0,
                            "",
                            {"Clock", "Set to", "05/03/07", "OK"}},
                    BoxCase{"InfoWithOneLine",
                            [] { FarLib::ShowInfo("Zantel", "Done"); },
                            0,
                            "",
                            {"Zantel", "Done", "OK"}}),
    [](const testing::TestParamInfo<BoxCase>& info) { return info.param.name; });

TEST(WaitBox, SavesTheScreenShowsTheBoxAndRestores) {
  CFakeHost host;
  FarLib::ShowWait("Zantel", "Reading", "SM");
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].items, (std::vector<std::string>{"Zantel", "Reading", "SM"}));
  EXPECT_EQ(host.Messages()[0].buttons, 0);
  EXPECT_EQ(host.OpenScreens(), 1u);
  FarLib::HideWait();
  EXPECT_EQ(host.OpenScreens(), 0u);
  EXPECT_EQ(host.Log(), (std::vector<std::string>{"save screen 1 (0,0,-1,-1)",
                                                  "message \"\" -> stays up", "restore screen 1"}));
}

TEST(WaitBox, SecondWaitKeepsTheFirstScreenAndHidingTwiceRestoresOnce) {
  CFakeHost host;
  FarLib::ShowWait("Zantel", "Reading");
  FarLib::ShowWait("Zantel", "Writing");
  FarLib::HideWait();
  FarLib::HideWait();
  EXPECT_EQ(host.Log(),
            (std::vector<std::string>{"save screen 1 (0,0,-1,-1)", "message \"\" -> stays up",
                                      "message \"\" -> stays up", "restore screen 1"}));
}

}  // namespace
