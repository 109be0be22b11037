// The reasons, from the most basic fault of the input to a plainly quiet period.
#include "log/nothing_to_do.h"

#include "log/session_model.h"
#include "support/calendar.h"
#include "support/text.h"

namespace zentrak {
namespace {

constexpr int kQuiet = 0;
constexpr int kNotUnderstood = 2;

// "06 Dec 2026"
std::string DateText(int32_t dayNumber, const RunCalendar& calendar) {
  CalendarDate date = DayNumberToDate(dayNumber, calendar.currentYear);
  std::string text = date.day < 10 ? "0" : "";
  text += std::to_string(date.day);
  text += ' ';
  text += kMonthNames[date.month];
  text += ' ';
  text += std::to_string(date.year);
  return text;
}

}  // namespace

int ExplainNothingToDo(const LogOutline& outline, const LogPeriod& period,
                       const RunCalendar& calendar, const std::string& languageFile,
                       Console& console) {
  using Text = LogOutline::Text;
  if (outline.text == Text::kUtf16) {
    console.ConsoleLog(kError, " The log is not text Zentrak can read (%s)", {"UTF-16"});
    return kNotUnderstood;
  }
  if (outline.text == Text::kNoLineEnds) {
    console.ConsoleLog(kError, " The log is not text Zentrak can read (%s)", {"no line ends"});
    return kNotUnderstood;
  }
  if (outline.lines == 0) {
    console.ConsoleLog(kError, " The log holds no line");
    return kQuiet;
  }
  // A date without a time places no line anywhere: the period is not to blame.
  if (outline.datedLines == 0 || !outline.timed) {
    console.ConsoleLog(kError, " No line of the log has a date as \"DD Mon hh:mm:ss\" in column 3");
    return kNotUnderstood;
  }
  if (outline.inPeriod == 0) {
    console.ConsoleLog(
        kError,
        " No line of the log falls in the period %s %s - %s %s (the log runs from %s to %s)",
        {DateText(period.firstDay, calendar), ClockText(period.startTime),
         DateText(period.lastDay, calendar), ClockText(period.endTime),
         DateText(outline.firstDay, calendar), DateText(outline.lastDay, calendar)});
    return kQuiet;
  }
  if (outline.recognised == 0) {
    console.ConsoleLog(kError,
                       " %d lines of the log fall in the period, but none is recognised: the "
                       "language file (%s) may not match the mailer's language",
                       {outline.inPeriod, languageFile});
    return kNotUnderstood;
  }
  console.ConsoleLog(kError, " %d lines of the log fall in the period, but no session ended in it",
                     {outline.inPeriod});
  return kQuiet;
}

}  // namespace zentrak
