// The main configuration file: keyword lines that fill the settings and their
// tables, cut files on the spot and end with the completeness checks and the
// graphic window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/settings.h"
#include "console/console_log.h"
#include "platform/platform.h"
#include "support/line_reader.h"

namespace zentrak {

/// Reads the main configuration file `configPath` into `settings`. A file that
/// cannot be opened and every fatal configuration error print their message and
/// end the run (RunStop with status 1).
void ReadMainConfig(const std::string& configPath, Settings& settings, Console& console,
                    Platform& platform);

/// The reader behind ReadMainConfig for lines from any source (tests, fuzzing):
/// every line, then the end-of-file checks and the graphic window.
void ReadMainConfigLines(LineReader& lines, Settings& settings, Console& console,
                         Platform& platform);

/// A time of day written as H, H:M or H:M:S, in seconds; nothing when the total
/// lies outside 0..86400 (24:00 is a valid end of day).
std::optional<int32_t> TimeOfDay(std::string_view text);

}  // namespace zentrak
