#include "platform/clock.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace Platform {
namespace {

SystemTime Time(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 0, uint16_t minute = 0,
                uint16_t second = 0, uint16_t milliseconds = 0) {
  SystemTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  time.milliseconds = milliseconds;
  return time;
}

bool operator==(const SystemTime& a, const SystemTime& b) {
  return a.year == b.year && a.month == b.month && a.dayOfWeek == b.dayOfWeek && a.day == b.day &&
         a.hour == b.hour && a.minute == b.minute && a.second == b.second &&
         a.milliseconds == b.milliseconds;
}

struct CalendarCase {
  SystemTime time;
  uint16_t dayOfWeek;
  FileTime fileTime;
};

TEST(Calendar, ConvertsBothWays) {
  const CalendarCase cases[] = {
      {Time(1601, 1, 1), 1, 0},
      {Time(1900, 3, 1), 4, 94405824000000000},
      {Time(1970, 1, 1), 4, 116444736000000000},
      {Time(2000, 2, 29, 12, 34, 56, 789), 2, 125963012967890000},
      {Time(2024, 12, 31, 23, 59, 59), 2, 133801631990000000},
      {Time(30827, 12, 31, 23, 59, 59, 999), 5, 9223149887999990000u},
  };
  for (const CalendarCase& entry : cases) {
    SystemTime input = entry.time;
    input.dayOfWeek = 6;  // ignored on input
    FileTime fileTime = 0;
    ASSERT_TRUE(SystemTimeToFileTime(input, fileTime)) << entry.fileTime;
    EXPECT_EQ(fileTime, entry.fileTime);
    SystemTime expected = entry.time;
    expected.dayOfWeek = entry.dayOfWeek;
    SystemTime output;
    ASSERT_TRUE(FileTimeToSystemTime(entry.fileTime, output));
    EXPECT_TRUE(output == expected) << entry.fileTime;
  }
}

TEST(Calendar, RefusesFieldsOutOfRange) {
  const SystemTime cases[] = {
      Time(1600, 12, 31),
      Time(30828, 1, 1),
      Time(2020, 0, 1),
      Time(2020, 13, 1),
      Time(2020, 1, 0),
      Time(2020, 1, 32),
      Time(1900, 2, 29),
      Time(2001, 2, 29),
      Time(2000, 4, 31),
      Time(2000, 1, 1, 24),
      Time(2000, 1, 1, 0, 60),
      Time(2000, 1, 1, 0, 0, 60),
      Time(2000, 1, 1, 0, 0, 0, 1000),
  };
  for (const SystemTime& time : cases) {
    FileTime fileTime = 0;
    SetLastError(kErrorSuccess);
    EXPECT_FALSE(SystemTimeToFileTime(time, fileTime))
        << time.year << "-" << time.month << "-" << time.day;
    EXPECT_EQ(LastError(), kErrorInvalidParameter);
  }
  SystemTime time;
  EXPECT_FALSE(FileTimeToSystemTime(0x8000000000000000u, time));
}

TEST(Calendar, RoundTripsAcrossTheCenturies) {
  constexpr FileTime kStep = 3'155'760'000'000'007 / 10'000 * 10'000 + 10'000;  // ~10 years
  for (FileTime fileTime = 0; fileTime < 9'200'000'000'000'000'000u; fileTime += kStep) {
    SystemTime time;
    ASSERT_TRUE(FileTimeToSystemTime(fileTime, time)) << fileTime;
    FileTime back = 0;
    ASSERT_TRUE(SystemTimeToFileTime(time, back)) << fileTime;
    EXPECT_EQ(back, fileTime);
  }
}

}  // namespace
}  // namespace Platform
