#include "platform/clock.h"

#include <time.h>

#include <cerrno>
#include <cstdint>
#include <limits>

#include "platform/error.h"
#include "platform/posix/posix_backend.h"
#include "platform/system_time_range.h"

namespace Platform {
namespace {

constexpr int64_t kTicksPerMillisecond = 10'000;
constexpr int64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kMillisecondsPerDay = 86'400'000;
constexpr int64_t kTicksPerDay = kMillisecondsPerDay * kTicksPerMillisecond;
constexpr int64_t kNanosecondsPerMillisecond = 1'000'000;
constexpr uint64_t kLastFileTime = std::numeric_limits<int64_t>::max();
constexpr int kMonday = 1;  // 1601-01-01

// Days since 1601-01-01 by the proleptic Gregorian calendar, counted from March so that the
// leap day ends the year (H. Hinnant's days_from_civil, shifted to the Windows epoch).
int64_t DaysSinceEpoch(int year, int month, int day) {
  const int64_t marchYear = year - (month <= 2 ? 1 : 0) - kFirstSystemYear + 1;  // from 1600-03-01
  const int64_t era = marchYear / 400;
  const int64_t yearOfEra = marchYear - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  constexpr int64_t kMarchToJanuary = 306;  // 1600-03-01 to 1601-01-01
  return era * 146'097 + dayOfEra - kMarchToJanuary;
}

void DateFromDays(int64_t days, SystemTime& time) {
  const int64_t fromMarch = days + 306;  // days since 1600-03-01
  const int64_t era = fromMarch / 146'097;
  const int64_t dayOfEra = fromMarch - era * 146'097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  time.year = static_cast<uint16_t>(1600 + era * 400 + yearOfEra + (month <= 2 ? 1 : 0));
  time.month = static_cast<uint16_t>(month);
  time.day = static_cast<uint16_t>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  time.dayOfWeek = static_cast<uint16_t>((days + kMonday) % 7);
}

}  // namespace

SystemTime LocalTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tzset();  // localtime_r alone does not notice a changed TZ
  tm local{};
  localtime_r(&now.tv_sec, &local);
  SystemTime time;
  time.year = static_cast<uint16_t>(local.tm_year + 1900);
  time.month = static_cast<uint16_t>(local.tm_mon + 1);
  time.dayOfWeek = static_cast<uint16_t>(local.tm_wday);
  time.day = static_cast<uint16_t>(local.tm_mday);
  time.hour = static_cast<uint16_t>(local.tm_hour);
  time.minute = static_cast<uint16_t>(local.tm_min);
  time.second = static_cast<uint16_t>(local.tm_sec);
  time.milliseconds = static_cast<uint16_t>(now.tv_nsec / kNanosecondsPerMillisecond);
  return time;
}

bool CurrentTimeZoneBias(int32_t& biasMinutes) {
  const time_t now = time(nullptr);
  tzset();
  tm parts{};
  if (localtime_r(&now, &parts) == nullptr) return Posix::FailWithErrno();
  biasMinutes = static_cast<int32_t>(-parts.tm_gmtoff / 60);
  return true;
}

bool SystemTimeToFileTime(const SystemTime& time, FileTime& fileTime) {
  if (!IsValidSystemTime(time)) return Posix::Fail(kErrorInvalidParameter);
  const int64_t days = DaysSinceEpoch(time.year, time.month, time.day);
  const int64_t seconds = ((days * 24 + time.hour) * 60 + time.minute) * 60 + time.second;
  fileTime =
      static_cast<FileTime>(seconds * kTicksPerSecond + time.milliseconds * kTicksPerMillisecond);
  return true;
}

bool FileTimeToSystemTime(FileTime fileTime, SystemTime& time) {
  if (fileTime > kLastFileTime) return Posix::Fail(kErrorInvalidParameter);
  const auto ticks = static_cast<int64_t>(fileTime);
  DateFromDays(ticks / kTicksPerDay, time);
  const int64_t milliseconds = ticks % kTicksPerDay / kTicksPerMillisecond;
  time.hour = static_cast<uint16_t>(milliseconds / 3'600'000);
  time.minute = static_cast<uint16_t>(milliseconds / 60'000 % 60);
  time.second = static_cast<uint16_t>(milliseconds / 1000 % 60);
  time.milliseconds = static_cast<uint16_t>(milliseconds % 1000);
  return true;
}

bool FileTimeToLocalFileTime(FileTime utc, FileTime& local) {
  const time_t now = time(nullptr);
  tzset();
  tm parts{};
  if (localtime_r(&now, &parts) == nullptr) return Posix::FailWithErrno();
  const int64_t offset = static_cast<int64_t>(parts.tm_gmtoff) * kTicksPerSecond;
  if (utc > kLastFileTime || (offset < 0 && static_cast<int64_t>(utc) < -offset) ||
      (offset > 0 && static_cast<int64_t>(kLastFileTime - utc) < offset)) {
    return Posix::Fail(kErrorInvalidParameter);
  }
  local = static_cast<FileTime>(static_cast<int64_t>(utc) + offset);
  return true;
}

void SleepMilliseconds(uint32_t milliseconds) {
  timespec left{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * kNanosecondsPerMillisecond};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace Platform
