#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/clock.h"
#include "scoped_environment.h"

namespace Platform {
namespace {

constexpr int64_t kTicksPerMinute = 600'000'000;

struct ZoneCase {
  const char* zone;  // a POSIX TZ rule, so no zone files are needed
  int32_t bias;      // in force now
};

// Daylight saving counts while it is in force: the rules ",0/0,365/25" keep it so all year.
TEST(TimeZone, BiasesFollowTheZone) {
  const ZoneCase cases[] = {
      {"UTC0", 0},
      {"<+01>-1", -60},
      {"<+01>-1<+02>,0/0,365/25", -120},
      {"<-05>5", 300},
      {"<-05>5<-04>,0/0,365/25", 240},
      {"<+0530>-5:30", -330},
      {"<+1245>-12:45<+1345>,0/0,365/25", -825},
      {"<-0930>9:30", 570},
  };
  constexpr FileTime kUtc = 133'801'631'990'000'000;
  for (const ZoneCase& entry : cases) {
    const CScopedEnvironment zone("TZ", entry.zone);
    int32_t bias = 1;
    ASSERT_TRUE(CurrentTimeZoneBias(bias));
    EXPECT_EQ(bias, entry.bias) << entry.zone;
    FileTime local = 0;
    ASSERT_TRUE(FileTimeToLocalFileTime(kUtc, local));
    EXPECT_EQ(static_cast<int64_t>(local - kUtc), -entry.bias * kTicksPerMinute) << entry.zone;
  }
}

TEST(TimeZone, LocalTimeInUtcIsTheSystemClock) {
  const CScopedEnvironment zone("TZ", "UTC0");
  const SystemTime now = LocalTime();
  FileTime fileTime = 0;
  ASSERT_TRUE(SystemTimeToFileTime(now, fileTime));
  constexpr int64_t kUnixEpoch = 116'444'736'000'000'000;
  const auto sinceUnixEpoch = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  const int64_t clock = sinceUnixEpoch.count() * 10 + kUnixEpoch;
  EXPECT_NEAR(static_cast<double>(clock - static_cast<int64_t>(fileTime)), 0.0, 2e7);
}

}  // namespace
}  // namespace Platform
