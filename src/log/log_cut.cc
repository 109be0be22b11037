// Both cut algorithms find their cut point by reading lines, then copy the rest
// of the log as raw bytes into a temporary file, force it to disk and rename it
// over the log.
#include "log/log_cut.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/run_stop.h"
#include "log/log_dates.h"
#include "log/log_parser.h"
#include "support/line_reader.h"

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

File OpenFile(const std::string& path, const char* mode) {
  return File(std::fopen(path.c_str(), mode), &std::fclose);
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
  if (platform.SameFileSystem(".", logPath)) return kCutLogTemp;
  size_t slash = logPath.find_last_of(platform.DirSeparator());
  if (slash == std::string::npos) return kCutLogTemp;
  return logPath.substr(0, slash + 1) + kCutLogTemp;
}

File OpenLogOrStop(const Settings& settings, Console& console) {
  File log = OpenFile(settings.LOG, "rb");
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

// Writes the copy completely and renames it over the log. On any failure the
// log stays as it was and the copy is removed.
void ReplaceLog(File& logFile, const CutPoint& cut, const Settings& settings, Console& console,
                Platform& platform) {
  std::FILE* log = logFile.get();
  std::string tempPath = TempPathFor(settings.LOG, platform);
  File temp = OpenFile(tempPath, "wb");
  if (!temp) {
    console.ConsoleLog(kError, kUnableToCreate, {"temp file", tempPath});
    return;
  }
  bool written = true;
  if (cut.addEmptyLine) {
    written = std::fwrite(cut.lineBreak.data(), 1, cut.lineBreak.size(), temp.get()) ==
              cut.lineBreak.size();
  }
  written = written && std::fseek(log, static_cast<long>(cut.offset), SEEK_SET) == 0;
  std::vector<char> block(kBlockSize);
  while (written) {
    size_t got = std::fread(block.data(), 1, block.size(), log);
    if (got > 0) written = std::fwrite(block.data(), 1, got, temp.get()) == got;
    if (got < block.size()) {
      written = written && !std::ferror(log);
      break;
    }
  }
  written = written && platform.SyncFile(temp.get());
  written = (std::fclose(temp.release()) == 0) && written;
  logFile.reset();  // some systems refuse to replace a file that is open
  if (!written || !platform.ReplaceFile(tempPath, settings.LOG)) {
    console.ConsoleLog(kError, kIoProblem);
    DropTemp(tempPath, console, platform);
  }
}

void ReopenOrStop(const Settings& settings, Console& console) {
  if (!OpenFile(settings.LOG, "rb")) {
    console.ConsoleLog(kError, kDiskTrouble);
    StopRun(1);
  }
}

int32_t CutThreshold(const Settings& settings, const RunCalendar& calendar) {
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
                                        const RunCalendar& calendar) {
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

void CutLogOld(const Settings& settings, const RunCalendar& today, Console& console,
               Platform& platform) {
  File log = OpenLogOrStop(settings, console);
  std::optional<CutPoint> cut = FindOldCutPoint(log.get(), settings, today);
  if (cut) ReplaceLog(log, *cut, settings, console, platform);
  log.reset();
  ReopenOrStop(settings, console);
}

void CutLogNew(const Settings& settings, const RunCalendar& today, Console& console,
               Platform& platform) {
  File log = OpenLogOrStop(settings, console);
  int32_t threshold = CutThreshold(settings, today);
  LineReader reader(log.get(), kBlockSize);
  std::string_view line;
  int32_t lastDay = 0;
  std::optional<uint64_t> cutLineStart;
  while (reader.Next(line)) {
    if (line.empty()) continue;
    std::optional<int32_t> day = LineDayNumber(line, today);
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
  ReopenOrStop(settings, console);
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
