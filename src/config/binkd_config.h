// binkd's own configuration (binkd.conf) as MAILER_CFG of a binkd station: who
// the station is and where binkd logs. Every other keyword is binkd's business.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "console/console_log.h"
#include "platform/platform.h"
#include "support/line_reader.h"

namespace zentrak {

/// Reads `settings.MAILER_CFG` as a binkd.conf and the files it includes, with
/// the mailer configuration's precedence: the station's name, sysop and main
/// address replace the main configuration's, the log only fills an empty LOG.
/// binkd.conf that cannot be opened and a missing LOG end the run (status 1);
/// an include that cannot be opened is skipped (status 2), a loop or a chain
/// too deep is not followed, and each file is read once.
void ReadBinkdConfig(Settings& settings, Console& console, Platform& platform);

/// Whether `keyword` is one that binkd.conf has and the mailer's file does not.
bool BinkdOnlyKeyword(std::string_view keyword);

/// Whether the lines read as a binkd.conf: a line starts with a keyword only
/// binkd.conf has.
bool ReadsAsBinkdConfig(LineReader& lines);

/// The run was told to read the mailer's log, but MAILER_CFG is a binkd.conf:
/// says to add LOG_FORMAT binkd and ends the run (status 1).
[[noreturn]] void StopForBinkdConfig(const Settings& settings, Console& console);

/// The words of a binkd.conf line: blank-separated, "quoted" words keep their
/// blanks, "#" outside quotes starts a comment.
std::vector<std::string> BinkdConfigWords(std::string_view line);

}  // namespace zentrak
