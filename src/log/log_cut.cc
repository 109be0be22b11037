// Both cut algorithms find their cut point by reading lines, then copy the rest
// of the log as raw bytes into a temporary file, force it to disk and rename it
// over the log.
#include "log/log_cut.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/file_cut.h"
#include "console/run_stop.h"
#include "log/log_dates.h"
#include "log/log_parser.h"
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

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File OpenFile(const std::string& path, const char* mode, Platform& platform) {
  return File(platform.OpenFile(path, mode), &std::fclose);
}

// Where a cut point lies and how the copy must begin.
struct CutPoint {
  uint64_t offset = 0;  // first byte to copy
  bool addEmptyLine = false;
  std::string lineBreak = "\r\n";
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

// Copies what is left of `log` (to its end as it stands) into `temp`; the
// number of bytes copied, or nothing when a read or write failed.
std::optional<uint64_t> CopyRest(std::FILE* log, std::FILE* temp, std::vector<char>& block) {
  uint64_t copied = 0;
  std::clearerr(log);  // a read after the end of the file sees what was appended since
  for (;;) {
    size_t got = std::fread(block.data(), 1, block.size(), log);
    if (got > 0 && std::fwrite(block.data(), 1, got, temp) != got) return std::nullopt;
    copied += got;
    if (got < block.size()) {
      if (std::ferror(log)) return std::nullopt;
      return copied;
    }
  }
}

enum class Carried { kComplete, kFailed, kStillGrowing, kChanged };

// The mailer goes on writing while the log is cut. Just before the copy takes
// the log's place, whatever the log grew by is carried into the copy; a log
// that grows again meanwhile gets another round, up to kCarryRounds. Lines the
// mailer writes between the last check and the rename still go to the old file.
Carried CarryAppended(std::FILE* log, std::FILE* temp, uint64_t logEnd, const Settings& settings,
                      Platform& platform, std::vector<char>& block) {
  constexpr int kCarryRounds = 8;
  for (int round = 0;; ++round) {
    if (!platform.SyncFile(temp)) return Carried::kFailed;
    std::optional<uint64_t> size = platform.FileSize(settings.LOG);
    if (size && *size == logEnd) return Carried::kComplete;
    // Smaller, or gone: the log was replaced or emptied behind our back.
    if (!size || *size < logEnd) return Carried::kChanged;
    if (round == kCarryRounds) return Carried::kStillGrowing;
    std::optional<uint64_t> more = CopyRest(log, temp, block);
    if (!more) return Carried::kFailed;
    // The name no longer leads to the file being copied.
    if (*more == 0) return Carried::kChanged;
    logEnd += *more;
  }
}

File OpenLogOrStop(const Settings& settings, Console& console, Platform& platform) {
  console.TimeStamp();
  File log = OpenFile(settings.LOG, "rb", platform);
  if (!log) {
    console.ConsoleLog(kError, kUnableToOpen, {"log file", settings.LOG});
    StopRun(1);
  }
  console.ConsoleLog(kMilestone, kCutting);
  return log;
}

void DropTemp(const std::string& tempPath, Console& console, Platform& platform) {
  if (platform.FileExists(tempPath) && !platform.RemoveFile(tempPath)) {
    console.ConsoleLog(kError, kDiskTrouble);
  }
}

// Writes the copy completely, with what the mailer appended meanwhile, gives it
// the log's owner and permissions and renames it over the log. On any failure
// the log stays as it was and the copy is removed.
void ReplaceLog(File& logFile, const CutPoint& cut, const Settings& settings, Console& console,
                Platform& platform) {
  std::FILE* log = logFile.get();
  std::string tempPath = TempPathFor(settings.LOG, platform);
  errno = 0;
  File temp = OpenFile(tempPath, "wb", platform);
  if (!temp) {
    console.ConsoleLog(kError, kUnableToCreate, {"temp file", tempPath});
    console.Reason(ErrnoOr(EIO));
    console.NoteUnwritten();
    return;
  }
  errno = 0;
  bool written = true;
  if (cut.addEmptyLine) {
    written = std::fwrite(cut.lineBreak.data(), 1, cut.lineBreak.size(), temp.get()) ==
              cut.lineBreak.size();
  }
  written = written && std::fseek(log, static_cast<long>(cut.offset), SEEK_SET) == 0;
  std::vector<char> block(kBlockSize);
  std::optional<uint64_t> copied = written ? CopyRest(log, temp.get(), block) : std::nullopt;
  Carried carried =
      copied ? CarryAppended(log, temp.get(), cut.offset + *copied, settings, platform, block)
             : Carried::kFailed;
  int error = carried == Carried::kFailed ? ErrnoOr(EIO) : 0;
  if (std::fclose(temp.release()) != 0 && carried == Carried::kComplete) {
    carried = Carried::kFailed;
    error = ErrnoOr(EIO);
  }
  logFile.reset();  // some systems refuse to replace a file that is open
  if (carried == Carried::kComplete) {
    KeepAccess(settings.LOG, tempPath, console, platform);
    errno = 0;
    if (platform.ReplaceFile(tempPath, settings.LOG)) return;
    error = ErrnoOr(EIO);
  }
  if (carried == Carried::kStillGrowing) {
    console.ConsoleLog(kError, " The log kept growing while it was cut; it is left as it was");
  } else if (carried == Carried::kChanged) {
    console.ConsoleLog(kError, " The log was replaced while it was cut; it is left as it was");
  } else {
    console.ConsoleLog(kError, kIoProblem);
    console.Reason(error);
  }
  console.NoteUnwritten();
  DropTemp(tempPath, console, platform);
}

void ReopenOrStop(const Settings& settings, Console& console, Platform& platform) {
  if (!OpenFile(settings.LOG, "rb", platform)) {
    console.ConsoleLog(kError, kDiskTrouble);
    StopRun(1);
  }
}

int32_t CutThreshold(const Settings& settings, const LogCalendar& calendar) {
  return DayOfYear(calendar.currentDay, calendar.currentMonth, calendar.currentYear) -
         settings.cutLogDays;
}

// The line break that ends the line starting at `lineStart` - 1: CR LF or LF.
std::string LineBreakBefore(std::FILE* log, uint64_t lineStart) {
  if (lineStart < 2) return "\n";
  char two[2] = {0, 0};
  if (std::fseek(log, static_cast<long>(lineStart - 2), SEEK_SET) != 0 ||
      std::fread(two, 1, 2, log) != 2) {
    return "\n";
  }
  return (two[0] == '\r' && two[1] == '\n') ? "\r\n" : "\n";
}

std::optional<CutPoint> FindOldCutPoint(std::FILE* log, const Settings& settings,
                                        const LogCalendar& calendar) {
  const TimeWindow& w = settings.timeWindow;
  LogPeriod period = PeriodOf(w.startDaysBack, w.startTime, w.endDaysBack, w.endTime, calendar);
  if (period.firstDay < 0) period.firstDay = 1;
  if (period.lastDay < 0) period.lastDay = 1;
  int32_t threshold = CutThreshold(settings, calendar);
  LineReader reader(log, kBlockSize);
  std::string_view line;
  while (reader.Next(line)) {
    // A line read together with the end of the file is never a cut point.
    if (reader.LastLineUnterminated()) return std::nullopt;
    if (line.empty() || kLevelCharacters.find(line[0]) == std::string_view::npos) continue;
    bool qualifies;
    if (settings.CUT_LOG) {
      std::optional<int32_t> day = LineDayNumber(line, calendar);
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

void CutLogOld(const Settings& settings, Console& console, Platform& platform) {
  File log = OpenLogOrStop(settings, console, platform);
  std::optional<CutPoint> cut = FindOldCutPoint(log.get(), settings, CalendarOf(console));
  if (cut) ReplaceLog(log, *cut, settings, console, platform);
  log.reset();
  ReopenOrStop(settings, console, platform);
}

void CutLogNew(const Settings& settings, Console& console, Platform& platform) {
  File log = OpenLogOrStop(settings, console, platform);
  LogCalendar calendar = CalendarOf(console);
  int32_t threshold = CutThreshold(settings, calendar);
  LineReader reader(log.get(), kBlockSize);
  std::string_view line;
  int32_t lastDay = 0;
  std::optional<uint64_t> cutLineStart;
  while (reader.Next(line)) {
    if (line.empty()) continue;
    std::optional<int32_t> day = LineDayNumber(line, calendar);
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
    cut.offset = *cutLineStart - LineBreakBefore(log.get(), *cutLineStart).size();
  }
  console.Bare("LogFilePos=" + std::to_string(cut.offset));
  ReplaceLog(log, cut, settings, console, platform);
  log.reset();
  ReopenOrStop(settings, console, platform);
}

void CutLog(const Settings& settings, Console& console, Platform& platform) {
  if (!settings.CUT_LOG && settings.cutLogDays == 0) return;
  if (settings.CUT_LOG_NEWALG) {
    CutLogNew(settings, console, platform);
  } else {
    CutLogOld(settings, console, platform);
  }
}

}  // namespace zentrak
