// Dates, times and addresses as the mailer log writes them: the day number and
// time of a log line, the report period filter and the numeric address order.
// Shared by the parser, the log cut and the period macros.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "console/run_calendar.h"
#include "support/calendar.h"

namespace zentrak {

/// The window of lines the parser keeps: day numbers and times, both bounds inclusive.
struct LogPeriod {
  int32_t firstDay = 0;
  int32_t lastDay = 0;
  int32_t startTime = 0;
  int32_t endTime = 0;
};

/// Day of the year of `day`.`month`, with the leap day of `year` from March on.
int32_t DayOfYear(int32_t day, int32_t month, int32_t year);

/// A day of month and a month 1..12.
struct LineDate {
  int32_t day = 0;
  int32_t month = 0;
};

namespace log_dates_detail {
/// Month 1..12 of three bytes such as "Dec"; 0 for none. The second and third
/// letters tell the twelve names apart, so they pick the one name to compare.
inline int32_t MonthOfAbbreviation(const char* text) {
  constexpr const char* kNames = "JanFebMarAprMayJunJulAugSepOctNovDec";
  static constexpr auto kByLetters = [] {
    std::array<uint8_t, 1024> table{};
    for (int m = 0; m < 12; ++m)
      table[(kNames[3 * m + 1] & 31) * 32 + (kNames[3 * m + 2] & 31)] = m + 1;
    return table;
  }();
  int32_t month = kByLetters[(text[1] & 31) * 32 + (text[2] & 31)];
  if (month == 0) return 0;
  const char* name = kNames + 3 * (month - 1);
  return (name[0] == text[0] && name[1] == text[1] && name[2] == text[2]) ? month : 0;
}
/// LineDayAndMonth for any layout of columns 3-10.
std::optional<LineDate> AnyLayoutDayAndMonth(std::string_view line);
}  // namespace log_dates_detail

/// Month 1..12 and day of month of a log line, from its columns 3-10; nothing
/// when those columns hold no month abbreviation or no day 1..31. Inline: the
/// parser calls it for every line of logs that run to gigabytes.
inline std::optional<LineDate> LineDayAndMonth(std::string_view line) {
  // The usual layout "DD Mon h": only the window at column 6 can hold a month.
  if (line.size() >= 10) {
    const char* s = line.data() + 2;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (digit(s[0]) && digit(s[1]) && s[2] == ' ' && s[6] == ' ' && digit(s[7])) {
      int32_t month = log_dates_detail::MonthOfAbbreviation(s + 3);
      int32_t day = (s[0] - '0') * 10 + (s[1] - '0');
      if (month == 0 || day < 1 || day > 31) return std::nullopt;
      return LineDate{day, month};
    }
  }
  return log_dates_detail::AnyLayoutDayAndMonth(line);
}

/// Day of the year of `day`.`month`, with the leap day of `year` from March on.
inline int32_t DayOfYearInline(int32_t day, int32_t month, int32_t year) {
  static constexpr int32_t kMonthStarts[12] = {0,   31,  59,  90,  120, 151,
                                               181, 212, 243, 273, 304, 334};
  if (month < 1 || month > 12) return day;
  return day + kMonthStarts[month - 1] + ((year % 4 == 0 && month >= 3) ? 1 : 0);
}

/// Days in `year`: 366 in every year divisible by 4.
inline int32_t YearLength(int32_t year) { return year % 4 == 0 ? 366 : 365; }

/// Day number of `day`.`month` seen from `calendar`: the day of the year in this
/// year, or, for a month after the current one, the day of the year in last year
/// (with last year's leap day) minus last year's length, so that 31 December of
/// last year is always 0 and the days run on without a gap into this year.
inline int32_t DayNumberOf(int32_t day, int32_t month, const RunCalendar& calendar) {
  if (month <= calendar.currentMonth) return DayOfYearInline(day, month, calendar.currentYear);
  int32_t lastYear = calendar.currentYear - 1;
  return DayOfYearInline(day, month, lastYear) - YearLength(lastYear);
}

/// Day number of a log line (DayNumberOf its date); nothing when the line has no valid date.
inline std::optional<int32_t> LineDayNumber(std::string_view line, const RunCalendar& calendar) {
  std::optional<LineDate> date = LineDayAndMonth(line);
  if (!date) return std::nullopt;
  return DayNumberOf(date->day, date->month, calendar);
}

/// Seconds since midnight of the "hh:mm:ss" field in columns 10-17; -1 when it is malformed.
inline int32_t LineTime(std::string_view line) {
  if (line.size() < 17) return -1;
  const unsigned char* t = reinterpret_cast<const unsigned char*>(line.data()) + 9;
  unsigned h1 = t[0] - '0', h2 = t[1] - '0', m1 = t[3] - '0', m2 = t[4] - '0';
  unsigned s1 = t[6] - '0', s2 = t[7] - '0';
  if (h1 > 9 || h2 > 9 || m1 > 9 || m2 > 9 || s1 > 9 || s2 > 9) return -1;
  if (t[2] != ':' || t[5] != ':') return -1;
  unsigned hours = h1 * 10 + h2, minutes = m1 * 10 + m2, seconds = s1 * 10 + s2;
  if (hours > 23 || minutes > 59 || seconds > 59) return -1;
  return static_cast<int32_t>(hours * 3600 + minutes * 60 + seconds);
}

/// The date of a log line: its day and month, in this year or, for a month after
/// the current one, in last year; nothing without a valid date.
std::optional<CalendarDate> LineCalendarDate(std::string_view line, const RunCalendar& calendar);

/// The last-call date key of a date: year * 365 + month * 31 + day.
inline int32_t DateKeyOf(const CalendarDate& date) {
  return date.year * 365 + date.month * 31 + date.day;
}

/// Date key of a line; nothing without a valid date.
std::optional<int32_t> LineDateKey(std::string_view line, const RunCalendar& calendar);

/// The run's today as a date.
inline CalendarDate DateOf(const RunCalendar& calendar) {
  return CalendarDate{calendar.currentDay, calendar.currentMonth, calendar.currentYear};
}

/// Reads a last-call date key back into a date. 25-31 December of one year and
/// 1-7 January of the next share their keys; the January reading wins unless it
/// lies after `today`.
CalendarDate DecodeDateKey(int32_t key, CalendarDate today);

/// A number that grows with the date (a year counts 372 so that no month of one
/// year reaches into the next): date keys do not order across the new year, so
/// records are compared by this number of the date their key stands for.
inline int64_t DateOrder(const CalendarDate& date) {
  return int64_t{date.year} * 372 + date.month * 31 + date.day;
}

/// True when a non-empty line's date and time lie inside the period.
bool InPeriod(std::string_view line, const LogPeriod& period, const RunCalendar& calendar);

/// The day `daysBack` days before `today`, held inside int32_t: a window or
/// cut age of billions of days reads as the farthest day there is.
int32_t DaysBefore(int32_t today, int32_t daysBack);

/// The period of a time window counted back from today.
LogPeriod PeriodOf(int32_t startDaysBack, int32_t startTime, int32_t endDaysBack, int32_t endTime,
                   const RunCalendar& calendar);

/// zone, net, node, point of an address text; missing or non-numeric parts are 0,
/// numbers saturate instead of overflowing.
using AddressKey = std::array<int64_t, 4>;
AddressKey AddressKeyOf(std::string_view address);

/// -1, 0 or 1 in numeric address order (zone, net, node, point; no point = 0).
int CompareAddresses(std::string_view a, std::string_view b);

/// The four 16-bit parts of a well-formed address "z:n/f" or "z:n/f.p" (an "@domain"
/// tail is ignored); nothing when a part is missing, not a number or above 65535.
std::optional<std::array<uint16_t, 4>> AddressParts16(std::string_view address);

}  // namespace zentrak
