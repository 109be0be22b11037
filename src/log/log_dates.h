// Dates, times and addresses as the mailer log writes them: the day number and
// time of a log line, the report period filter and the numeric address order.
// Shared by the parser, the log cut and the period macros.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zentrak {

/// The date the run takes as "today"; a line's year follows from it.
struct LogCalendar {
  int32_t currentYear = 1970;
  int32_t currentMonth = 1;
  int32_t currentDay = 1;
};

/// The window of lines the parser keeps: day numbers and times, both bounds inclusive.
struct LogPeriod {
  int32_t firstDay = 0;
  int32_t lastDay = 0;
  int32_t startTime = 0;
  int32_t endTime = 0;
};

/// Day of the year of `day`.`month`, with the leap day of `year` from March on.
int32_t DayOfYear(int32_t day, int32_t month, int32_t year);

/// Month 1..12 and day of month of a log line, from its columns 3-10; nothing
/// when those columns hold no month abbreviation or no day 1..31.
struct LineDate {
  int32_t day = 0;
  int32_t month = 0;
};
std::optional<LineDate> LineDayAndMonth(std::string_view line);

/// Day number of a log line (months after the current month lie 365 days back);
/// nothing when the line has no valid date.
std::optional<int32_t> LineDayNumber(std::string_view line, const LogCalendar& calendar);

/// Seconds since midnight of the "hh:mm:ss" field in columns 10-17; -1 when it is malformed.
int32_t LineTime(std::string_view line);

/// Sortable date key of a line: year * 365 + month * 31 + day; nothing without a valid date.
std::optional<int32_t> LineDateKey(std::string_view line, const LogCalendar& calendar);

/// True when a non-empty line's date and time lie inside the period.
bool InPeriod(std::string_view line, const LogPeriod& period, const LogCalendar& calendar);

/// The period of a time window counted back from today.
LogPeriod PeriodOf(int32_t startDaysBack, int32_t startTime, int32_t endDaysBack, int32_t endTime,
                   const LogCalendar& calendar);

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
