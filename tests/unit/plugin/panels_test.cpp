#include "plugin/panels.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "temp_registry.h"
#include "fake_host.h"
#include "farlib/host.h"
#include "link/io_error.h"
#include "scripted_connection.h"

namespace {

// The panel-control calls the plug-in makes, as "command parameter".
std::vector<std::string> g_controls;
FarHandle g_controlled = nullptr;

int ZANTEL_STDCALL RecordingControl(FarHandle panel, int command, void* parameter) {
  g_controlled = panel;
  std::string call = std::to_string(command);
  if (command == FCTL_SETVIEWMODE || command == FCTL_SETSORTMODE || command == FCTL_SETSORTORDER)
    call += " " + std::to_string(*static_cast<int*>(parameter));
  else call += parameter ? " kept" : " null";
  g_controls.push_back(call);
  return 1;
}

// A phone that answers the greeting, and nothing after it.
std::unique_ptr<CScriptedConnection> GreetingPhone() {
  auto phone = std::make_unique<CScriptedConnection>();
  const char* const ok = "\r\nOK\r\n";
  phone->Expect("ATE0\r", ok);
  phone->Expect("AT+CNMI=2,1,1,2,0\r", ok);
  phone->Expect("AT+CMEE=2\r", ok);
  phone->Expect("AT+CGMI\r", "\r\nZantel\r\nOK\r\n");
  phone->Expect("AT+CGMM\r", "\r\nPanel 1\r\nOK\r\n");
  phone->Expect("AT+CGSN\r", "\r\n4711\r\nOK\r\n");
  phone->Expect("AT+CIMI\r", "\r\n+CME ERROR: 10\r\n");
  phone->Expect("AT+CPBS=?\r", "\r\n+CPBS: (\"SM\",\"DC\")\r\nOK\r\n");
  phone->Expect("AT+CSCS=?\r", "\r\n+CSCS: (\"GSM\")\r\nOK\r\n");
  phone->Expect("AT+CSCS?\r", "\r\n+CSCS: \"GSM\"\r\nOK\r\n");
  return phone;
}

class Panels : public testing::Test {
 protected:
  Panels() {
    PluginStartupInfo info = m_host.StartupInfo();
    info.Control = &RecordingControl;
    FarLib::SetStartupInfo(info);
    g_controls.clear();
  }

  CTempRegistry m_registry;
  CFakeHost m_host;
};

TEST_F(Panels, BothViewsShareOnePhoneGreetedOnce) {
  auto phone = GreetingPhone();
  CScriptedConnection& link = *phone;
  CMobilePanel panel(std::move(phone), true);
  EXPECT_TRUE(link.ScriptDone());
  EXPECT_EQ(panel.HostHandle(), static_cast<FarHandle>(&panel));
  EXPECT_EQ(panel.Identity(), "4711");
  ASSERT_EQ(panel.Storages().size(), 2u);
  EXPECT_EQ(panel.Storages()[1]->SortMode, SM_SIZE);

  OpenPluginInfo info{};
  panel.GetOpenPluginInfo(info);
  EXPECT_EQ(info.Flags, 264u);
  EXPECT_STREQ(info.PanelTitle, "Mobile");
  EXPECT_EQ(info.StartPanelMode, '0');
  EXPECT_EQ(info.StartSortMode, SM_NAME);
  ASSERT_EQ(info.InfoLinesNumber, 2);
  EXPECT_STREQ(info.InfoLines[1].Text, "Model");
  EXPECT_STREQ(info.InfoLines[1].Data, "Panel 1");

  // The messages view prepares itself on the same link, without a second greeting.
  const std::string storageName = panel.Storages()[0]->Name;
  ASSERT_TRUE(panel.SetDirectory(storageName.c_str(), 0));
  link.Expect("AT+CMGF=0\r", "\r\nOK\r\n");
  link.Expect("AT+CMGL=?\r", "\r\n+CMGL: (0-4)\r\nOK\r\n");
  link.Expect("AT+CPMS=?\r", "\r\n+CPMS: (\"SM\"),(\"SM\"),(\"SM\")\r\nOK\r\n");
  link.Expect("AT+CPMS?\r", "\r\n+CPMS: \"SM\",0,10,\"SM\",0,10,\"SM\",0,10\r\nOK\r\n");
  link.Expect("AT+CPMS=\"SM\",\"SM\",\"SM\"\r", "\r\nOK\r\n");
  link.Expect("AT+CMGL=4\r", "\r\nOK\r\n");
  panel.SetActiveView(false);
  EXPECT_FALSE(panel.PhoneViewActive());
  EXPECT_TRUE(link.ScriptDone());
  const size_t sentBefore = link.Sent().size();
  panel.SetActiveView(true);
  EXPECT_EQ(link.Sent().size(), sentBefore) << "switching back talked to the phone";
  EXPECT_EQ(&panel.Connection(), &link);
  EXPECT_EQ(panel.Identity(), "4711");
  panel.GetOpenPluginInfo(info);
  EXPECT_EQ(info.CurDir, storageName) << "the phone book shows the storage it was left in";
  // The view is shown again with the selection kept, as the real host reads the parameter.
  const std::vector<std::string> refresh = {std::to_string(FCTL_UPDATEPANEL) + " kept",
                                            std::to_string(FCTL_REDRAWPANEL) + " null"};
  EXPECT_EQ(g_controls, (std::vector<std::string>{refresh[0], refresh[1], refresh[0], refresh[1]}));

  g_controls.clear();
  panel.ApplyPanelModes(3, SM_SIZE, 1);
  EXPECT_EQ(g_controls, (std::vector<std::string>{std::to_string(FCTL_SETVIEWMODE) + " 3",
                                                  std::to_string(FCTL_SETSORTMODE) + " 7",
                                                  std::to_string(FCTL_SETSORTORDER) + " 1"}));
  EXPECT_EQ(g_controlled, panel.HostHandle());
}

TEST_F(Panels, FailedGreetingClosesTheConnection) {
  bool destroyed = false;
  // A phone whose first answer never comes.
  struct CClosingPhone : CConnection {
    explicit CClosingPhone(bool& flag) : CConnection(HostLinkUser()), destroyed(flag) {}
    ~CClosingPhone() override { destroyed = true; }
    void Read(void*, uint32_t&) override { throw io_error("Cannot read from the phone", 1460); }
    void Write(const void*, uint32_t) override {}
    bool& destroyed;
  };
  EXPECT_THROW(CMobilePanel(std::make_unique<CClosingPhone>(destroyed), true), io_error);
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(m_host.OpenScreens(), 0u) << "the wait box stayed";
}

}  // namespace
