// Both cut algorithms find their cut point by reading lines, then copy the rest
// of the log as raw bytes into a temporary file, force it to disk and rename it
// over the log.
#include "log/log_cut.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/file_cut.h"
#include "console/run_stop.h"
#include "log/log_dates.h"
#include "log/log_parser.h"
#include "support/atomic_file.h"
#include "support/line_reader.h"
#include "support/temporary_path.h"

namespace zentrak {
namespace {

constexpr const char* kUnableToOpen = " Unable to open %s (%s)";
constexpr const char* kUnableToCreate = " Unable to create %s (%s)";
constexpr const char* kCutting = " Cutting log time according to cfg..";
constexpr const char* kIoProblem = " Unable to cut log file.. I/O Problem..";
constexpr const char* kDiskTrouble = " Some shit is on your disk ;)";
constexpr size_t kBlockSize = 262140;
constexpr std::string_view kLevelCharacters = "%*!@.><?|i";

// Where a cut point lies and how the copy must begin.
struct CutPoint {
  uint64_t offset = 0;  // first byte to copy
  bool addEmptyLine = false;
  std::string lineBreak = "\r\n";
};

// LineDayNumber for the cut's scan, which reads most of a long log line by
// line: a line's date lies wholly in its columns 3-10, and whole days of lines
// share them, so the last answer is kept for the same eight bytes.
class DayOfLineCache {
 public:
  explicit DayOfLineCache(const RunCalendar& today) : today_(today) {}

  std::optional<int32_t> Of(std::string_view line) {
    constexpr size_t kFrom = 2;
    constexpr size_t kColumns = 8;
    if (line.size() < kFrom + kColumns) return LineDayNumber(line, today_);
    uint64_t key;
    std::memcpy(&key, line.data() + kFrom, kColumns);
    if (!known_ || key != key_) {
      key_ = key;
      known_ = true;
      day_ = LineDayNumber(line, today_);
    }
    return day_;
  }

