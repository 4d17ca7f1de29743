#include <gtest/gtest.h>

#include "plugin/opening.h"
#include "settings/settings.h"

namespace Plugin {
namespace {

TEST(PortDescription, NamesRateFrameAndFlowControl) {
  struct Case {
    uint32_t rate;
    uint8_t dataBits, parity, stopBits;
    bool hw, sw;
    const char* text;
  };
  const Case cases[] = {
      {115200, 8, 0, 0, true, false, "115200, 8N1 HW"},
      {9600, 7, 2, 2, false, true, "9600, 7E2 SW"},
      {2400, 5, 1, 1, true, true, "2400, 5O1.5 HW SW"},
      {256000, 8, 3, 0, false, false, "256000, 8M1"},
      {19200, 8, 4, 0, false, false, "19200, 8S1"},
  };
  for (const Case& c : cases) {
    PortSettings port;
    port.Port = 3;
    port.BaudRate = c.rate;
    port.DataBits = c.dataBits;
    port.Parity = c.parity;
    port.StopBits = c.stopBits;
    port.HwCtl = c.hw;
    port.SwCtl = c.sw;
    EXPECT_EQ(PortDescription(port), c.text);
  }
}

}  // namespace
}  // namespace Plugin
