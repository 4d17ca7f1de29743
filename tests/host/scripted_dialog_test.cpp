#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/scripted_host.h"

namespace {

using Host::CScriptedHost;

FarDialogItem Record(int type, const char* data, FarDword flags = 0) {
  FarDialogItem item{};
  item.Type = type;
  item.X1 = 5;
  item.Y1 = 3;
  item.Flags = flags;
  std::strcpy(item.Data, data);
  return item;
}

class ScriptedDialog : public testing::Test {
 protected:
  int Show(const char* topic = "TestDlg") {
    const PluginStartupInfo& info = m_host.StartupInfo();
    return info.Dialog(info.ModuleNumber, -1, -1, 60, 12, topic, m_items.data(),
                       static_cast<int>(m_items.size()));
  }

  std::string AllFailures() const {
    std::string text;
    for (const std::string& failure : m_host.Failures()) text += failure + "\n";
    return text;
  }

  CScriptedHost m_host;
  std::vector<FarDialogItem> m_items;
};

TEST_F(ScriptedDialog, RecordsItemsAsTheHostReadsThem) {
  m_items = {Record(DI_DOUBLEBOX, "Title"), Record(DI_CHECKBOX, "Check"),
             Record(DI_EDIT, "text", DIF_HISTORY), Record(DI_BUTTON, "OK")};
  m_items[1].Selected = 1;
  m_items[2].History = "Zantel.Phone";
  m_items[2].Focus = 1;
  m_items[3].DefaultButton = 1;
  m_host.AnswerDialog("TestDlg").Close(3);
  EXPECT_EQ(Show(), 3);
  ASSERT_EQ(m_host.Dialogs().size(), 1u);
  const Host::ShownDialog& shown = m_host.Dialogs()[0];
  EXPECT_EQ(shown.helpTopic, "TestDlg");
  EXPECT_EQ(shown.x2, 60);
  ASSERT_EQ(shown.items.size(), 4u);
  EXPECT_EQ(shown.items[0].data, "Title");
  EXPECT_EQ(shown.items[1].selected, 1);
  EXPECT_EQ(shown.items[2].history, "Zantel.Phone");
  EXPECT_EQ(shown.items[2].focus, 1);
  EXPECT_FALSE(shown.items[3].history.has_value());
  EXPECT_EQ(shown.items[3].defaultButton, 1);
  EXPECT_EQ(shown.result, 3);
  EXPECT_TRUE(m_host.Failures().empty()) << AllFailures();
}

TEST_F(ScriptedDialog, TypesIntoDataAndVariableBuffer) {
  std::vector<char> buffer(8, 'x');
  buffer[0] = '\0';
  m_items = {Record(DI_EDIT, "old"), Record(DI_EDIT, "", DIF_VAREDIT), Record(DI_FIXEDIT, "")};
  m_items[1].Ptr.PtrFlags = 0;
  m_items[1].Ptr.PtrLength = static_cast<int>(buffer.size());
  m_items[1].Ptr.PtrData = buffer.data();
  m_host.AnswerDialog("TestDlg")
      .SetText(0, std::string(600, 'a'))
      .SetText(1, "0123456789")
      .SetText(2, "12")
      .Close(2);
  EXPECT_EQ(Show(), 2);
  EXPECT_EQ(std::string(m_items[0].Data), std::string(511, 'a'));
  EXPECT_STREQ(buffer.data(), "0123456");
  EXPECT_STREQ(m_items[2].Data, "12");
  EXPECT_EQ(m_host.Dialogs()[0].items[1].varLength, 8);
  EXPECT_TRUE(m_host.Failures().empty()) << AllFailures();
}

TEST_F(ScriptedDialog, RadioSelectionStaysInsideItsGroup) {
  m_items = {Record(DI_RADIOBUTTON, "a", DIF_GROUP), Record(DI_RADIOBUTTON, "b"),
             Record(DI_RADIOBUTTON, "c", DIF_GROUP), Record(DI_RADIOBUTTON, "d"),
             Record(DI_BUTTON, "OK")};
  m_items[0].Selected = 1;
  m_items[3].Selected = 1;
  m_host.AnswerDialog("TestDlg").SetSelected(1).SetSelected(2).Close(4);
  Show();
  std::vector<int> selected;
  for (const FarDialogItem& item : m_items)
    selected.push_back(item.Type == DI_RADIOBUTTON ? item.Selected : -1);
  EXPECT_EQ(selected, (std::vector<int>{0, 1, 1, 0, -1}));
}

TEST_F(ScriptedDialog, CheckBoxTakesTheScriptedState) {
  m_items = {Record(DI_CHECKBOX, "a"), Record(DI_CHECKBOX, "b")};
  m_items[1].Selected = 1;
  m_host.AnswerDialog("TestDlg").SetSelected(0).SetSelected(1, 0).Close(1);
  Show();
  EXPECT_EQ(m_items[0].Selected, 1);
  EXPECT_EQ(m_items[1].Selected, 0);
}

struct ExitCase {
  const char* name;
  void (*script)(Host::CDialogAnswer&);
  int result;
};

void PrintTo(const ExitCase& c, std::ostream* out) { *out << c.name; }

class ScriptedDialogExit : public ScriptedDialog, public testing::WithParamInterface<ExitCase> {};

TEST_P(ScriptedDialogExit, EndsAsScripted) {
  m_items = {Record(DI_EDIT, ""), Record(DI_BUTTON, "OK"), Record(DI_BUTTON, "Cancel")};
  m_items[1].DefaultButton = 1;
  GetParam().script(m_host.AnswerDialog("TestDlg"));
  EXPECT_EQ(Show(), GetParam().result);
  EXPECT_TRUE(m_host.Failures().empty()) << AllFailures();
}

INSTANTIATE_TEST_SUITE_P(
    Exits, ScriptedDialogExit,
    testing::Values(ExitCase{"CloseWithItem", [](Host::CDialogAnswer& a) { a.Close(2); }, 2},
                    ExitCase{"EnterPressesTheDefaultButton",
                             [](Host::CDialogAnswer& a) { a.PressEnter(); }, 1},
                    ExitCase{"Escape", [](Host::CDialogAnswer& a) { a.Escape(); }, -1}),
    [](const testing::TestParamInfo<ExitCase>& info) { return info.param.name; });

struct FaultCase {
  const char* name;
  void (*prepare)(std::vector<FarDialogItem>&, CScriptedHost&);
  const char* topic;
  const char* reportMentions;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class ScriptedDialogFault : public ScriptedDialog, public testing::WithParamInterface<FaultCase> {};

// Every fault cancels the dialog and is reported with what was shown.
TEST_P(ScriptedDialogFault, IsReportedWithAnAccount) {
  const FaultCase& c = GetParam();
  m_items = {Record(DI_TEXT, "Label"), Record(DI_EDIT, ""), Record(DI_BUTTON, "OK")};
  c.prepare(m_items, m_host);
  EXPECT_EQ(Show(c.topic), -1);
  ASSERT_EQ(m_host.Failures().size(), 1u);
  const std::string& report = m_host.Failures()[0];
  EXPECT_NE(report.find(c.reportMentions), std::string::npos) << report;
  EXPECT_NE(report.find("\"Label\""), std::string::npos) << report;
  EXPECT_EQ(m_host.PendingSteps(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ScriptedDialogFault,
    testing::Values(FaultCase{"NothingScripted", [](std::vector<FarDialogItem>&, CScriptedHost&) {},
                              "TestDlg", "nothing scripted"},
                    FaultCase{"OtherDialogExpected",
                              [](std::vector<FarDialogItem>&, CScriptedHost& host) {
                                host.AnswerDialog("PortConfigDlg").Close(2);
                              },
                              "TestDlg", "expected: dialog \"PortConfigDlg\""},
                    FaultCase{"MenuExpected",
                              [](std::vector<FarDialogItem>&, CScriptedHost& host) {
                                host.AnswerMenu("Config").Choose(0);
                              },
                              "TestDlg", "expected: menu \"Config\""},
                    FaultCase{"TypingIntoText",
                              [](std::vector<FarDialogItem>&, CScriptedHost& host) {
                                host.AnswerDialog("TestDlg").SetText(0, "x").Close(2);
                              },
                              "TestDlg", "cannot type into item 0"},
                    FaultCase{"ClosingWithNoSuchItem",
                              [](std::vector<FarDialogItem>&, CScriptedHost& host) {
                                host.AnswerDialog("TestDlg").Close(3);
                              },
                              "TestDlg", "no such item"},
                    FaultCase{"NoDefaultButtonForEnter",
                              [](std::vector<FarDialogItem>&, CScriptedHost& host) {
                                host.AnswerDialog("TestDlg").PressEnter();
                              },
                              "TestDlg", "no default button"},
                    FaultCase{"UnterminatedData",
                              [](std::vector<FarDialogItem>& items, CScriptedHost& host) {
                                std::memset(items[1].Data, 'a', sizeof items[1].Data);
                                host.AnswerDialog("TestDlg").Close(2);
                              },
                              "TestDlg",
                              "item 1: the text has no terminating zero in its 512 bytes"},
                    FaultCase{"TwoFocusedItems",
                              [](std::vector<FarDialogItem>& items, CScriptedHost& host) {
                                items[1].Focus = items[2].Focus = 1;
                                host.AnswerDialog("TestDlg").Close(2);
                              },
                              "TestDlg", "2 items have the focus"},
                    FaultCase{"VariableBufferMissing",
                              [](std::vector<FarDialogItem>& items, CScriptedHost& host) {
                                items[1].Flags = DIF_VAREDIT;
                                host.AnswerDialog("TestDlg").Close(2);
                              },
                              "TestDlg", "DIF_VAREDIT without a buffer"},
                    FaultCase{"HistoryWithoutName",
                              [](std::vector<FarDialogItem>& items, CScriptedHost& host) {
                                items[1].Flags = DIF_HISTORY;
                                host.AnswerDialog("TestDlg").Close(2);
                              },
                              "TestDlg", "DIF_HISTORY without a history name"}),
    [](const testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST_F(ScriptedDialog, WrongModuleNumberIsReported) {
  m_items = {Record(DI_BUTTON, "OK")};
  m_host.AnswerDialog("TestDlg").Close(0);
  const PluginStartupInfo& info = m_host.StartupInfo();
  EXPECT_EQ(info.Dialog(7, -1, -1, 60, 12, "TestDlg", m_items.data(), 1), 0);
  ASSERT_EQ(m_host.Failures().size(), 1u);
  EXPECT_NE(m_host.Failures()[0].find("module number 7"), std::string::npos);
}

TEST_F(ScriptedDialog, HookRunsWhileShown) {
  m_items = {Record(DI_BUTTON, "OK")};
  int shownBefore = -1;
  m_host.AnswerDialog("TestDlg")
      .WhileShown([&] { shownBefore = static_cast<int>(m_host.Dialogs().size()); })
      .Close(0);
  Show();
  EXPECT_EQ(shownBefore, 1);
}

TEST_F(ScriptedDialog, UnusedStepsAreReportedByVerify) {
  m_host.AnswerDialog("TestDlg").Close(0);
  m_host.AnswerMessage(0).Topic("Error");
  m_host.Verify();
  ASSERT_EQ(m_host.Failures().size(), 2u);
  EXPECT_EQ(m_host.Failures()[0],
            "the plug-in never showed the scripted dialog \"TestDlg\", close with [0]");
  EXPECT_EQ(m_host.Failures()[1],
            "the plug-in never showed the scripted message box \"Error\", answer button 0");
}

}  // namespace
