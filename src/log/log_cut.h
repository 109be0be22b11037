// Shortening the mailer log to its recent part before it is parsed. The log is
// only ever replaced in one step by a completely written copy, so a failure at
// any point leaves the original as it was.
#pragma once

#include <string>

#include "config/settings.h"
#include "console/console_log.h"
#include "console/run_calendar.h"
#include "platform/platform.h"

namespace zentrak {

/// Name of the temporary copy, in the current directory (or next to the log when
/// the current directory lies on another file system): "$cutlog$.<process>.tmp",
/// so that no other run can take it or remove it.
std::string CutLogTempName(Platform& platform);

/// Cuts with CutLogNew or CutLogOld (CUT_LOG_NEWALG) when CUT_LOG is on or
/// cutLogDays is not 0; otherwise does nothing. Line dates are read as of `today`.
void CutLog(const Settings& settings, const RunCalendar& today, Console& console,
            Platform& platform);

/// Line-wise cut: keeps everything from the first log line inside the report
/// period (CUT_LOG off) or not older than cutLogDays (CUT_LOG on), after one empty
/// line. Leaves the log alone when no line qualifies.
void CutLogOld(const Settings& settings, const RunCalendar& today, Console& console,
               Platform& platform);

/// Block-copying cut: keeps the tail from the line break before the first line
/// not older than cutLogDays. Ends the run when no line qualifies.
void CutLogNew(const Settings& settings, const RunCalendar& today, Console& console,
               Platform& platform);

}  // namespace zentrak
