// Old logs read as one for an import: files named in any order, plain or
// gzip, whose lines come out in time order. Files follow each other by their
// first lines; where one overlaps the next, their lines are merged by time, and
// a line that two files both hold (the same file named twice, two copies of one
// week) is read once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "console/console_log.h"
#include "console/run_calendar.h"
#include "log/log_source.h"
#include "platform/platform.h"

namespace zentrak {

/// What an import read, file by file, for its console lines.
struct ImportFile {
  std::string path;
  std::optional<LogInstant> first;  // its first dated line; nothing: none (yet)
  std::optional<LogInstant> last;
  uint64_t undated = 0;  // non-empty lines without a date Zentrak reads
};

/// How far an import has read, for a progress bar.
struct ImportProgress {
  size_t filesDone = 0;
  size_t files = 0;
  uint64_t bytes = 0;  // bytes given out so far
  std::optional<LogInstant> at;
};

class MergedLogs : public File {
 public:
  /// `progress` is called now and then while the lines are read, on the
  /// thread that reads.
  MergedLogs(std::vector<ImportFile> files, std::vector<std::unique_ptr<File>> opened,
             std::vector<GzipFile*> gzips, const RunCalendar& calendar,
             std::function<void(const ImportProgress&)> progress);
  ~MergedLogs() override;
  size_t Read(char* data, size_t size) override;
  bool ReadFailed() const override { return failed_; }
  bool Write(std::string_view) override { return false; }
  bool Seek(uint64_t) override { return false; }
  bool Flush() override { return true; }
  bool Sync() override { return true; }
  bool Close() override { return true; }

  /// The files in time order, with what was read of them (complete once the
  /// reading is done).
  const std::vector<ImportFile>& Files() const { return files_; }
  /// Lines left out because another file held them too.
  uint64_t Doubled() const { return doubled_; }
  /// The "!" lines of the gzip files that held bytes back (status 2).
  void ReportCompressed(Console& console) const;

 private:
  struct Stream;
  bool Refill();

  std::vector<ImportFile> files_;
  std::vector<std::unique_ptr<Stream>> streams_;
  const RunCalendar& calendar_;
  std::function<void(const ImportProgress&)> progress_;
  std::string out_;  // merged lines not given out yet
  size_t outAt_ = 0;
  uint64_t given_ = 0;
  uint64_t doubled_ = 0;
  uint64_t sinceProgress_ = 0;
  bool failed_ = false;
  // Lines given out at the latest instant, by text: the file that gave each.
  std::unordered_map<std::string, size_t> sameInstant_;
  LogInstant lastInstant_{INT32_MIN, 0};
};

/// Opens `paths` for an import: every file that can be opened, in the order of
/// their first dated lines (the same file named twice only once). A file that
/// cannot be opened gets a "!" line with the system's reason (status 2); a
/// compressed file of another kind than gzip too. Nothing when no file opens.
std::unique_ptr<MergedLogs> OpenImport(const std::vector<std::string>& paths,
                                       const RunCalendar& calendar, Console& console,
                                       Platform& platform,
                                       std::function<void(const ImportProgress&)> progress);

}  // namespace zentrak
