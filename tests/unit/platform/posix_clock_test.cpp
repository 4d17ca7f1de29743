#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "scoped_environment.h"

namespace Platform {
namespace {

constexpr int64_t kTicksPerMinute = 600'000'000;

struct ZoneCase {
  const char* zone;  // a POSIX TZ rule, so no zone files are needed
  int32_t standardBias;
  std::optional<int32_t> currentBias;  // known when the zone has no daylight saving
};

TEST(TimeZone, BiasesFollowTheZone) {
  const ZoneCase cases[] = {
      {"UTC0", 0, 0},
      {"<+03>-3", -180, -180},
      {"<-0530>5:30", 330, 330},
      {"EST5EDT,M3.2.0,M11.1.0", 300, std::nullopt},
  };
  constexpr FileTime kUtc = 133'801'631'990'000'000;
  for (const ZoneCase& entry : cases) {
    const CScopedEnvironment zone("TZ", entry.zone);
    int32_t bias = 1;
    ASSERT_TRUE(StandardTimeZoneBias(bias));
    EXPECT_EQ(bias, entry.standardBias) << entry.zone;
    FileTime local = 0;
    ASSERT_TRUE(FileTimeToLocalFileTime(kUtc, local));
    if (entry.currentBias) {
      EXPECT_EQ(static_cast<int64_t>(local - kUtc), -*entry.currentBias * kTicksPerMinute)
          << entry.zone;
    }
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
