// CUTFILE: keeps an ever-growing text file below a size limit by deleting it or
// cutting it down to its last bytes, starting at a line boundary.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "console/console_log.h"
#include "platform/platform.h"

namespace zentrak {

/// Size of one copy block while cutting.
inline constexpr size_t kCutBufferSize = 262140;

/// Carries out one CUTFILE value ("path limit [keep]") at once. A wrong word
/// count is a configuration error of `configLineNumber`; a missing or small
/// enough file is left alone without a message. The original file is only ever
/// replaced in one step by a completely written copy of its tail.
void CutFile(std::string_view value, int configLineNumber, Console& console, Platform& platform);

/// Gives the copy that is about to replace `original` the original's owner,
/// group and permissions, and says so on the console when the run may not.
void KeepAccess(const std::string& original, const std::string& copy, Console& console,
                Platform& platform);

}  // namespace zentrak
