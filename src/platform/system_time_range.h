#pragma once
#include <cstdint>

#include "platform/clock.h"

// The dates and times Windows takes in a SYSTEMTIME, shared by the backends so that both refuse
// the same ones. Checked before Windows sees them too: Wine lets some through (February 29 of
// any year, years past 30827) and converts them to a different day.
namespace Platform {

constexpr uint16_t kFirstSystemYear = 1601;
constexpr uint16_t kLastSystemYear = 30827;

bool IsValidSystemTime(const SystemTime& time);

}  // namespace Platform
