#include "platform/clock.h"

#include "platform/win32/windows_api.h"

namespace Platform {
namespace {

constexpr uint16_t kFirstYear = 1601;
constexpr uint16_t kLastYear = 30827;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// What Windows refuses. Checked here because Wine lets some through (February 29 of any year,
// years past 30827) and would convert them to a different day.
bool ValidTime(const SystemTime& time) {
  return time.year >= kFirstYear && time.year <= kLastYear && time.month >= 1 &&
         time.month <= 12 && time.day >= 1 && time.day <= DaysInMonth(time.year, time.month) &&
         time.hour < 24 && time.minute < 60 && time.second < 60 && time.milliseconds < 1000;
}

SYSTEMTIME ToWindows(const SystemTime& time) {
  return SYSTEMTIME{time.year,   time.month,  time.dayOfWeek, time.day,
                    time.hour,   time.minute, time.second,    time.milliseconds};
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

bool StandardTimeZoneBias(int32_t& biasMinutes) {
  TIME_ZONE_INFORMATION zone{};
  if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return false;
  biasMinutes = zone.Bias + zone.StandardBias;
  return true;
}

bool SystemTimeToFileTime(const SystemTime& time, FileTime& fileTime) {
  if (!ValidTime(time)) {
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
