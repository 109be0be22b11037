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

/// How far past the window's end a session that began inside it is followed:
/// binkd gives up a session after minutes without data, and a pid silent this
/// long belongs to another process.
constexpr int64_t kLookAheadSeconds = 12 * 3600;
/// How far before the window's start a reader may look for sessions already
/// going on: a call reaches its session line within minutes or fails.
constexpr int64_t kLookBehindSeconds = 30 * 60;

/// Where a line lies against the period.
enum class LinePlace : uint8_t {
  kOutside,  // not dated, or farther from the period than the look-ahead
  kInside,
  kAhead,   // after the period's end, within kLookAheadSeconds
  kBehind,  // before its start, within kLookBehindSeconds (only when asked for)
};

class LineWindow {
 public:
  LineWindow(const LogPeriod& period, const RunCalendar& calendar, bool behind = false)
      : period_(period), calendar_(calendar), behind_(behind) {}

  /// Counts the line in `outline`; true, with its `day` and `time`, when it
  /// lies inside the period.
  bool Inside(std::string_view line, LogOutline& outline, int32_t& day, int32_t& time) {
    return Place(line, outline, day, time) == LinePlace::kInside;
  }

  /// Counts the line in `outline` (lines ahead and behind count as outside the
  /// period) and says where it lies; `day` and `time` are set for every place
  /// but kOutside.
  LinePlace Place(std::string_view line, LogOutline& outline, int32_t& day, int32_t& time) {
    if (line.empty()) return LinePlace::kOutside;
    ++outline.lines;
    std::optional<int32_t> number = DayNumber(line);
    if (!number) {
      if (UnreadableDate(line)) ++outline.unreadableDates;
      return LinePlace::kOutside;
    }
    if (outline.datedLines++ == 0) outline.firstDay = *number;
    outline.lastDay = *number;
    if (*number < period_.firstDay || *number > period_.lastDay) {
      bool before = *number < period_.firstDay;
      (before ? outline.beforePeriod : outline.afterPeriod) = true;
      // Only the day next to the period can hold a line near enough to it.
      bool near =
          before ? behind_ && *number == period_.firstDay - 1 : *number == period_.lastDay + 1;
      if (!near) {
        // Once one line has shown a time, the others outside the period need not.
        if (!outline.timed) outline.timed = LineTime(line) >= 0;
        return LinePlace::kOutside;
      }
      time = LineTime(line);
      if (time < 0) return LinePlace::kOutside;
      outline.timed = true;
      day = *number;
      return Near(day, time, before);
    }
    time = LineTime(line);
    if (time < 0) return LinePlace::kOutside;
    outline.timed = true;
    day = *number;
    if (*number == period_.firstDay && time < period_.startTime) {
      outline.beforePeriod = true;
      return behind_ ? Near(day, time, true) : LinePlace::kOutside;
    }
    if (*number == period_.lastDay && time > period_.endTime) {
      outline.afterPeriod = true;
      return Near(day, time, false);
    }
    ++outline.inPeriod;
    return LinePlace::kInside;
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

  LinePlace Near(int32_t day, int32_t time, bool before) const {
    int64_t at = int64_t{day} * 86400 + time;
    int64_t gap = before ? int64_t{period_.firstDay} * 86400 + period_.startTime - at
                         : at - (int64_t{period_.lastDay} * 86400 + period_.endTime);
    if (gap > (before ? kLookBehindSeconds : kLookAheadSeconds)) return LinePlace::kOutside;
    return before ? LinePlace::kBehind : LinePlace::kAhead;
  }

  const LogPeriod& period_;
  const RunCalendar& calendar_;
  bool behind_;
  bool dayKnown_ = false;
  uint64_t dayColumns_ = 0;
  std::optional<int32_t> dayOfColumns_;
};

}  // namespace zentrak
