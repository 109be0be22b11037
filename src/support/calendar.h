// The calendar facts the whole program shares: a date, the month names as logs,
// the console and the reports write them, and the length of a day.
#pragma once

#include <cstdint>

namespace zentrak {

/// Seconds in a day; a time of day runs from 0 up to this (24:00 ends a day).
inline constexpr int32_t kSecondsPerDay = 86400;

/// A calendar date.
struct CalendarDate {
  int32_t day = 0;
  int32_t month = 0;
  int32_t year = 0;
};

/// Month abbreviations, index 1..12 (index 0 is empty).
inline constexpr const char* kMonthNames[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace zentrak
