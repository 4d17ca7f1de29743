#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/scripted_host.h"

namespace {

using Host::CScriptedHost;

class ScriptedMessage : public testing::Test {
 protected:
  int Show(FarDword flags, const char* topic, std::vector<const char*> items, int buttons) {
    const PluginStartupInfo& info = m_host.StartupInfo();
    return info.Message(info.ModuleNumber, flags, topic, items.data(),
                        static_cast<int>(items.size()), buttons);
  }

  CScriptedHost m_host;
};

TEST_F(ScriptedMessage, AnswersWithTheScriptedButton) {
  m_host.AnswerMessage(1).Topic("TimeoutError");
  EXPECT_EQ(Show(FMSG_WARNING, "TimeoutError", {"Zantel", "Silent", "Wait", "Give up"}, 2), 1);
  ASSERT_EQ(m_host.Messages().size(), 1u);
  const Host::ShownMessage& shown = m_host.Messages()[0];
  EXPECT_EQ(shown.items, (std::vector<std::string>{"Zantel", "Silent", "Wait", "Give up"}));
  EXPECT_EQ(shown.buttons, 2);
  EXPECT_EQ(shown.result, 1);
  EXPECT_TRUE(m_host.Failures().empty());
}

TEST_F(ScriptedMessage, NullTopicIsRecordedAsNone) {
  m_host.AnswerMessage(0);
  Show(0, nullptr, {"Zantel", "line", "OK"}, 1);
  EXPECT_EQ(m_host.Messages()[0].helpTopic, Host::kNoTopic);
}

TEST_F(ScriptedMessage, BoxWithoutButtonsStaysUpAndTakesNoStep) {
  m_host.AnswerMessage(0);
  EXPECT_EQ(Show(0, "", {"Zantel", "Reading..."}, 0), -1);
  EXPECT_EQ(m_host.PendingSteps(), 1u);
  EXPECT_EQ(m_host.Log().back(), "message \"\" -> stays up");
  EXPECT_EQ(Show(0, "", {"Zantel", "line", "OK"}, 1), 0);
}

TEST_F(ScriptedMessage, StandingAnswerServesWhenNoMessageStepIsNext) {
  m_host.AnswerEveryMessage(1);
  m_host.AnswerMessage(0);
  EXPECT_EQ(Show(0, "", {"t", "l", "A", "B"}, 2), 0);
  EXPECT_EQ(Show(0, "", {"t", "l", "A", "B"}, 2), 1);
  EXPECT_EQ(Show(0, "", {"t", "l", "A", "B"}, 2), 1);
  EXPECT_TRUE(m_host.Failures().empty());
}

TEST_F(ScriptedMessage, ErrorTypeRecordsTheSystemErrorText) {
  m_host.AnswerMessage(0);
  Show(FMSG_WARNING | FMSG_ERRORTYPE, "SysError", {"Zantel", "Cannot open", "OK"}, 1);
  EXPECT_FALSE(m_host.Messages()[0].errorText.empty());
}

struct MessageFaultCase {
  const char* name;
  void (*script)(CScriptedHost&);
  int buttons;
  const char* reportMentions;
};

void PrintTo(const MessageFaultCase& c, std::ostream* out) { *out << c.name; }

class ScriptedMessageFault : public ScriptedMessage,
                             public testing::WithParamInterface<MessageFaultCase> {};

TEST_P(ScriptedMessageFault, IsReportedAndCancels) {
  GetParam().script(m_host);
  EXPECT_EQ(Show(FMSG_WARNING, "Error", {"Zantel", "Broken", "OK"}, GetParam().buttons), -1);
  ASSERT_EQ(m_host.Failures().size(), 1u);
  EXPECT_NE(m_host.Failures()[0].find(GetParam().reportMentions), std::string::npos)
      << m_host.Failures()[0];
  EXPECT_NE(m_host.Failures()[0].find("\"Broken\""), std::string::npos) << m_host.Failures()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ScriptedMessageFault,
    testing::Values(
        MessageFaultCase{"NothingScripted", [](CScriptedHost&) {}, 1,
                         "nothing scripted for message box \"Error\""},
        MessageFaultCase{"OtherTopic",
                         [](CScriptedHost& h) { h.AnswerMessage(0).Topic("SysError"); }, 1,
                         "expected: message box \"SysError\""},
        MessageFaultCase{"NoSuchButton", [](CScriptedHost& h) { h.AnswerMessage(1); }, 1,
                         "no such button"},
        MessageFaultCase{"DialogExpected",
                         [](CScriptedHost& h) { h.AnswerDialog("EditItemDlg").Close(0); }, 1,
                         "expected: dialog \"EditItemDlg\""},
        MessageFaultCase{"MoreButtonsThanItems", [](CScriptedHost& h) { h.AnswerMessage(0); }, 3,
                         "3 buttons among 3 items"}),
    [](const testing::TestParamInfo<MessageFaultCase>& info) { return info.param.name; });

TEST(ScriptedScreens, SavedScreensMustBeRestoredOnce) {
  CScriptedHost host;
  const PluginStartupInfo& info = host.StartupInfo();
  FarHandle first = info.SaveScreen(0, 0, -1, -1);
  FarHandle second = info.SaveScreen(0, 0, -1, -1);
  EXPECT_NE(first, nullptr);
  EXPECT_NE(first, second);
  info.RestoreScreen(first);
  EXPECT_EQ(host.OpenScreens(), 1u);
  EXPECT_TRUE(host.Failures().empty());
  info.RestoreScreen(first);
  ASSERT_EQ(host.Failures().size(), 1u);
  EXPECT_NE(host.Failures()[0].find("not a saved screen"), std::string::npos);
  host.Verify();
  ASSERT_EQ(host.Failures().size(), 2u);
  EXPECT_EQ(host.Failures()[1], "screen 2 was saved and never restored");
}

TEST(ScriptedScreens, NullRestoreOnlyTellsTheScreenChanged) {
  CScriptedHost host;
  host.StartupInfo().RestoreScreen(nullptr);
  EXPECT_TRUE(host.Failures().empty());
}

class ScriptedGetMsg : public testing::Test {
 protected:
  void SetUp() override {
    // One folder per test: CTest runs the tests of this program side by side.
    m_folder =
        std::filesystem::path(testing::TempDir()) /
        ("getmsg_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(m_folder);
    std::ofstream(m_folder / "TestEng.lng")
        << ".Language=English,English\n\"OK\"\n\"Cancel\"\n\"Line\\none\"\n";
    std::ofstream(m_folder / "TestRus.lng") << ".Language=Russian,Russian\n\"\x8E\x8A\"\n";
  }
  void TearDown() override { std::filesystem::remove_all(m_folder); }

  const char* GetMsg(int number) {
    const PluginStartupInfo& info = m_host.StartupInfo();
    return info.GetMsg(info.ModuleNumber, number);
  }

  std::filesystem::path m_folder;
  CScriptedHost m_host;
};

TEST_F(ScriptedGetMsg, ReadsTheLanguageFileBesideTheModule) {
  ASSERT_TRUE(m_host.SetModule(m_folder / "Zantel.so"));
  EXPECT_STREQ(GetMsg(0), "OK");
  EXPECT_STREQ(GetMsg(2), "Line\none");
  EXPECT_EQ(std::string(m_host.StartupInfo().ModuleName), (m_folder / "Zantel.so").string());
  ASSERT_TRUE(m_host.SetModule(m_folder / "Zantel.so", "Russian"));
  EXPECT_STREQ(GetMsg(0), "\x8E\x8A");
  EXPECT_TRUE(m_host.Failures().empty());
}

TEST_F(ScriptedGetMsg, OverrideWinsAndKeepsEarlierTextsAlive) {
  ASSERT_TRUE(m_host.SetModule(m_folder / "Zantel.so"));
  m_host.SetMessageText(0, "Fine");
  const char* first = GetMsg(0);
  m_host.SetMessageText(0, "Good");
  EXPECT_STREQ(first, "Fine");
  EXPECT_STREQ(GetMsg(0), "Good");
  EXPECT_STREQ(GetMsg(1), "Cancel");
}

TEST_F(ScriptedGetMsg, MissingMessageIsReportedOrNamed) {
  ASSERT_TRUE(m_host.SetModule(m_folder / "Zantel.so"));
  EXPECT_STREQ(GetMsg(3), "");
  ASSERT_EQ(m_host.Failures().size(), 1u);
  EXPECT_EQ(m_host.Failures()[0],
            "GetMsg asked for message 3, which the language file (English) does not have");
  m_host.NameMissingMessages();
  EXPECT_STREQ(GetMsg(3), "message 3");
}

TEST_F(ScriptedGetMsg, ModuleNameLongerThanTheFieldIsCut) {
  m_host.SetModule(m_folder / std::string(400, 'm'));
  EXPECT_EQ(std::string(m_host.StartupInfo().ModuleName).size(), static_cast<size_t>(NM - 1));
}

}  // namespace
