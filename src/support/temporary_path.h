// Names and failures of the temporary copies that replace files.
#pragma once

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace zentrak {

/// The name of the copy that is to replace `path`: beside it, ending in ".$$$",
/// and this process's own, so that no other run can take it for its own or
/// remove it.
std::string TemporaryPathFor(const std::string& path, Platform& platform);

/// The process whose run named a temporary copy: the number in
/// "<name>.<process>.$$$" or "$cutlog$.<process>.tmp"; nothing for any other name.
std::optional<uint32_t> TemporaryCopyOwner(std::string_view fileName);

/// A dead run's copy that a sweep found.
struct DeadRunCopy {
  std::string path;
  int error = 0;  // 0 when it was removed, else the system's reason it was not
};

/// Removes from the folder `prefix` names ("" for the current folder, else
/// ending in a separator) every temporary copy of a run that no longer runs.
/// Copies of this process and of any process that still runs stay.
std::vector<DeadRunCopy> RemoveDeadRunCopies(const std::string& prefix, Platform& platform);

/// The system's error number of the call that just failed, or `fallback` when
/// that call set none.
inline int ErrnoOr(int fallback) { return errno != 0 ? errno : fallback; }

}  // namespace zentrak