 private:
  const RunCalendar& today_;
  bool known_ = false;
  uint64_t key_ = 0;
  std::optional<int32_t> day_;
};

// The temporary file must be renamed over the log, which only works within one
// file system.
std::string TempPathFor(const std::string& logPath, Platform& platform) {
  std::string name = CutLogTempName(platform);
  if (platform.SameFileSystem(".", logPath)) return name;
  size_t slash = logPath.find_last_of(platform.DirSeparator());
  if (slash == std::string::npos) return name;
  return logPath.substr(0, slash + 1) + name;
}

// Copies `log` from byte `from` to its end as it stands into `copy`; the
// number of bytes copied, or nothing when a read or write failed. The seek also
// lets a read after the end of the file see what was appended since.
std::optional<uint64_t> CopyRest(File& log, uint64_t from, AtomicFile& copy,
                                 std::vector<char>& block) {
  if (!log.Seek(from)) return std::nullopt;
  uint64_t copied = 0;
  for (;;) {
    size_t got = log.Read(block.data(), block.size());
    if (got > 0 && !copy.Write(std::string_view(block.data(), got))) return std::nullopt;
    copied += got;
    if (got < block.size()) {
      if (log.ReadFailed()) return std::nullopt;
      return copied;
    }
  }
}

enum class Carried { kComplete, kFailed, kStillGrowing, kChanged };

// The mailer goes on writing while the log is cut. Just before the copy takes
// the log's place, whatever the log grew by is carried into the copy; a log
// that grows again meanwhile gets another round, up to kCarryRounds. Lines the
// mailer writes between the last check and the rename still go to the old file,
// so the copy is forced to the disk before each check to keep that moment short.
Carried CarryAppended(File& log, AtomicFile& copy, uint64_t logEnd, const Settings& settings,
                      Platform& platform, std::vector<char>& block) {
  constexpr int kCarryRounds = 8;
  for (int round = 0;; ++round) {
    if (!copy.Sync()) return Carried::kFailed;
    std::optional<uint64_t> size = platform.FileSize(settings.LOG);
    if (size && *size == logEnd) return Carried::kComplete;
    // Smaller, or gone: the log was replaced or emptied behind our back.
    if (!size || *size < logEnd) return Carried::kChanged;
    if (round == kCarryRounds) return Carried::kStillGrowing;
    std::optional<uint64_t> more = CopyRest(log, logEnd, copy, block);
    if (!more) return Carried::kFailed;
    // The name no longer leads to the file being copied.
    if (*more == 0) return Carried::kChanged;
    logEnd += *more;
  }
}

std::unique_ptr<File> OpenLogOrStop(const Settings& settings, Console& console,
                                    Platform& platform) {
  errno = 0;
  std::unique_ptr<File> log = platform.OpenFile(settings.LOG, FileMode::kRead);
  if (!log) {
    console.ConsoleLog(kError, kUnableToOpen, {"log file", settings.LOG});
    console.Reason(ErrnoOr(EIO));
    StopRun(1);
  }
  console.ConsoleLog(kMilestone, kCutting);
  return log;
}

// Writes the copy completely, with what the mailer appended meanwhile, gives it
// the log's owner and permissions and renames it over the log. On any failure
// the log stays as it was and the copy is removed.
void ReplaceLog(std::unique_ptr<File>& log, const CutPoint& cut, const Settings& settings,
                Console& console, Platform& platform) {
  AtomicFile copy(platform, settings.LOG, FileMode::kWrite, TempPathFor(settings.LOG, platform));
  if (!copy.IsOpen()) {
    console.ConsoleLog(kError, kUnableToCreate, {"temp file", copy.TemporaryPath()});
    console.Reason(copy.Error());
    console.NoteUnwritten();
    return;
  }
  bool written = !cut.addEmptyLine || copy.Write(cut.lineBreak);
  std::vector<char> block(kBlockSize);
  errno = 0;
  std::optional<uint64_t> copied = written ? CopyRest(*log, cut.offset, copy, block) : std::nullopt;
  Carried carried = copied
                        ? CarryAppended(*log, copy, cut.offset + *copied, settings, platform, block)
                        : Carried::kFailed;
  if (carried != Carried::kComplete) copy.MarkFailed();
  log.reset();  // some systems refuse to replace a file that is open
  auto keepAccess = [&](const std::string& path) {
    KeepAccess(settings.LOG, path, console, platform);
  };
  if (carried == Carried::kComplete && copy.Commit(keepAccess)) return;
  copy.Abandon();
  if (carried == Carried::kStillGrowing) {
    console.ConsoleLog(kError, " The log kept growing while it was cut; it is left as it was");
  } else if (carried == Carried::kChanged) {
    console.ConsoleLog(kError, " The log was replaced while it was cut; it is left as it was");
  } else {
    console.ConsoleLog(kError, kIoProblem);
    console.Reason(copy.Error());
  }
  console.NoteUnwritten();
  if (copy.LeftBehind()) console.ConsoleLog(kError, kDiskTrouble);
}

void ReopenOrStop(const Settings& settings, Console& console, Platform& platform) {
  if (!platform.OpenFile(settings.LOG, FileMode::kRead)) {
    console.ConsoleLog(kError, kDiskTrouble);
    StopRun(1);
  }
}

int32_t CutThreshold(const Settings& settings, const RunCalendar& calendar) {
  return DaysBefore(DayOfYear(calendar.currentDay, calendar.currentMonth, calendar.currentYear),
                    settings.cutLogDays);
}

// The line break that ends the line starting at `lineStart` - 1: CR LF or LF.
std::string LineBreakBefore(File& log, uint64_t lineStart) {
  if (lineStart < 2) return "\n";
  char two[2] = {0, 0};
  if (!log.Seek(lineStart - 2) || log.Read(two, 2) != 2) return "\n";
  return (two[0] == '\r' && two[1] == '\n') ? "\r\n" : "\n";
}

std::optional<CutPoint> FindOldCutPoint(File& log, const Settings& settings,
                                        const RunCalendar& calendar) {
  const TimeWindow& w = settings.timeWindow;
  LogPeriod period = PeriodOf(w.startDaysBack, w.startTime, w.endDaysBack, w.endTime, calendar);
  if (period.firstDay < 0) period.firstDay = 1;
  if (period.lastDay < 0) period.lastDay = 1;
  int32_t threshold = CutThreshold(settings, calendar);
  LineReader reader(log, kBlockSize);
  DayOfLineCache days(calendar);
  std::string_view line;
  while (reader.Next(line)) {
    // A line read together with the end of the file is never a cut point.
    if (reader.LastLineUnterminated()) return std::nullopt;
    if (line.empty() || kLevelCharacters.find(line[0]) == std::string_view::npos) continue;
    bool qualifies;
    if (settings.CUT_LOG) {
      std::optional<int32_t> day = days.Of(line);
      qualifies = day && *day >= threshold;
    } else {
      qualifies = InPeriod(line, period, calendar);
    }
    if (!qualifies) continue;
    CutPoint cut;
    cut.offset = reader.LineStart();
    cut.addEmptyLine = true;
    uint64_t end = reader.LineEnd();
    if (!reader.Next(line)) return std::nullopt;  // it was the last line
    cut.lineBreak = LineBreakBefore(log, end);
    return cut;
  }
  return std::nullopt;
}

}  // namespace

std::string CutLogTempName(Platform& platform) {
  return "$cutlog$." + std::to_string(platform.ProcessId()) + ".tmp";
}

void CutLogOld(const Settings& settings, const RunCalendar& today, Console& console,
               Platform& platform) {
  std::unique_ptr<File> log = OpenLogOrStop(settings, console, platform);
  std::optional<CutPoint> cut = FindOldCutPoint(*log, settings, today);
  if (cut) ReplaceLog(log, *cut, settings, console, platform);
  log.reset();
  ReopenOrStop(settings, console, platform);
}

void CutLogNew(const Settings& settings, const RunCalendar& today, Console& console,
               Platform& platform) {
  std::unique_ptr<File> log = OpenLogOrStop(settings, console, platform);
  int32_t threshold = CutThreshold(settings, today);
  LineReader reader(*log, kBlockSize);
  std::string_view line;
  int32_t lastDay = 0;
  std::optional<uint64_t> cutLineStart;
  DayOfLineCache days(today);
  while (reader.Next(line)) {
    if (line.empty()) continue;
    std::optional<int32_t> day = days.Of(line);
    if (!day) continue;
    lastDay = *day;
    if (*day >= threshold) {
      cutLineStart = reader.LineStart();
      break;
    }
  }
  if (!cutLineStart) {
    console.Bare("end of file reached... strange... quitting!");
    console.Bare("fromdate=" + std::to_string(threshold));
    console.Bare("day_from_log=" + std::to_string(lastDay));
    StopRun(1);
  }
  CutPoint cut;
  if (*cutLineStart > 0) {
    cut.offset = *cutLineStart - LineBreakBefore(*log, *cutLineStart).size();
  }
  console.Bare("LogFilePos=" + std::to_string(cut.offset));
  ReplaceLog(log, cut, settings, console, platform);
  log.reset();
  ReopenOrStop(settings, console, platform);
}

void CutLog(const Settings& settings, const RunCalendar& today, Console& console,
            Platform& platform) {
  if (!settings.CUT_LOG && settings.cutLogDays == 0) return;
  if (settings.CUT_LOG_NEWALG) {
    CutLogNew(settings, today, console, platform);
  } else {
    CutLogOld(settings, today, console, platform);
  }
}

}  // namespace zentrak
