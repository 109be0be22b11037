// The mailer log parser: one pass over the log's lines inside the report period
// fills the session model (sessions, links, events, last calls) and the totals.
#pragma once

#include "config/recognition_texts.h"
#include "config/settings.h"
#include "console/console_log.h"
#include "log/log_blocks.h"
#include "log/log_dates.h"
#include "log/session_model.h"
#include "platform/platform.h"
#include "support/line_reader.h"

namespace zentrak {

/// Reads the log named by settings.LOG into the model; a line's year follows from
/// `today`. Ends the run (RunStop) when the log cannot be opened (status 1) or no
/// session ended in the period (status 0). The log is opened through `platform`,
/// which a check run redirects.
void ParseLog(const Settings& settings, const RecognitionTexts& texts, const RunCalendar& today,
              SessionModel& model, Console& console, Platform& platform);

/// The same pass over lines from any reader, without opening a file or printing the
/// reading milestone: the entry for tests and fuzzing.
void ParseLogLines(LineReader& reader, const Settings& settings, const RecognitionTexts& texts,
                   const RunCalendar& today, SessionModel& model, Console& console);

/// The same pass over the blocks of a log, with `threads` threads reading and
/// classifying lines while the calling thread gives them to the rules in log
/// order; the result does not depend on the number of threads.
void ParseLogBlocks(LogBlockReader& reader, const Settings& settings, const RecognitionTexts& texts,
                    const RunCalendar& today, SessionModel& model, Console& console, int threads);

}  // namespace zentrak
