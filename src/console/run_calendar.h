// "Today" for a whole run. The run reads the date once, when it starts, and
// hands it to every step that dates something: the log cut, the parser and the
// last-call dates. A run that crosses midnight therefore stays on one day, and
// no step learns the date from whenever the console last printed a line.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace zentrak {

/// The date the run takes as "today"; a log line's year follows from it.
struct RunCalendar {
  int32_t currentYear = 1970;
  int32_t currentMonth = 1;
  int32_t currentDay = 1;
};

/// Today's date as `clock` tells it.
inline RunCalendar TodayOn(Clock& clock) {
  LocalTime now = clock.Now();
  return RunCalendar{now.year, now.month, now.day};
}

}  // namespace zentrak
