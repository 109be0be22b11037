// The files of one log: the live file the mailer writes and, where the window
// reaches back before its first line, the rotated files beside it (NAME.1,
// NAME.2.gz, ... or NAME-YYYYMMDD[.gz]), read as one stream of lines, oldest
// first. The readers see blocks of lines and never learn about files.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/console_log.h"
#include "console/run_calendar.h"
#include "log/log_dates.h"
#include "platform/platform.h"
#include "support/gzip_file.h"

namespace zentrak {

/// A rotated file beside the live log.
struct LogPart {
  std::string path;
  std::string compression;  // empty for plain text
  uint64_t number = 0;      // the rotation number, or the date's digits
  bool dated = false;       // NAME-YYYYMMDD rather than NAME.N
};

/// The rotated siblings of the log at `live`, newest first; a number that is
/// there both plain and compressed counts once, as the plain file (logrotate
/// removes it only once its compressed copy is whole).
std::vector<LogPart> RotatedSiblings(const std::string& live, Platform& platform);

/// A moment of the log: a day number and a second of that day.
struct LogInstant {
  int32_t day = 0;
  int32_t time = 0;
  int64_t Seconds() const { return int64_t{day} * 86400 + time; }
  friend bool operator<(const LogInstant& a, const LogInstant& b) {
    return a.Seconds() < b.Seconds();
  }
};

/// "DD Mon HH:MM:SS" of an instant.
std::string InstantText(LogInstant instant, const RunCalendar& calendar);

/// Several files read as one, in the order they were added. A file that does
/// not end in a line end is given one, so that its last line does not run into
/// the next file's first.
class LogSource : public File {
 public:
  void Add(std::unique_ptr<File> file, std::string path, GzipFile* gzip);
  size_t Read(char* data, size_t size) override;
  bool ReadFailed() const override { return failed_; }
  bool Write(std::string_view) override { return false; }
  bool Seek(uint64_t) override { return false; }
  bool Flush() override { return true; }
  bool Sync() override { return true; }
  bool Close() override;

  /// Says what the compressed files held back: a "!" line for each one cut
  /// short, damaged or expanding too far (the run ends with status 2), a "*"
  /// line for bytes after the compressed data. Call once the reading is done.
  void ReportCompressed(Console& console) const;
  /// The bytes the files hold on disk.
  uint64_t DiskBytes() const { return diskBytes_; }
  void AddDiskBytes(uint64_t bytes) { diskBytes_ += bytes; }

 private:
  struct Part {
    std::string path;
    std::unique_ptr<File> file;
    GzipFile* gzip = nullptr;  // the file itself when it is compressed
    bool any = false;
    char last = '\n';
  };
  std::vector<Part> parts_;
  size_t current_ = 0;
  bool lineEndOwed_ = false;
  bool failed_ = false;
  uint64_t diskBytes_ = 0;
};

/// Opens the log at `live` and, when its first line comes after `needFrom`, the
/// rotated files before it until one begins at or before `needFrom`; prints
/// the "Reading" milestone for each file, oldest first, and a line for a part of
/// `period` that no file holds: "*" when the log begins after its start, "!"
/// (status 2) where a rotated file is missing or compressed in a way that
/// cannot be read. Nothing, with errno set, when the live log cannot be opened.
std::unique_ptr<LogSource> OpenLogSource(const std::string& live, LogInstant needFrom,
                                         const LogPeriod& period, const RunCalendar& calendar,
                                         Console& console, Platform& platform);

/// What a gzip file held back, once it was read: a "!" line when it was cut
/// short, damaged or expanding too far (the run ends with status 2), a "*"
/// line for bytes after its compressed data.
void ReportGzip(const std::string& path, const GzipFile& gzip, Console& console);

/// The file at `path` as the bytes it holds: read through gzip when its name
/// ends in ".gz". Nothing when it cannot be opened.
std::unique_ptr<File> OpenLogFile(const std::string& path, Platform& platform,
                                  GzipFile** gzip = nullptr);

/// The first line of `file` that has a date and a time, read from its current
/// position; nothing when none comes in its first MiB.
std::optional<LogInstant> FirstInstant(File& file, const RunCalendar& calendar);

}  // namespace zentrak
