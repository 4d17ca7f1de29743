#include <fstream>
#include <sstream>
#include <string>

#include "scoped_environment.h"
#include "open_phone_fixture.h"

// The phone's clock in zones chosen through TZ, which the POSIX build reads on every call.
namespace EndToEnd {
namespace {

struct ZoneCase {
  const char* tz;
  const char* zone;
};

void PrintTo(const ZoneCase& c, std::ostream* out) { *out << c.tz; }

class ClockZone : public OpenPhone, public testing::WithParamInterface<ZoneCase> {};

TEST_P(ClockZone, ReachesThePhoneInQuarterHours) {
  CScopedEnvironment tz("TZ", GetParam().tz);
  Load();
  PhoneSimulatorSetup setup = Phone("classic");
  std::ifstream state(std::string(ZANTEL_TEST_DATA_DIR) + "/phonesim/classic.json");
  std::stringstream text;
  text << state.rdbuf();
  setup.stateJson = text.str();
  StartPhone(setup);
  ASSERT_TRUE(m_host.Open(OPEN_DISKMENU, 0));
  m_host.Activate(Host::EPanel::Plugin);
  m_host.AnswerMenu("Functions").Choose(3);
  m_host.AnswerMessage(0);
  m_host.AnswerMenu("Functions").Escape();
  m_host.PressKey(kVkF2);

  const Commands commands = FinishPhone();
  ASSERT_FALSE(commands.empty());
  const std::string& sent = commands.back();
  ASSERT_EQ(sent.size(), 30u) << sent;  // AT+CCLK="yy/MM/dd,hh:mm:ss+zz"
  EXPECT_EQ(sent.substr(0, 9), "AT+CCLK=\"");
  EXPECT_EQ(sent.substr(26), std::string(GetParam().zone) + "\"");
}

// POSIX names the offset west of UTC: "IST-5:30" is UTC+5:30. The rules ",0/0,365/25" keep
// daylight saving in force all year, so that it is in force whenever the test runs.
INSTANTIATE_TEST_SUITE_P(Zones, ClockZone,
                         testing::Values(ZoneCase{"CET-1", "+04"}, ZoneCase{"EST5", "-20"},
                                         ZoneCase{"IST-5:30", "+22"}, ZoneCase{"NPT-5:45", "+23"},
                                         ZoneCase{"LINT-14", "+56"}, ZoneCase{"UTC0", "+00"},
                                         ZoneCase{"NST3:30", "-14"},
                                         ZoneCase{"CET-1CEST,0/0,365/25", "+08"},
                                         ZoneCase{"EST5EDT,0/0,365/25", "-16"},
                                         ZoneCase{"<+1245>-12:45<+1345>,0/0,365/25", "+55"},
                                         ZoneCase{"<-0930>9:30", "-38"}));

}  // namespace
}  // namespace EndToEnd
