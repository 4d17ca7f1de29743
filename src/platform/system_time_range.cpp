#include "platform/system_time_range.h"

namespace Platform {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool IsValidSystemTime(const SystemTime& time) {
  return time.year >= kFirstSystemYear && time.year <= kLastSystemYear && time.month >= 1 &&
         time.month <= 12 && time.day >= 1 && time.day <= DaysInMonth(time.year, time.month) &&
         time.hour < 24 && time.minute < 60 && time.second < 60 && time.milliseconds < 1000;
}

}  // namespace Platform
