// Both cut algorithms find their cut point by reading lines, then copy the rest
// of the log as raw bytes into a temporary file, force it to disk and rename it
// over the log; what writers still put into the old file is carried after it.
#include "log/log_cut.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/file_cut.h"
#include "console/run_stop.h"
#include "log/line_window.h"
#include "log/log_dates.h"
#include "log/log_parser.h"
#include "log/log_source.h"
#include "support/atomic_file.h"
#include "support/gzip_file.h"
#include "support/line_reader.h"
#include "support/temporary_path.h"

namespace zentrak {
namespace {

constexpr const char* kUnableToOpen = " Unable to open %s (%s)";
constexpr const char* kUnableToCreate = " Unable to create %s (%s)";
constexpr const char* kCutting = " Cutting log time according to cfg..";
constexpr const char* kIoProblem = " Unable to cut log file.. I/O Problem..";
constexpr const char* kDiskTrouble = " Some shit is on your disk ;)";
constexpr const char* kWriterStays =
    " A writer still holds the log as it was before the cut; what it writes there now is lost";
constexpr const char* kUnableToCarry =
    " Unable to carry the lines written during the cut into the cut log";
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

// Where the bytes taken from the log go: the copy, or the cut log's end.
using Sink = std::function<bool(std::string_view)>;

// Follows the log from the cut point as it grows, across the rename, and
// passes on what it gains. It passes whole lines only: a line the mailer has
// only half written when it is read waits for its end, so that no line of
// another writer lands inside it once the copy is the log.
class LogFollower {
 public:
  LogFollower(File& log, uint64_t from) : log_(log), end_(from), block_(kBlockSize) {}

  /// Passes on the whole lines the log gained since the last call; the number
  /// of bytes it gained, or nothing when a read or write failed. The seek
  /// lets a read after the end of the file see what was appended since.
  std::optional<uint64_t> Follow(const Sink& out) {
    if (!log_.Seek(end_)) return std::nullopt;
    uint64_t gained = 0;
    for (;;) {
      size_t got = log_.Read(block_.data(), block_.size());
      if (got > 0 && !Pass(std::string_view(block_.data(), got), out)) return std::nullopt;
      gained += got;
      end_ += got;
      if (got < block_.size()) {
        if (log_.ReadFailed()) return std::nullopt;
        return gained;
      }
    }
  }
  /// Passes on the unfinished last line as well: its writer is gone.
  bool Finish(const Sink& out) {
    bool passed = unfinished_.empty() || out(unfinished_);
    unfinished_.clear();
    return passed;
  }
  /// How far the log has been read.
  uint64_t End() const { return end_; }

 private:
  bool Pass(std::string_view bytes, const Sink& out) {
    size_t last = bytes.rfind('\n');
    if (last == std::string_view::npos) {
      if (unfinished_.size() + bytes.size() <= kBlockSize) {
        unfinished_.append(bytes);
        return true;
      }
      last = bytes.size() - 1;  // no mailer writes such a line: it goes on in pieces
    }
    // The unfinished line goes on together with its end, in one piece.
    size_t first = std::min(bytes.find('\n'), last);
    unfinished_.append(bytes.substr(0, first + 1));
    bool passed = out(unfinished_) && (first == last || out(bytes.substr(first + 1, last - first)));
    unfinished_.assign(bytes.substr(last + 1));
    return passed;
  }

