#include "platform/clock.h"

#include "platform/system_time_range.h"
#include "platform/win32/windows_api.h"

namespace Platform {
namespace {

SYSTEMTIME ToWindows(const SystemTime& time) {
  return SYSTEMTIME{time.year, time.month,  time.dayOfWeek, time.day,
                    time.hour, time.minute, time.second,    time.milliseconds};
}

SystemTime FromWindows(const SYSTEMTIME& time) {
  return SystemTime{time.wYear, time.wMonth,  time.wDayOfWeek, time.wDay,
                    time.wHour, time.wMinute, time.wSecond,    time.wMilliseconds};
}

FILETIME ToWindows(FileTime fileTime) {
  return FILETIME{static_cast<DWORD>(fileTime & 0xFFFFFFFF), static_cast<DWORD>(fileTime >> 32)};
}

FileTime FromWindows(const FILETIME& fileTime) {
  return static_cast<FileTime>(fileTime.dwHighDateTime) << 32 | fileTime.dwLowDateTime;
}

}  // namespace

SystemTime LocalTime() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return FromWindows(now);
}

// The zone tells which of its two biases is in force now; a zone without daylight saving
// says neither, and its bias stands alone.
bool CurrentTimeZoneBias(int32_t& biasMinutes) {
  TIME_ZONE_INFORMATION zone{};
  const DWORD inForce = GetTimeZoneInformation(&zone);
  if (inForce == TIME_ZONE_ID_INVALID) return false;
  biasMinutes = zone.Bias;
  if (inForce == TIME_ZONE_ID_STANDARD) biasMinutes += zone.StandardBias;
  if (inForce == TIME_ZONE_ID_DAYLIGHT) biasMinutes += zone.DaylightBias;
  return true;
}

bool SystemTimeToFileTime(const SystemTime& time, FileTime& fileTime) {
  if (!IsValidSystemTime(time)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  const SYSTEMTIME input = ToWindows(time);
  FILETIME output{};
  if (!::SystemTimeToFileTime(&input, &output)) return false;
  fileTime = FromWindows(output);
  return true;
}

bool FileTimeToSystemTime(FileTime fileTime, SystemTime& time) {
  const FILETIME input = ToWindows(fileTime);
  SYSTEMTIME output{};
  if (!::FileTimeToSystemTime(&input, &output)) return false;
  time = FromWindows(output);
  return true;
}

bool FileTimeToLocalFileTime(FileTime utc, FileTime& local) {
  const FILETIME input = ToWindows(utc);
  FILETIME output{};
  if (!::FileTimeToLocalFileTime(&input, &output)) return false;
  local = FromWindows(output);
  return true;
}

void SleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace Platform
