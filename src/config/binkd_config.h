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
/// A file that cannot be opened and a missing LOG end the run (status 1).
void ReadBinkdConfig(Settings& settings, Console& console, Platform& platform);

/// The words of a binkd.conf line: blank-separated, "quoted" words keep their
/// blanks, "#" outside quotes starts a comment.
std::vector<std::string> BinkdConfigWords(std::string_view line);

}  // namespace zentrak
