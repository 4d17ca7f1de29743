#include <cstdlib>
#include <string>

#include "clock_zone.h"

// The phone's clock under Wine, whose Windows zone is the one of the Unix TZ that the process
// starts with: CMakeLists.txt runs this test once for each zone below, started in it.
namespace EndToEnd {
namespace {

struct ZoneCase {
  const char* tz;
  const char* zone;
};

// Wine takes daylight saving from the changes it finds within the calendar year, and always
// as one hour. The rules "J1/0,J365/24" change within the year east of UTC as well as west,
// and Wine has daylight saving in force all year but for a few hours at the year's turn.
// (Daylight saving all year, as "0/0,365/25" gives it, shows under Wine as none at all east
// of UTC.)
const ZoneCase kZones[] = {
    {"<+0530>-5:30", "+22"},
    {"Asia/Kathmandu", "+23"},
    {"<+01>-1<+02>,J1/0,J365/24", "+08"},
    {"<-05>5<-04>,J1/0,J365/24", "-16"},
};

TEST_F(ClockZoneTest, ReachesThePhoneInTheZoneStartedIn) {
  const char* tz = std::getenv("TZ");
  ASSERT_NE(tz, nullptr) << "to be started with TZ set to one of the zones";
  for (const ZoneCase& entry : kZones) {
    if (tz != std::string(entry.tz)) continue;
    EXPECT_EQ(ZoneSent(), entry.zone) << tz;
    return;
  }
  FAIL() << "no zone known for TZ=" << tz;
}

}  // namespace
}  // namespace EndToEnd
