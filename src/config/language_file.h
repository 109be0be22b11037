// The mailer's compiled language file: the message texts by which we recognise
// the lines of its log, whatever language the log is written in.
#pragma once

#include <cstddef>
#include <string_view>

#include "config/recognition_texts.h"
#include "config/settings.h"
#include "console/console_log.h"
#include "platform/platform.h"

namespace zentrak {

/// Bytes of the header in front of the messages, not interpreted.
inline constexpr size_t kLanguageHeaderSize = 32;
/// Most bytes of the message area that are read.
inline constexpr size_t kLanguageAreaLimit = 65535;

/// Reads `settings.LNGFILE` into `texts`. A file that cannot be opened prints
/// its message and ends the run (RunStop with status 1).
void ReadLanguageFile(const Settings& settings, RecognitionTexts& texts, Console& console,
                      Platform& platform);

/// Fills every recognition text from the bytes of a whole language file. Never
/// reads past the bytes given: a short file leaves slots empty or shortened.
RecognitionTexts DecodeLanguageFile(std::string_view wholeFileBytes);

}  // namespace zentrak
