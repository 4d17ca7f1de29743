#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "open_phone_fixture.h"

// Opening a phone as a user does: the module loaded by the stand-in host, its menu items,
// the port menu, the handshake with the simulated phone on COM1, the boxes of every failure,
// closing and unloading.
namespace EndToEnd {
namespace {

TEST_F(OpenPhone, FromTheDiskMenuGreetsThePhoneAndRemembersItsModel) {
  Load();
  const Host::CPluginMenus menus = m_host.PluginMenus();
  ASSERT_EQ(menus.diskMenu.size(), 1u);
  EXPECT_EQ(menus.diskMenu[0].text, "Mobile phone book");
  EXPECT_EQ(menus.pluginsMenu, (std::vector<std::string>{"Mobile SMS"}));
  EXPECT_EQ(menus.configMenu, (std::vector<std::string>{"Zantel mobile phone"}));

  for (int opening = 0; opening < 2; ++opening) {
    SCOPED_TRACE(opening == 0 ? "first opening" : "second opening");
    StartPhone(Phone("modem"));
    ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
    const Host::CPluginPanelInfo& panel = m_host.Panel(Host::EPanel::Plugin).plugin;
    EXPECT_EQ(panel.panelTitle, "Mobile");
    ASSERT_EQ(panel.infoLines.size(), 2u);
    EXPECT_EQ(panel.infoLines[0].data, "Zantel");
    EXPECT_EQ(panel.infoLines[1].data, "USB Stick 4G");
    EXPECT_EQ(FinishPhone(), kUtf8Handshake);
  }
  // The default profile and the one made for this model on its first sight, nothing more.
  EXPECT_EQ(StringValue("\\Models", "Manufacturer"), "Default");
  EXPECT_EQ(StringValue("\\Models\\0000", "Model"), "USB Stick 4G");
  EXPECT_EQ(StringValue("\\Models\\0000", "Charset"), "UTF-8");
  EXPECT_FALSE(StringValue("\\Models\\0001", "Model"));
  EXPECT_TRUE(m_host.Messages().size() == 2u) << "only the two wait boxes";
}

TEST_F(OpenPhone, FromThePluginsMenuIntoTheMessages) {
  Load();
  StartPhone(Phone("classic"));
  ASSERT_TRUE(m_host.Open(OPEN_PLUGINSMENU, 0));
  const Commands commands = FinishPhone();
  // A phone without UTF-8 or UCS2 would get no request; the classic one offers UCS2.
  ASSERT_GT(commands.size(), kUtf8Handshake.size());
  EXPECT_EQ(commands.at(9), "AT+CSCS=\"UCS2\"");
  // After the greeting the messages view puts the phone into PDU mode.
  EXPECT_EQ(commands.at(kUtf8Handshake.size()), "AT+CMGF=0");
}

TEST_F(OpenPhone, PortMenuOffersBothPortsAndANamedFile) {
  SetDword("", "EnableSecondCOMPort", 1);
  SetDword("\\FirstCOM", "Port", 5);
  SetDword("\\SecondCOM", "Port", static_cast<uint32_t>(TestPhonePort()));
  SetDword("\\SecondCOM", "BaudRate", 9600);
  Load();
  StartPhone(Phone("modem"));
  m_host.AnswerMenu("SelectPortMenu").Choose(1);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_EQ(m_host.Menus().size(), 1u);
  const Host::ShownMenu& menu = m_host.Menus()[0];
  EXPECT_EQ(menu.title, "Select port");
  EXPECT_EQ(menu.flags, static_cast<FarDword>(FMENU_WRAPMODE));
  ASSERT_EQ(menu.items.size(), 3u);
  EXPECT_EQ(menu.items[0].text, "COM5  115200, 8N1");
  EXPECT_EQ(menu.items[1].text, "COM" + std::to_string(TestPhonePort()) + "  9600, 8N1");
  EXPECT_EQ(menu.items[2].text, "Named pipe or file");
  EXPECT_EQ(FinishPhone(), kUtf8Handshake);
}

// A file of recorded answers plays the phone: what is written to it goes nowhere.
TEST_F(OpenPhone, NamedFileReplaysAPhone) {
  SetDword("", "EnableSecondCOMPort", 1);
  const std::string replies = m_registry.File() + ".replies";
  {
    std::ofstream file(replies, std::ios::binary);
    file
        << "OK\r\nOK\r\nOK\r\nZantel\r\nOK\r\nReplay 1\r\nOK\r\n4711\r\nOK\r\n"
           "+CME ERROR: 10\r\n+CPBS: (\"SM\")\r\nOK\r\n+CSCS: (\"GSM\")\r\nOK\r\n+CSCS: \"GSM\"\r\nOK\r\n";
  }
  Load();
  m_host.AnswerMenu("SelectPortMenu").Choose(2);
  m_host.AnswerDialog("NamedPipeDlg").SetText(1, replies).Close(2);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  EXPECT_EQ(m_host.Panel(Host::EPanel::Plugin).plugin.infoLines.at(1).data, "Replay 1");
  EXPECT_EQ(m_host.Dialogs().at(0).items.at(1).history, "Zantel.NamedPipe");
  m_host.Close();
  m_host.Exit();
  EXPECT_EQ(StringValue("", "LastNamedPipe"), replies);
  std::filesystem::remove(replies);
}

TEST_F(OpenPhone, EscapeInThePortMenuOpensNothing) {
  SetDword("", "EnableSecondCOMPort", 1);
  Load();
  m_host.AnswerMenu("SelectPortMenu").Escape();
  EXPECT_FALSE(m_host.Open(OPEN_DISKMENU, 0));
  EXPECT_TRUE(m_host.Messages().empty());
}

// The plug-in's own message for a link that cannot be had, over the system's reason.
TEST_F(OpenPhone, MissingNamedFileIsReportedWithTheSystemError) {
  SetDword("", "EnableSecondCOMPort", 1);
  Load();
  m_host.AnswerMenu("SelectPortMenu").Choose(2);
  m_host.AnswerDialog("NamedPipeDlg").SetText(1, m_registry.File() + ".no-such-file").Close(2);
  m_host.AnswerMessage(0).Topic("SysError");
  EXPECT_FALSE(m_host.Open(OPEN_DISKMENU, 0));
  ExpectCannotOpen();
}

TEST_F(OpenPhone, SilentPhoneGivenUpAtTheTimeOutPrompt) {
  Load();
  StartPhone(Phone("classic", {"--silent-after", "1"}));
  m_host.AnswerMessage(1).Topic("TimeoutError");
  m_host.AnswerMessage(0).Topic("SysError");
  EXPECT_FALSE(m_host.Open(OPEN_DISKMENU, 0));
  ASSERT_NE(LastBox(), nullptr);
  EXPECT_EQ(LastBox()->items,
            (std::vector<std::string>{"Zantel", "Cannot read from the phone", "OK"}));
  EXPECT_EQ(FinishPhone(), (Commands{"ATE0", "AT+CNMI=2,1,1,2,0"}));
  EXPECT_EQ(m_host.OpenScreens(), 0u) << "the wait box's screen was not restored";
}

TEST_F(OpenPhone, RefusalsDoNotStopTheHandshake) {
  Load();
  StartPhone(
      Phone("classic", {}, R"({"refusals": [{"command": "AT", "times": 100, "reply": "ERROR"}]})"));
  m_host.AnswerEveryMessage(0);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  size_t refusalBoxes = 0;
  for (const auto& box : m_host.Messages()) refusalBoxes += box.buttons > 0 ? 1 : 0;
  EXPECT_EQ(refusalBoxes, 7u);
  EXPECT_EQ(FinishPhone(), (Commands{"ATE0", "AT+CNMI=2,1,1,2,0", "AT+CMEE=2", "AT+CMEE=1",
                                     "AT+CGMI", "AT+GMI", "AT+CGMM", "AT+GMM", "AT+CGSN", "AT+GSN",
                                     "AT+CIMI", "AT+CPBS=?", "AT+CSCS=?", "AT+CSCS?"}));
}

TEST_F(OpenPhone, ExitSavesTheSettings) {
  Load();
  EXPECT_FALSE(StringValue("", "LogFile"));
  m_host.Exit();
  EXPECT_EQ(StringValue("", "LogFile"), "C:\\Zantel.log");
}

// However the phone misbehaves during the greeting, opening ends in a working panel or in
// the system-error box: never a crash, never a hang.
struct FaultCase {
  const char* name;
  std::vector<std::string> options;
  std::string faultsJson;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class FaultyHandshake : public OpenPhone, public testing::WithParamInterface<FaultCase> {};

TEST_P(FaultyHandshake, EndsInAPanelOrTheSystemErrorBox) {
  Load();
  StartPhone(Phone("modem", GetParam().options, GetParam().faultsJson));
  // Give up at a time-out; any other box has only its OK.
  m_host.AnswerEveryMessage(CMessageAnswer::kLastButton);
  const bool opened = m_host.Open(OPEN_DISKMENU, 0);
  if (!opened) {
    ASSERT_NE(LastBox(), nullptr);
    EXPECT_EQ(LastBox()->helpTopic, "SysError");
  }
  FinishPhone();
  EXPECT_EQ(m_host.OpenScreens(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyHandshake,
    testing::Values(
        FaultCase{"SilentAfterThreeCommands", {"--silent-after", "3"}, ""},
        FaultCase{"HangUpMidReply", {"--hang-up-during", "4"}, ""},
        FaultCase{"SplitReplies", {"--split-seed", "7"}, ""},
        FaultCase{"RingBetweenLines",
                  {},
                  R"({"unsolicited": [{"command": 1, "every": 1, "text": "RING"}]})"},
        FaultCase{"GarbageBeforeAnswers",
                  {},
                  R"({"garbage": [{"command": 4, "bytes": "00FF1B5B324A0D0A"}]})"},
        FaultCase{
            "EveryCommandRefusedWithCmeError",
            {},
            R"({"refusals": [{"command": "AT", "times": 100, "reply": "+CME ERROR: 100"}]})"}));

}  // namespace
}  // namespace EndToEnd
