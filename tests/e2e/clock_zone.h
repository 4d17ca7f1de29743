#pragma once
#include <fstream>
#include <sstream>
#include <string>

#include "open_phone_fixture.h"

// The phone's clock set through the Functions menu, for the tests of the zone it is sent with.
namespace EndToEnd {

class ClockZoneTest : public OpenPhone {
 protected:
  // The zone of the clock command that reached the phone: "+zz" or "-zz" in quarter hours.
  std::string ZoneSent() {
    Load();
    PhoneSimulatorSetup setup = Phone("classic");
    std::ifstream state(std::string(ZANTEL_TEST_DATA_DIR) + "/phonesim/classic.json");
    std::stringstream text;
    text << state.rdbuf();
    setup.stateJson = text.str();
    StartPhone(setup);
    EXPECT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
    m_host.Activate(Host::EPanel::Plugin);
    m_host.AnswerMenu("Functions").Choose(3);
    m_host.AnswerMessage(0);
    m_host.AnswerMenu("Functions").Escape();
    m_host.PressKey(kVkF2);

    const Commands commands = FinishPhone();
    if (commands.empty()) return "nothing sent";
    const std::string& sent = commands.back();
    // AT+CCLK="yy/MM/dd,hh:mm:ss+zz"
    if (sent.size() != 30u || sent.compare(0, 9, "AT+CCLK=\"") != 0 || sent.back() != '"') {
      return sent;
    }
    return sent.substr(26, 3);
  }
};

}  // namespace EndToEnd
