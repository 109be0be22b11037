// The reasons, from the most basic fault of the input to a plainly quiet period.
#include "log/nothing_to_do.h"

#include "log/session_model.h"
#include "support/calendar.h"
#include "support/text.h"

namespace zentrak {
namespace {

// "Januar", "Februar" in full, or a UTF-8 name: still a word of its own.
constexpr size_t kLongestMonthWord = 12;
constexpr int kQuiet = 0;
constexpr int kNotUnderstood = 2;

// "06 Dec 2026"
std::string DateText(const CalendarDate& date) {
  std::string text = date.day < 10 ? "0" : "";
  text += std::to_string(date.day);
  text += ' ';
  text += kMonthNames[date.month];
  text += ' ';
  text += std::to_string(date.year);
  return text;
}

std::string DateText(int32_t dayNumber, const RunCalendar& calendar) {
  return DateText(DayNumberToDate(dayNumber, calendar.currentYear));
}

// The first dated line of a log that ends on an earlier day of the year lies a
// year before: a log that runs over New Year, or one whose lines of some
// months have no date that Zentrak reads.
std::string StartDateText(const LogOutline& outline, const RunCalendar& calendar) {
  CalendarDate date = DayNumberToDate(outline.firstDay, calendar.currentYear);
  if (outline.firstDay > outline.lastDay) --date.year;
  return DateText(date);
}

}  // namespace

// Month names in another language leave whole months without a date: the
// sysop learns how much of the log that is.
void UndatedLines(const LogOutline& outline, Console& console) {
  if (outline.unreadableDates <= 0) return;
  console.ConsoleLog(kError,
                     " Lines with a date Zentrak cannot read: %d of %d (month names must be "
                     "English, as in \"06 Dec\")",
                     {outline.unreadableDates, outline.lines});
}

namespace {

// UTF-16 text of the log's ASCII layout without a byte-order mark: one half of
// the bytes (the odd ones in little-endian, the even ones in big-endian) is
// NUL throughout, the other is not. A stray NUL in an 8-bit line is just a byte.
bool NulBetweenLetters(std::string_view line) {
  if (line.size() < 2) return false;
  bool nul[2] = {true, true};
  bool letter[2] = {false, false};
  for (size_t k = 0; k < line.size(); ++k) {
    bool isNul = line[k] == '\0';
    nul[k % 2] = nul[k % 2] && isNul;
    letter[k % 2] = letter[k % 2] || !isNul;
  }
  return (nul[0] && letter[1]) || (nul[1] && letter[0]);
}

}  // namespace

// UTF-16 shows in the first line already, as a byte-order mark or as NULs
// between the letters. A first line that ran past the line bound without a
// line feed, or holds a CR without one, means the log's lines do not end in LF.
LogOutline::Text FirstLineText(std::string_view line, const FirstLineFacts& facts) {
  if (!facts.detect.empty()) line = facts.detect;
  if (line.starts_with("\xFF\xFE") || line.starts_with("\xFE\xFF") || NulBetweenLetters(line)) {
    return LogOutline::Text::kUtf16;
  }
  if (facts.unterminated &&
      (facts.physicalLength > kMaxLineLength || line.find('\r') != std::string_view::npos)) {
    return LogOutline::Text::kNoLineEnds;
  }
  return LogOutline::Text::kReadable;
}

void AddOutline(LogOutline& into, const LogOutline& part) {
  if (part.datedLines > 0) {
    if (into.datedLines == 0) into.firstDay = part.firstDay;
    into.lastDay = part.lastDay;
  }
  into.lines += part.lines;
  into.datedLines += part.datedLines;
  into.timed = into.timed || part.timed;
  into.beforePeriod = into.beforePeriod || part.beforePeriod;
  into.afterPeriod = into.afterPeriod || part.afterPeriod;
  into.inPeriod += part.inPeriod;
  into.recognised += part.recognised;
  into.unreadableDates += part.unreadableDates;
}

bool UnreadableDate(std::string_view line) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  auto digits = [&](size_t at) {
    return at + 2 <= line.size() && digit(line[at]) && digit(line[at + 1]);
  };
  if (!digits(2) || line.size() < 6 || line[4] != ' ') return false;
  // The month word: three letters in English, other lengths in other languages.
  size_t blank = line.find(' ', 5);
  if (blank == std::string_view::npos || blank == 5 || blank > 5 + kLongestMonthWord) return false;
  size_t at = blank + 1;
  return digits(at) && digits(at + 3) && digits(at + 6) && line[at + 2] == ':' &&
         line[at + 5] == ':';
}

int ExplainNothingToDo(const LogOutline& outline, const LogPeriod& period,
                       const RunCalendar& calendar, const Settings& settings, Console& console) {
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
         StartDateText(outline, calendar), DateText(outline.lastDay, calendar)});
    UndatedLines(outline, console);
    return kQuiet;
  }
  if (outline.recognised == 0 && settings.logFormat == LogFormat::kBinkd) {
    console.ConsoleLog(kError,
                       " %d lines of the log fall in the period, but none is a binkd line "
                       "(\"[pid] text\" after the time): the log may be another mailer's",
                       {outline.inPeriod});
    UndatedLines(outline, console);
    return kNotUnderstood;
  }
  if (outline.recognised == 0) {
    console.ConsoleLog(kError,
                       " %d lines of the log fall in the period, but none is recognised: the "
                       "language file (%s) may not match the mailer's language",
                       {outline.inPeriod, settings.LNGFILE});
    UndatedLines(outline, console);
    return kNotUnderstood;
  }
  console.ConsoleLog(kError, " %d lines of the log fall in the period, but no session ended in it",
                     {outline.inPeriod});
  UndatedLines(outline, console);
  return kQuiet;
}

}  // namespace zentrak
