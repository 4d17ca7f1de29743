#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scoped_environment.h"
#include "temp_registry.h"
#include "farapi/far_api.h"
#include "host/stand_in_host.h"
#include "host_root_key.h"
#include "phone_simulator_process.h"
#include "platform/registry.h"

// The stand-in host with the built module, the test's own settings store, and a phone simulator
// on the first port (the test's phone port) when a test starts one.
namespace EndToEnd {

using Host::CMessageAnswer;
using Host::CStandInHost;
using Commands = std::vector<std::string>;

inline const std::string kSettingsKey = TestHostRootKey() + "\\Zantel";

// The handshake a phone offering UTF-8 receives, in order.
inline const Commands kUtf8Handshake = {"ATE0",      "AT+CNMI=2,1,1,2,0", "AT+CMEE=2", "AT+CGMI",
                                        "AT+CGMM",   "AT+CGSN",           "AT+CIMI",   "AT+CPBS=?",
                                        "AT+CSCS=?", "AT+CSCS=\"UTF-8\"", "AT+CSCS?"};

inline void SetDword(const std::string& subkey, const std::string& name, uint32_t value) {
  Platform::CRegKey key = Platform::CRegKey::Create(kSettingsKey + subkey);
  ASSERT_TRUE(key.IsOpen()) << subkey;
  key.SetValue(name, Platform::kRegDword, {reinterpret_cast<const uint8_t*>(&value), sizeof value});
}

inline std::optional<std::string> StringValue(const std::string& subkey, const std::string& name) {
  Platform::CRegKey key = Platform::CRegKey::Open(kSettingsKey + subkey);
  Platform::RegValue value;
  if (!key.IsOpen() || key.QueryValue(name, value) != 0) return std::nullopt;
  std::string text(value.Data.begin(), value.Data.end());
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

inline PhoneSimulatorSetup Phone(std::string profile, std::vector<std::string> options = {},
                                 std::string faultsJson = {}) {
  PhoneSimulatorSetup setup;
  setup.profile = std::move(profile);
  setup.options = std::move(options);
  setup.faultsJson = std::move(faultsJson);
  // A test gone wrong may leave the plug-in waiting: the phone hangs up on it in the end.
  setup.maxSeconds = 20;
  return setup;
}

class OpenPhone : public testing::Test {
 protected:
  OpenPhone() {
    // Under Wine the store is the prefix's own registry: start from no settings at all.
    m_host.SetRootKey(TestHostRootKey());
    Platform::CRegKey::Open(TestHostRootKey()).DeleteSubtree("Zantel");
    // The simulator listens at once; a silent phone is given up after one second; a terminal
    // knows no hardware handshake.
    SetDword("", "SettleTime", 0);
    SetDword("\\FirstCOM", "Port", static_cast<uint32_t>(TestPhonePort()));
    SetDword("\\FirstCOM", "Timeout", 1);
    SetDword("\\FirstCOM", "HwCtl", 0);
    SetDword("\\SecondCOM", "Timeout", 1);
    SetDword("\\SecondCOM", "HwCtl", 0);
    m_host.OnFailure([](const std::string& failure) { ADD_FAILURE() << failure; });
  }
  ~OpenPhone() override {
    m_host.Exit();
    Platform::CRegKey::Open(TestHostRootKey()).DeleteSubtree("Zantel");
    ForgetTestHostRootKey();
  }

  void Load() { ASSERT_TRUE(m_host.Load(ZANTEL_MODULE_PATH)); }

  void StartPhone(PhoneSimulatorSetup setup) {
    m_phone.reset();  // the port is given to one simulator at a time
    m_phone = std::make_unique<CPhoneSimulatorProcess>(setup);
    ASSERT_TRUE(m_phone->IsReady()) << m_phone->Failure();
  }

  // Ends the session from the host's side and waits for the simulator to see the port closed.
  Commands FinishPhone() {
    if (m_host.IsOpen()) m_host.Close();
    EXPECT_TRUE(m_phone->Finish()) << m_phone->Failure();
    return m_phone->ReceivedCommands();
  }

  // The system-error box of a link that could not be opened, the last thing shown.
  void ExpectCannotOpen() const {
    ASSERT_NE(LastBox(), nullptr);
    EXPECT_EQ(LastBox()->helpTopic, "SysError");
    EXPECT_EQ(LastBox()->flags, static_cast<FarDword>(FMSG_WARNING | FMSG_ERRORTYPE));
    EXPECT_EQ(LastBox()->items, (std::vector<std::string>{"Zantel", "Cannot open", "OK"}));
    EXPECT_FALSE(LastBox()->errorText.empty());
  }

  const Host::ShownMessage* LastBox() const {
    return m_host.Messages().empty() ? nullptr : &m_host.Messages().back();
  }

  CTempRegistry m_registry;
  CStandInHost m_host;
  std::unique_ptr<CPhoneSimulatorProcess> m_phone;
};

}  // namespace EndToEnd
