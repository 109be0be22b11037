// The last-call history: the 16-byte records of the history file, their order
// and their atomic save.
#pragma once

#include <cstddef>
#include <string>

#include "log/session_model.h"
#include "platform/platform.h"

namespace zentrak {

/// Bytes of one history record on disk.
inline constexpr size_t kLastCallRecordSize = 16;

/// Where the history file lives: an absolute HISTFILE as it stands, anything
/// else joined to the program's directory.
std::string HistoryPath(const std::string& programDir, const std::string& histFile, char separator);

/// Appends every whole record of the history file to the last-call collection
/// and indexes it by address. A missing file leaves the collection as it is;
/// trailing bytes short of a record are ignored. Returns 0, or the system's error
/// number when the file exists but could not be read.
int LoadLastCalls(const std::string& path, SessionModel& model, Platform& platform);

/// Orders the records by the date their LastDate stands for as seen from
/// `today` (DecodeDateKey), then LastTime, exactly as the exchange sort does
/// (equal records end up where that procedure leaves them); re-indexes.
void SortLastCalls(SessionModel& model, CalendarDate today);

/// Writes every record to a temporary file beside `path`, forces it to disk and
/// renames it over `path`, so the old history survives any failure. Returns 0, or
/// the system's error number of the step that failed.
int SaveLastCalls(const std::string& path, const SessionModel& model, Platform& platform);

}  // namespace zentrak
