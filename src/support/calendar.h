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

/// Days since 1970-01-01 of a proleptic Gregorian date.
inline int64_t DaysFromCivil(const CalendarDate& date) {
  int64_t y = date.year - (date.month <= 2 ? 1 : 0);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t mp = (date.month + 9) % 12;
  int64_t doy = (153 * mp + 2) / 5 + date.day - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

/// The date `days` after 1970-01-01.
inline CalendarDate CivilFromDays(int64_t days) {
  int64_t z = days + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  CalendarDate date;
  date.day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  date.month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  date.year = static_cast<int32_t>(yoe + era * 400 + (date.month <= 2 ? 1 : 0));
  return date;
}

/// Month abbreviations, index 1..12 (index 0 is empty).
inline constexpr const char* kMonthNames[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace zentrak
