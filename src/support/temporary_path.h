// Names and failures of the temporary copies that replace files.
#pragma once

#include <cerrno>
#include <string>

#include "platform/platform.h"

namespace zentrak {

/// The name of the copy that is to replace `path`: beside it, ending in ".$$$",
/// and this process's own, so that no other run can take it for its own or
/// remove it.
std::string TemporaryPathFor(const std::string& path, Platform& platform);

/// The system's error number of the call that just failed, or `fallback` when
/// that call set none.
inline int ErrnoOr(int fallback) { return errno != 0 ? errno : fallback; }

}  // namespace zentrak
