#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "temp_registry.h"
#include "fake_host.h"
#include "farlib/host.h"
#include "plugin/panels.h"
#include "scripted_connection.h"
#include "settings/settings.h"

namespace {

// Two received messages in SM; the view sees them as a folder's ".." and two items, both
// selected. The other panel shows a folder, or a plug-in's panel.
std::vector<PluginPanelItem> g_items;
bool g_otherIsPlugin = false;

int ZANTEL_STDCALL PanelControl(FarHandle, int command, void* parameter) {
  if (command != FCTL_GETPANELINFO && command != FCTL_GETANOTHERPANELINFO) return 1;
  auto& info = *static_cast<PanelInfo*>(parameter);
  std::memset(&info, 0, sizeof info);
  if (command == FCTL_GETANOTHERPANELINFO) {
    info.Plugin = g_otherIsPlugin ? 1 : 0;
    std::strcpy(info.CurDir, "out");
    return 1;
  }
  info.PanelItems = g_items.data();
  info.ItemsNumber = static_cast<int>(g_items.size());
  info.SelectedItems = g_items.data() + 1;
  info.SelectedItemsNumber = static_cast<int>(g_items.size()) - 1;
  info.CurrentItem = 1;
  return 1;
}

const char* const kOk = "\r\nOK\r\n";
const std::string kSmPdu2 =
    "0791447700090000040C914477000900200000503012900000000B55B7BC1C2683DCE5FB1C";
const std::string kListSm =
    "\r\n+CMGL: 1,1,,33\r\n"
    "0791447700090000040C914477000900100000503012900000000FC8329BFD0699E5EF3628E8768701\r\n"
    "+CMGL: 2,0,,29\r\n" +
    kSmPdu2 + "\r\nOK\r\n";

// Greeted, then every storage listed in turn: the phone is left in ME.
std::unique_ptr<CScriptedConnection> PhoneInMe() {
  auto phone = std::make_unique<CScriptedConnection>();
  phone->Expect("ATE0\r", kOk);
  phone->Expect("AT+CNMI=2,1,1,2,0\r", kOk);
  phone->Expect("AT+CMEE=2\r", kOk);
  phone->Expect("AT+CGMI\r", "\r\nZantel\r\nOK\r\n");
  phone->Expect("AT+CGMM\r", "\r\nPanel 1\r\nOK\r\n");
  phone->Expect("AT+CGSN\r", "\r\n4711\r\nOK\r\n");
  phone->Expect("AT+CIMI\r", "\r\n+CME ERROR: 10\r\n");
  phone->Expect("AT+CPBS=?\r", "\r\n+CPBS: (\"SM\")\r\nOK\r\n");
  phone->Expect("AT+CSCS=?\r", "\r\n+CSCS: (\"GSM\")\r\nOK\r\n");
  phone->Expect("AT+CSCS?\r", "\r\n+CSCS: \"GSM\"\r\nOK\r\n");
  phone->Expect("AT+CMGF=0\r", kOk);
  phone->Expect("AT+CMGL=?\r", "\r\n+CMGL: (0-4)\r\nOK\r\n");
  phone->Expect("AT+CPMS=?\r", "\r\n+CPMS: (\"SM\",\"ME\"),(\"SM\",\"ME\"),(\"SM\")\r\nOK\r\n");
  phone->Expect("AT+CPMS?\r", "\r\n+CPMS: \"SM\",2,40,\"SM\",2,40,\"SM\",2,40\r\nOK\r\n");
  phone->Expect("AT+CPMS=\"SM\",\"SM\",\"SM\"\r", kOk);
  phone->Expect("AT+CMGL=4\r", kListSm);
  phone->Expect("AT+CPMS=\"ME\",\"SM\",\"SM\"\r", kOk);
  phone->Expect("AT+CMGL=4\r", kOk);
  return phone;
}

class SmsCommands : public testing::Test {
 protected:
  SmsCommands() {
    // The models earlier tests met are left out of the handshake.
    Settings() = PluginSettings{};
    PluginStartupInfo info = m_host.StartupInfo();
    info.Control = &PanelControl;
    FarLib::SetStartupInfo(info);
    g_otherIsPlugin = false;
    g_items.assign(3, PluginPanelItem{});
    std::strcpy(g_items[0].FindData.cFileName, "..");
    g_items[0].FindData.dwFileAttributes = 0x10;
    g_items[1].UserData = 0;
    g_items[2].UserData = 1;
  }
  ~SmsCommands() override { Settings() = PluginSettings{}; }

  // The view open in the folder of received messages.
  void Open() {
    auto phone = PhoneInMe();
    m_link = phone.get();
    m_panel = std::make_unique<CMobilePanel>(std::move(phone), false);
    const PluginStartupInfo& info = m_host.StartupInfo();
    ASSERT_EQ(m_panel->SetDirectory(info.GetMsg(info.ModuleNumber, 133), 0), 1);
  }

  CTempRegistry m_registry;
  CFakeHost m_host;
  CScriptedConnection* m_link = nullptr;
  std::unique_ptr<CMobilePanel> m_panel;
};

// A phone that will not switch to the message's storage must not have the same index erased in
// the storage it stays in, neither for this message nor for the next one from there.
TEST_F(SmsCommands, AStorageThePhoneRefusedIsAskedForAgainBeforeTheNextDeletion) {
  Open();
  m_host.AnswerEveryMessage(0);  // the question, then the refusal's report
  m_link->Expect("AT+CPMS=\"SM\",\"SM\",\"SM\"\r", "\r\n+CMS ERROR: 302\r\n");
  m_link->Expect("AT+CPMS=\"SM\",\"SM\",\"SM\"\r", kOk);
  m_link->Expect("AT+CMGR=2\r", "\r\n+CMGR: 1,,29\r\n" + kSmPdu2 + "\r\nOK\r\n");
  m_link->Expect("AT+CMGD=2\r", kOk);
  m_link->Expect("AT+CPMS=\"SM\",\"SM\",\"SM\"\r", kOk);
  m_link->Expect("AT+CMGL=4\r", kOk);
  m_link->Expect("AT+CPMS=\"ME\",\"SM\",\"SM\"\r", kOk);
  m_link->Expect("AT+CMGL=4\r", kOk);
  EXPECT_EQ(m_panel->ProcessKey(kVkF8, 0), 1);
  EXPECT_TRUE(m_link->ScriptDone());
}

// Copying between two plug-ins' panels is not the view's; nor may the host start its own copy.
TEST_F(SmsCommands, F5OppositeAPluginsPanelDoesNothing) {
  Open();
  g_otherIsPlugin = true;
  EXPECT_EQ(m_panel->ProcessKey(kVkF5, 0), 1);
  EXPECT_TRUE(m_host.Dialogs().empty());
  EXPECT_TRUE(m_link->ScriptDone());
}

}  // namespace
