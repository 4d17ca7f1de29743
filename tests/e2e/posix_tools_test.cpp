#include "clock_zone.h"
#include "scoped_environment.h"

// The phone's clock in zones chosen through TZ, which the POSIX build reads on every call.
namespace EndToEnd {
namespace {

struct ZoneCase {
  const char* tz;
  const char* zone;
};

void PrintTo(const ZoneCase& c, std::ostream* out) { *out << c.tz; }

class ClockZone : public ClockZoneTest, public testing::WithParamInterface<ZoneCase> {};

TEST_P(ClockZone, ReachesThePhoneInQuarterHours) {
  CScopedEnvironment tz("TZ", GetParam().tz);
  EXPECT_EQ(ZoneSent(), GetParam().zone);
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
