#pragma once
#include <cstdint>

namespace Platform {

// The Win32 SYSTEMTIME fields, in their order.
struct SystemTime {
  uint16_t year = 0;
  uint16_t month = 0;      // 1 to 12
  uint16_t dayOfWeek = 0;  // 0 Sunday
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;
};

// 100-nanosecond intervals since 1601-01-01 00:00 UTC (a Win32 FILETIME as one number).
using FileTime = uint64_t;

SystemTime LocalTime();

// The zone's bias in force now, in minutes: UTC minus local time, daylight saving included
// while it is in force. False when the system cannot tell its time zone.
bool CurrentTimeZoneBias(int32_t& biasMinutes);

// False for fields out of range (month 13, day 32, ...) or years before 1601 / after 30827.
bool SystemTimeToFileTime(const SystemTime& time, FileTime& fileTime);
bool FileTimeToSystemTime(FileTime fileTime, SystemTime& time);
// Shifts by the zone's current bias (daylight saving included when it is in force now).
bool FileTimeToLocalFileTime(FileTime utc, FileTime& local);

void SleepMilliseconds(uint32_t milliseconds);

}  // namespace Platform
