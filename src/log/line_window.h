// The part of reading a line both log readers share: its day and time from
// the date columns (3-17 in both layouts), the report period, and the counts
// that tell why a log gave nothing. Each classifying thread has its own.
#pragma once

#include <cstring>
#include <optional>
#include <string_view>

#include "log/log_dates.h"
#include "log/nothing_to_do.h"

namespace zentrak {

class LineWindow {
 public:
  LineWindow(const LogPeriod& period, const RunCalendar& calendar)
      : period_(period), calendar_(calendar) {}

  /// Counts the line in `outline`; true, with its `day` and `time`, when it
  /// lies inside the period.
  bool Inside(std::string_view line, LogOutline& outline, int32_t& day, int32_t& time) {
    if (line.empty()) return false;
    ++outline.lines;
    std::optional<int32_t> number = DayNumber(line);
    if (!number) return false;
    if (outline.datedLines++ == 0) outline.firstDay = *number;
    outline.lastDay = *number;
    if (*number < period_.firstDay || *number > period_.lastDay) {
      // Once one line has shown a time, the others outside the period need not.
      if (!outline.timed) outline.timed = LineTime(line) >= 0;
      (*number < period_.firstDay ? outline.beforePeriod : outline.afterPeriod) = true;
      return false;
    }
    time = LineTime(line);
    if (time < 0) return false;
    outline.timed = true;
    if (*number == period_.firstDay && time < period_.startTime) {
      outline.beforePeriod = true;
      return false;
    }
    if (*number == period_.lastDay && time > period_.endTime) {
      outline.afterPeriod = true;
      return false;
    }
    ++outline.inPeriod;
    day = *number;
    return true;
  }

 private:
  // Lines come in long runs of one date. In the usual layout the day number
  // depends on columns 3-10 alone, so the last answer is kept for them.
  std::optional<int32_t> DayNumber(std::string_view line) {
    if (line.size() < 10) return LineDayNumber(line, calendar_);
    uint64_t columns;
    std::memcpy(&columns, line.data() + 2, sizeof columns);
    if (dayKnown_ && columns == dayColumns_) return dayOfColumns_;
    std::optional<int32_t> day = LineDayNumber(line, calendar_);
    const char* s = line.data() + 2;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (digit(s[0]) && digit(s[1]) && s[2] == ' ' && s[6] == ' ' && digit(s[7])) {
      dayKnown_ = true;
      dayColumns_ = columns;
      dayOfColumns_ = day;
    }
    return day;
  }

  const LogPeriod& period_;
  const RunCalendar& calendar_;
  bool dayKnown_ = false;
  uint64_t dayColumns_ = 0;
  std::optional<int32_t> dayOfColumns_;
};

}  // namespace zentrak
