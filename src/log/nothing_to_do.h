// Why a log gave no session to report: what the parser saw of it, and the one
// line that tells the sysop which case it was before the run ends.
#pragma once

#include <cstdint>
#include <string>

#include "config/settings.h"
#include "console/console_log.h"
#include "log/log_blocks.h"
#include "log/log_dates.h"

namespace zentrak {

/// What a pass over the log saw, beside the sessions it built.
struct LogOutline {
  /// The first line was not 8-bit text: UTF-16, or no line end in a long stretch.
  enum class Text { kReadable, kUtf16, kNoLineEnds } text = Text::kReadable;
  int64_t lines = 0;       // non-empty lines
  int64_t datedLines = 0;  // lines with a day and month in the mailer's layout
  bool timed = false;      // whether any of those also has a time "hh:mm:ss"
  int32_t firstDay = 0;    // day numbers of the first and last dated lines
  int32_t lastDay = 0;
  bool beforePeriod = false;    // a dated line lies before the period's start
  bool afterPeriod = false;     // or after its end: the log goes on past that edge
  int64_t inPeriod = 0;         // lines inside the period
  int64_t recognised = 0;       // of those, lines the reader knows (a text of the language
                                // file, or binkd's "[pid]" after the time)
  int64_t unreadableDates = 0;  // undated lines that look dated (UnreadableDate)
};

/// Whether a line that has no date Zentrak reads looks as if it had one:
/// "DD", a word and "hh:mm:ss" from column 3, as a log whose month names are
/// not English ("06 Dez 03:12:01") has them.
bool UnreadableDate(std::string_view line);

/// The "!" line that counts the lines with a date Zentrak cannot read, when
/// there are any.
void UndatedLines(const LogOutline& outline, Console& console);

/// What the log's first line says about the whole file's text.
LogOutline::Text FirstLineText(std::string_view line, const FirstLineFacts& facts);

/// Adds the counts of a later part of the log to `into`.
void AddOutline(LogOutline& into, const LogOutline& part);

/// Prints the "!" line that says why nothing is to be done and returns the exit
/// status: 0 for a quiet period, 2 when the log could not be understood.
int ExplainNothingToDo(const LogOutline& outline, const LogPeriod& period,
                       const RunCalendar& calendar, const Settings& settings, Console& console);

}  // namespace zentrak
