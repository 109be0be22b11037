// The front-end mailer's own configuration file: the few keywords that tell
// who the station is, where the mailer logs, and its address aliases.
#pragma once

#include "config/settings.h"
#include "console/console_log.h"
#include "platform/platform.h"
#include "support/line_reader.h"

namespace zentrak {

/// Reads the file `settings.MAILER_CFG`. A file that cannot be opened, an
/// unsupported LOG_FORMAT and a missing LOG at the end print their message and
/// end the run (RunStop with status 1). `separator` is the directory separator.
void ReadMailerConfig(Settings& settings, Console& console, Platform& platform);

/// The reader behind ReadMailerConfig for lines from any source, ending with
/// the check for a log path.
void ReadMailerConfigLines(LineReader& lines, Settings& settings, Console& console, char separator);

}  // namespace zentrak