  File& log_;
  uint64_t end_;
  std::string unfinished_;
  std::vector<char> block_;
};

enum class Carried { kComplete, kFailed, kStillGrowing, kChanged };

// The mailer goes on writing while the log is copied. Before the copy takes
// the log's place, it takes in what the log grew by, until one check finds
// the log still; a log that grows at every one of kCatchUpRounds checks has
// a writer that never pauses. The copy is forced to the disk first, so that
// the rename that follows the last check comes soon after it.
Carried CatchUp(LogFollower& follower, AtomicFile& copy, const Settings& settings,
                Platform& platform) {
  constexpr int kCatchUpRounds = 100;
  Sink toCopy = [&copy](std::string_view bytes) { return copy.Write(bytes); };
  std::optional<uint64_t> copied = follower.Follow(toCopy);
  if (!copied || !copy.Sync()) return Carried::kFailed;
  for (int round = 0;; ++round) {
    std::optional<uint64_t> size = platform.FileSize(settings.LOG);
    if (size && *size == follower.End()) return Carried::kComplete;
    // Smaller, or gone: the log was replaced or emptied behind our back.
    if (!size || *size < follower.End()) return Carried::kChanged;
    if (round == kCatchUpRounds) return Carried::kStillGrowing;
    std::optional<uint64_t> more = follower.Follow(toCopy);
    if (!more) return Carried::kFailed;
    // The name no longer leads to the file being copied.
    if (*more == 0) return Carried::kChanged;
  }
}

enum class Followed { kComplete, kFailed, kWriterStays };

// Writers that opened the log before the rename still write into the old file,
// which this run holds open; writers that open it now write into the cut log.
// What the old file gains goes to the cut log's end, whole lines at a time,
// until no one has the old file open for writing and it has stayed still for
// a moment - a longer one where the system cannot tell who has it open. A
// writer that holds it beyond kFollowRounds keeps writing into it.
Followed FollowOldLog(LogFollower& follower, File& oldLog, const Settings& settings,
                      Platform& platform) {
  constexpr int kFollowRounds = 1500;
  constexpr int kPauseMilliseconds = 2;
  constexpr int kStillRoundsWithoutWriters = 3;
  constexpr int kStillRoundsUnknown = 100;
  std::unique_ptr<File> cutLog;
  Sink toCutLog = [&](std::string_view bytes) {
    if (!cutLog) cutLog = platform.OpenFile(settings.LOG, FileMode::kAppend);
    return cutLog && cutLog->Write(bytes);
  };
  int stillRounds = 0;
  for (int round = 0; round < kFollowRounds; ++round) {
    std::optional<uint64_t> more = follower.Follow(toCutLog);
    if (!more) return Followed::kFailed;
    stillRounds = *more == 0 ? stillRounds + 1 : 0;
    std::optional<bool> writers = oldLog.OthersMayWrite();
    int stillEnough = writers ? kStillRoundsWithoutWriters : kStillRoundsUnknown;
    if (writers != true && stillRounds >= stillEnough) {
      if (!follower.Finish(toCutLog)) return Followed::kFailed;
      return !cutLog || cutLog->Close() ? Followed::kComplete : Followed::kFailed;
    }
    platform.Pause(kPauseMilliseconds);
  }
  return Followed::kWriterStays;
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

// Reports why the old log's last lines may be missing from the cut log.
void ReportFollowed(Followed followed, Console& console) {
  if (followed == Followed::kComplete) return;
  if (followed == Followed::kWriterStays) {
    console.ConsoleLog(kError, kWriterStays);
  } else {
    console.ConsoleLog(kError, kUnableToCarry);
    console.Reason(ErrnoOr(EIO));
  }
  console.NoteUnwritten();
}

// Writes the copy completely, with what the mailer appended meanwhile, gives it
// the log's owner and permissions and renames it over the log; then carries
// what writers still put into the old file. On any failure before the rename
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
  errno = 0;
  bool written = !cut.addEmptyLine || copy.Write(cut.lineBreak);
  LogFollower follower(*log, cut.offset);
  Carried carried = written ? CatchUp(follower, copy, settings, platform) : Carried::kFailed;
  // Some systems refuse to replace a file that is open: there the copy takes
  // all, and a line written between the last check and the rename is lost.
  bool keepOpen = platform.ReplacesOpenFiles();
  if (carried == Carried::kComplete && !keepOpen &&
      !follower.Finish([&copy](std::string_view bytes) { return copy.Write(bytes); })) {
    carried = Carried::kFailed;
  }
  if (carried != Carried::kComplete) copy.MarkFailed();
  if (!keepOpen) log.reset();
  auto keepAccess = [&](const std::string& path) {
    KeepAccess(settings.LOG, path, console, platform);
  };
  if (carried == Carried::kComplete && copy.Commit(keepAccess)) {
    if (keepOpen) ReportFollowed(FollowOldLog(follower, *log, settings, platform), console);
    return;
  }
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

// Whether a cut may begin at a line.
enum class Keep {
  kNo,
  kYes,
  // The line begins the window and none of the margin before it came first:
  // the line before it is kept too.
  kWithLineBefore,
};

// A cut by age keeps the window too: the lines the run is about to report are
// never cut away, however few days CUT_LOG keeps. With them go the half hour
// before the window, where binkd's reader sees the sessions already going on,
// and at least one line before it, which tells the next run that the log went
// on before its window (so that it counts that day as covered from midnight).
class CutByAge {
 public:
  CutByAge(const Settings& settings, const RunCalendar& calendar)
      : threshold_(CutThreshold(settings, calendar)), days_(calendar) {
    const TimeWindow& w = settings.timeWindow;
    LogPeriod window = PeriodOf(w.startDaysBack, w.startTime, w.endDaysBack, w.endTime, calendar);
    windowStart_ = int64_t{window.firstDay} * kSecondsPerDay + window.startTime;
  }

  int32_t Threshold() const { return threshold_; }

  /// Whether the copy may begin at `line`, by age (`byAge`) or for the
  /// window; `day` is its day number, if any.
  Keep Keeps(std::string_view line, std::optional<int32_t>& day, bool byAge = true) {
    day = days_.Of(line);
    if (!day) return Keep::kNo;
    if (byAge && *day >= threshold_) return Keep::kYes;
    int64_t at = int64_t{*day} * kSecondsPerDay + std::max(LineTime(line), 0);
    if (at < windowStart_ - kLookBehindSeconds) return Keep::kNo;
    return at < windowStart_ ? Keep::kYes : Keep::kWithLineBefore;
  }

 private:
  int32_t threshold_;
  DayOfLineCache days_;
  int64_t windowStart_ = 0;
};

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
  CutByAge age(settings, calendar);
  LineReader reader(log, kBlockSize);
  std::string_view line;
  std::optional<uint64_t> before;  // the last log line that did not qualify
  while (reader.Next(line)) {
    // A line read together with the end of the file is never a cut point.
    if (reader.LastLineUnterminated()) return std::nullopt;
    if (line.empty() || kLevelCharacters.find(line[0]) == std::string_view::npos) continue;
    std::optional<int32_t> day;
    Keep keep = age.Keeps(line, day, settings.CUT_LOG);
    // Without CUT_LOG the period's own lines qualify, and the margin before it.
    if (!settings.CUT_LOG && keep == Keep::kWithLineBefore && !InPeriod(line, period, calendar)) {
      keep = Keep::kNo;
    }
    if (keep == Keep::kNo) {
      before = reader.LineStart();
      continue;
    }
    CutPoint cut;
    cut.offset = keep == Keep::kWithLineBefore && before ? *before : reader.LineStart();
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
  CutByAge age(settings, today);
  LineReader reader(*log, kBlockSize);
  std::string_view line;
  int32_t lastDay = 0;
  std::optional<uint64_t> before;  // the last dated line that did not qualify
  bool dated = false;
  std::optional<uint64_t> cutLineStart;
  while (reader.Next(line)) {
    if (line.empty()) continue;
    std::optional<int32_t> day;
    Keep keep = age.Keeps(line, day);
    if (!day) continue;
    dated = true;
    lastDay = *day;
    if (keep == Keep::kNo) {
      before = reader.LineStart();
      continue;
    }
    cutLineStart = keep == Keep::kWithLineBefore && before ? *before : reader.LineStart();
    break;
  }
  // A log just rotated holds no dated line yet: nothing in it to cut, and
  // the window lies in the rotated files.
  if (!cutLineStart && !dated) return;
  if (!cutLineStart) {
    console.Bare("end of file reached... strange... quitting!");
    console.Bare("fromdate=" + std::to_string(age.Threshold()));
    console.Bare("day_from_log=" + std::to_string(lastDay));
    console.ConsoleLog(kError,
                       " Every line of the log is older than the cut keeps and the window asks "
                       "for: the log is left as it was and the run stops");
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
  // A compressed log is an old one: only the file the mailer writes is cut.
  if (!CompressionOfName(settings.LOG).empty()) {
    console.ConsoleLog(kNotice, " %s is compressed: it is not cut", {settings.LOG});
    return;
  }
  // Rotated away and not written again yet: nothing to cut.
  if (!platform.FileExists(settings.LOG) && !RotatedSiblings(settings.LOG, platform).empty())
    return;
  if (settings.CUT_LOG_NEWALG) {
    CutLogNew(settings, today, console, platform);
  } else {
    CutLogOld(settings, today, console, platform);
  }
}

}  // namespace zentrak
