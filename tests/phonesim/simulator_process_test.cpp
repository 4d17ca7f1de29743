#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fake_host.h"
#include "link/at_engine.h"
#include "link/connection.h"
#include "plugin/host_link_user.h"
#include "phone_simulator_process.h"
#include "platform/file.h"
#include "platform/serial.h"
#include "settings/settings.h"

// zantel-phonesim as a separate process, as the end-to-end tests use it: built natively and
// for Windows, where the test runs under Wine and starts the native simulator behind the port
// ctest handed it.
namespace {

const int kPort = TestPhonePort();

std::string ClassicPhone() {
  const char* root = std::getenv("ZANTEL_TEST_DATA");
  std::ifstream file(std::string(root ? root : "tests/data") + "/phonesim/classic.json");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

PortSettings Settings() {
  PortSettings settings;
  settings.Port = kPort;
  settings.Timeout = 2;
  settings.HwCtl = false;
  return settings;
}

TEST(PhoneSimulatorProcess, ServesThePlugInUntilItClosesThePort) {
  PhoneSimulatorSetup setup;
  setup.stateJson = ClassicPhone();
  setup.port = kPort;
  CPhoneSimulatorProcess simulator(setup);
  ASSERT_TRUE(simulator.IsReady()) << simulator.Failure();
  CFakeHost host;
  {
    const PortSettings settings = Settings();
    CSerialConnection link(settings, HostLinkUser());
    ResponseList responses;
    EXPECT_TRUE(Execute(link, "ATE0", nullptr));
    EXPECT_TRUE(Execute(link, "AT+CGMI", &responses));
    EXPECT_EQ(responses, ResponseList{"+CGMI: Zantel"});
  }
  EXPECT_TRUE(simulator.Finish()) << simulator.Failure();
  EXPECT_EQ(simulator.ExitStatus(), 0);
  EXPECT_EQ(simulator.ReceivedCommands(), (std::vector<std::string>{"ATE0", "AT+CGMI"}));
  EXPECT_NE(simulator.SavedState().find("\"manufacturer\": \"Zantel\""), std::string::npos)
      << simulator.SavedState();
}

// The owner changes the phone while the plug-in has it open: the changes are taken between
// commands, and one the simulator refuses is reported.
TEST(PhoneSimulatorProcess, TakesTheOwnersChanges) {
  PhoneSimulatorSetup setup;
  setup.stateJson = ClassicPhone();
  setup.port = kPort;
  CPhoneSimulatorProcess simulator(setup);
  ASSERT_TRUE(simulator.IsReady()) << simulator.Failure();
  CFakeHost host;
  {
    const PortSettings settings = Settings();
    CSerialConnection link(settings, HostLinkUser());
    EXPECT_TRUE(Execute(link, "ATE0", nullptr));
    EXPECT_TRUE(simulator.ChangePhone(R"({"imsi": "234159876543210",
        "phoneBooks": {"SM": {"replace": true, "7": {"number": "0123", "name": "Neu"}}}})"))
        << simulator.Failure();
    ResponseList responses;
    EXPECT_TRUE(Execute(link, "AT+CIMI", &responses));
    EXPECT_EQ(responses, ResponseList{"234159876543210"});
    EXPECT_TRUE(Execute(link, "AT+CPBR=1,20", &responses));
    EXPECT_EQ(responses, ResponseList{"+CPBR: 7,\"0123\",129,\"Neu\""});
    EXPECT_FALSE(simulator.ChangePhone(R"({"phoneBooks": {"XX": {}}})"));
    EXPECT_NE(simulator.Failure().find("no phone book XX"), std::string::npos)
        << simulator.Failure();
  }
  simulator.Finish();
  EXPECT_EQ(simulator.ExitStatus(), 0);
}

// What the client does with the port, and how the simulator's life ends.
struct LifetimeCase {
  const char* name;
  std::function<void()> client;
  int maxSeconds;
  uint32_t finishWaitMs;
  int status;
  std::vector<std::string> commands;
};

void OpenAndClose(const std::string& bytes) {
  Platform::CFile port =
      Platform::CFile::Open("COM" + std::to_string(kPort), Platform::OpenMode::ExistingReadWrite);
  ASSERT_TRUE(port.IsOpen());
  ASSERT_TRUE(Platform::ConfigureSerialLine(port, Platform::SerialLine{}));
  uint32_t written = 0;
  if (!bytes.empty()) {
    ASSERT_TRUE(port.Write(bytes.data(), static_cast<uint32_t>(bytes.size()), written));
  }
  // Long enough for the simulator to see the port open even with nothing written.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

TEST(PhoneSimulatorProcess, EndsWhenThePortClosesOrItsTimeRunsOut) {
  const std::vector<LifetimeCase> cases = {
      {"opened and closed without a word", [] { OpenAndClose(""); }, 30, 10000, 0, {}},
      // The answer finds nobody to read it: the simulator must not wait for a reader.
      {"closed before the answer",
       [] { OpenAndClose("ATI\rAT+CGMI\r"); },
       30,
       10000,
       0,
       {"ATI", "AT+CGMI"}},
      {"never opened, time limit", [] {}, 1, 10000, 3, {}},
      // Killed after the wait: status 128 + SIGKILL, on both systems.
      {"never opened, killed", [] {}, 30, 300, 137, {}},
  };
  for (const LifetimeCase& test : cases) {
    SCOPED_TRACE(test.name);
    PhoneSimulatorSetup setup;
    setup.profile = "classic";
    setup.port = kPort;
    setup.maxSeconds = test.maxSeconds;
    CPhoneSimulatorProcess simulator(setup);
    ASSERT_TRUE(simulator.IsReady()) << simulator.Failure();
    test.client();
    EXPECT_EQ(simulator.Finish(test.finishWaitMs), test.status == 0) << simulator.Failure();
    EXPECT_EQ(simulator.ExitStatus(), test.status);
    EXPECT_EQ(simulator.ReceivedCommands(), test.commands);
    // Saved on every end but a kill.
    EXPECT_EQ(simulator.SavedState().empty(), test.status == 137);
  }
}

}  // namespace
