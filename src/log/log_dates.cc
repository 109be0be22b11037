// Date columns are read with digit arithmetic: the parser calls these on every
// line of logs that run to gigabytes.
#include "log/log_dates.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "support/calendar.h"

namespace zentrak {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The first abbreviation in calendar order found anywhere in the stretch. In the
// usual layout only the window at offset 3 holds three letters, so it alone decides.
int32_t MonthOfStretch(std::string_view stretch) {
  if (stretch.size() == 8 && !IsLetter(stretch[2]) && !IsLetter(stretch[6]) &&
      !IsLetter(stretch[1]) && !IsLetter(stretch[7])) {
    return log_dates_detail::MonthOfAbbreviation(stretch.data() + 3);
  }
  for (int32_t month = 1; month <= 12; ++month) {
    if (stretch.find(kMonthNames[month]) != std::string_view::npos) return month;
  }
  return 0;
}

// The number before the first blank of the stretch; leading blanks are skipped
// so that a day written " 7" still reads as 7.
int32_t DayOfStretch(std::string_view stretch) {
  size_t i = 0;
  while (i < stretch.size() && stretch[i] == ' ') ++i;
  int32_t day = 0;
  size_t digits = 0;
  for (; i < stretch.size() && IsDigit(stretch[i]) && digits < 3; ++i, ++digits) {
    day = day * 10 + (stretch[i] - '0');
  }
  if (digits == 0 || digits > 2 || (i < stretch.size() && stretch[i] != ' ')) return 0;
  return day;
}

int64_t Saturated(int64_t value, int digit) {
  constexpr int64_t kLimit = INT64_MAX / 10 - 10;
  return value > kLimit ? kLimit : value * 10 + digit;
}

}  // namespace

int32_t DayOfYear(int32_t day, int32_t month, int32_t year) {
  return DayOfYearInline(day, month, year);
}

std::optional<LineDate> log_dates_detail::AnyLayoutDayAndMonth(std::string_view line) {
  if (line.size() < 4) return std::nullopt;
  std::string_view stretch = line.substr(2, 8);
  int32_t month = MonthOfStretch(stretch);
  if (month == 0) return std::nullopt;
  int32_t day = DayOfStretch(stretch);
  if (day < 1 || day > 31) return std::nullopt;
  return LineDate{day, month};
}

std::optional<CalendarDate> LineCalendarDate(std::string_view line, const RunCalendar& calendar) {
  std::optional<LineDate> date = LineDayAndMonth(line);
  if (!date) return std::nullopt;
  int32_t year = calendar.currentYear - (date->month > calendar.currentMonth ? 1 : 0);
  return CalendarDate{date->day, date->month, year};
}

std::optional<int32_t> LineDateKey(std::string_view line, const RunCalendar& calendar) {
  std::optional<CalendarDate> date = LineCalendarDate(line, calendar);
  if (!date) return std::nullopt;
  return DateKeyOf(*date);
}

CalendarDate DecodeDateKey(int32_t key, CalendarDate today) {
  // Try the readings from the latest year down: the first valid one is the
  // later date, and at most two years give a valid reading. 64 bits, because a
  // damaged record may hold any key and the years below it must not overflow.
  CalendarDate later{}, earlier{};
  int found = 0;
  int64_t top = key / 365;
  for (int64_t year = top; year >= top - 2 && found < 2; --year) {
    int64_t rest = key - year * 365;
    int64_t month = (rest - 1) / 31;
    int64_t day = rest - month * 31;
    if (rest < 1 || month < 1 || month > 12 || day < 1 || day > 31) continue;
    CalendarDate reading{static_cast<int32_t>(day), static_cast<int32_t>(month),
                         static_cast<int32_t>(year)};
    (found == 0 ? later : earlier) = reading;
    ++found;
  }
  if (found == 2 && DateOrder(later) > DateOrder(today)) return earlier;
  return later;
}

bool InPeriod(std::string_view line, const LogPeriod& period, const RunCalendar& calendar) {
  if (line.empty()) return false;
  std::optional<int32_t> day = LineDayNumber(line, calendar);
  if (!day || *day < period.firstDay || *day > period.lastDay) return false;
  int32_t time = LineTime(line);
  if (time < 0) return false;
  if (*day == period.firstDay && time < period.startTime) return false;
  if (*day == period.lastDay && time > period.endTime) return false;
  return true;
}

int32_t DaysBefore(int32_t today, int32_t daysBack) {
  int64_t day = static_cast<int64_t>(today) - daysBack;
  return static_cast<int32_t>(std::clamp<int64_t>(day, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

LogPeriod PeriodOf(int32_t startDaysBack, int32_t startTime, int32_t endDaysBack, int32_t endTime,
                   const RunCalendar& calendar) {
  int32_t today = DayOfYear(calendar.currentDay, calendar.currentMonth, calendar.currentYear);
  return LogPeriod{DaysBefore(today, startDaysBack), DaysBefore(today, endDaysBack), startTime,
                   endTime};
}

AddressKey AddressKeyOf(std::string_view address) {
  AddressKey key{0, 0, 0, 0};
  size_t part = 0;
  for (char c : address) {
    if (c == '@') break;
    if (IsDigit(c)) {
      key[part] = Saturated(key[part], c - '0');
    } else if (c == ':' && part == 0) {
      part = 1;
    } else if (c == '/' && part <= 1) {
      part = 2;
    } else if (c == '.' && part == 2) {
      part = 3;
    }
  }
  return key;
}

int CompareAddresses(std::string_view a, std::string_view b) {
  AddressKey left = AddressKeyOf(a);
  AddressKey right = AddressKeyOf(b);
  if (left < right) return -1;
  if (right < left) return 1;
  return 0;
}

std::optional<std::array<uint16_t, 4>> AddressParts16(std::string_view address) {
  // Every session line of binkd's log comes here, twice or more: one pass over
  // the bytes, each part's digits in a tight loop, the domain where '@' starts.
  static constexpr char kAfter[3] = {':', '/', '.'};
  std::array<uint16_t, 4> parts{0, 0, 0, 0};
  const char* at = address.data();
  const char* end = at + address.size();
  for (size_t part = 0;; ++part) {
    const char* start = at;
    uint32_t value = 0;  // wraps on a long run of digits, which is refused below
    for (unsigned digit; at < end && (digit = static_cast<unsigned char>(*at) - 48u) <= 9; ++at) {
      value = value * 10 + digit;
    }
    if (at == start || at - start > 5 || value > 65535) return std::nullopt;
    parts[part] = static_cast<uint16_t>(value);
    if (at == end || *at == '@') {
      if (part < 2) return std::nullopt;
      return parts;
    }
    if (part >= 3 || *at != kAfter[part]) return std::nullopt;
    ++at;
  }
}

}  // namespace zentrak
