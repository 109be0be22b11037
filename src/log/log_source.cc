// Which files of a log a run needs, and reading them as one. The live file
// comes last; older files are taken only while the one after them begins
// later than the window needs, so a nightly run reads one or two files.
#include "log/log_source.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "log/session_model.h"
#include "support/calendar.h"
#include "support/line_reader.h"
#include "support/temporary_path.h"

namespace zentrak {
namespace {

// Far enough into a file to pass the empty lines and banners before its first
// dated line, short enough that probing a set of files costs nothing.
constexpr uint64_t kProbeBytes = uint64_t{1} << 20;
constexpr size_t kProbeBuffer = size_t{64} << 10;

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "1", "2.gz", "20261201.xz": the part's number and compression; false for any
// other name.
bool ReadTail(std::string_view tail, LogPart& part) {
  std::string_view compression = CompressionOfName(tail);
  std::string_view digits = tail;
  if (!compression.empty()) digits.remove_suffix(compression.size() + 1);
  if (!AllDigits(digits) || digits.size() > 18) return false;
  part.compression = std::string(compression);
  part.number = std::stoull(std::string(digits));
  return true;
}

size_t LastSeparator(const std::string& path, Platform& platform) {
  size_t at = path.find_last_of(platform.DirSeparator());
  size_t slash = path.find_last_of('/');
  if (at == std::string::npos) return slash;
  if (slash == std::string::npos) return at;
  return std::max(at, slash);
}

// The last dated line of a whole file: only asked where a file is missing
// after it, to say how much of the log is gone.
std::optional<LogInstant> LastInstant(const std::string& path, const RunCalendar& calendar,
                                      Platform& platform) {
  std::unique_ptr<File> file = OpenLogFile(path, platform);
  if (!file) return std::nullopt;
  LineReader reader(*file, kProbeBuffer);
  std::optional<LogInstant> last;
  std::string_view line;
  while (reader.Next(line)) {
    std::optional<int32_t> day = LineDayNumber(line, calendar);
    int32_t time = day ? LineTime(line) : -1;
    if (time >= 0) last = LogInstant{*day, time};
  }
  return last;
}

LogInstant Plus(LogInstant instant, int64_t seconds) {
  int64_t at = instant.Seconds() + seconds;
  int64_t day = at >= 0 ? at / 86400 : -((-at + 86399) / 86400);
  return LogInstant{static_cast<int32_t>(day), static_cast<int32_t>(at - day * 86400)};
}

// The part of the period between `after` and `before`, both left out; false
// when the period has nothing there.
bool MissingSpan(LogInstant after, LogInstant before, const LogPeriod& period, LogInstant& from,
                 LogInstant& till) {
  LogInstant start{period.firstDay, period.startTime};
  LogInstant end{period.lastDay, period.endTime};
  from = std::max(Plus(after, 1), start, [](auto& a, auto& b) { return a < b; });
  till = std::min(Plus(before, -1), end, [](auto& a, auto& b) { return a < b; });
  return !(till < from);
}

std::string MissingName(const std::string& live, uint64_t number) {
  return live + "." + std::to_string(number);
}

}  // namespace

std::vector<LogPart> RotatedSiblings(const std::string& live, Platform& platform) {
  size_t cut = LastSeparator(live, platform);
  std::string dir = cut == std::string::npos ? "." : live.substr(0, cut == 0 ? 1 : cut);
  std::string prefix = cut == std::string::npos ? "" : live.substr(0, cut + 1);
  std::string base = cut == std::string::npos ? live : live.substr(cut + 1);
  std::vector<LogPart> parts;
  std::optional<std::vector<std::string>> names = platform.FilesIn(dir);
  if (!names || base.empty()) return parts;
  for (const std::string& name : *names) {
    if (name.size() <= base.size() + 1 || !name.starts_with(base)) continue;
    char mark = name[base.size()];
    LogPart part;
    part.dated = mark == '-';
    if ((mark != '.' && mark != '-') ||
        !ReadTail(std::string_view(name).substr(base.size() + 1), part))
      continue;
    part.path = prefix + name;
    parts.push_back(std::move(part));
  }
  // Newest first: the lowest number, the latest date; the plain file of a
  // number before its compressed copy.
  std::sort(parts.begin(), parts.end(), [](const LogPart& a, const LogPart& b) {
    if (a.dated != b.dated) return !a.dated;
    if (a.number != b.number) return a.dated ? a.number > b.number : a.number < b.number;
    return a.compression.size() < b.compression.size();
  });
  parts.erase(std::unique(parts.begin(), parts.end(),
                          [](const LogPart& a, const LogPart& b) {
                            return a.dated == b.dated && a.number == b.number;
                          }),
              parts.end());
  return parts;
}

std::string InstantText(LogInstant instant, const RunCalendar& calendar) {
  CalendarDate date = DayNumberToDate(instant.day, calendar.currentYear);
  char text[32];
  std::snprintf(text, sizeof text, "%02d %s %02d:%02d:%02d", date.day,
                kMonthNames[std::clamp(date.month, 1, 12)], instant.time / 3600,
                instant.time / 60 % 60, instant.time % 60);
  return text;
}

void LogSource::Add(std::unique_ptr<File> file, std::string path, GzipFile* gzip) {
  Part part;
  part.path = std::move(path);
  part.file = std::move(file);
  part.gzip = gzip;
  parts_.push_back(std::move(part));
}

size_t LogSource::Read(char* data, size_t size) {
  size_t got = 0;
  while (got < size && current_ < parts_.size() && !failed_) {
    if (lineEndOwed_) {
      data[got++] = '\n';
      lineEndOwed_ = false;
      continue;
    }
    Part& part = parts_[current_];
    size_t asked = size - got;
    size_t read = part.file->Read(data + got, asked);
    if (read > 0) {
      part.any = true;
      part.last = data[got + read - 1];
      got += read;
    }
    if (read < asked) {
      if (part.file->ReadFailed()) {
        failed_ = true;
        break;
      }
      lineEndOwed_ = part.any && part.last != '\n';
      ++current_;
    }
  }
  return got;
}

bool LogSource::Close() {
  bool closed = true;
  for (Part& part : parts_) closed = part.file->Close() && closed;
  return closed;
}

void LogSource::ReportCompressed(Console& console) const {
  for (const Part& part : parts_) {
    if (part.gzip != nullptr) ReportGzip(part.path, *part.gzip, console);
  }
}

void ReportGzip(const std::string& path, const GzipFile& gzip, Console& console) {
  int64_t expanded = static_cast<int64_t>(gzip.Expanded());
  switch (gzip.Stopped()) {
    case GzipStop::kNone:
      break;
    case GzipStop::kTruncated:
      console.ConsoleLog(kError, " %s ends inside its compressed data; it is read to byte %d",
                         {path, expanded});
      break;
    case GzipStop::kDamaged:
      console.ConsoleLog(kError, " %s is not whole gzip data; it is read to byte %d",
                         {path, expanded});
      break;
    case GzipStop::kTooLarge:
      console.ConsoleLog(kError,
                         " %s expands to more than %d times its size; it is read to byte %d",
                         {path, static_cast<int64_t>(kGzipMaxRatio), expanded});
      break;
  }
  if (gzip.Stopped() != GzipStop::kNone) console.NoteUnwritten();
  if (uint64_t trailing = gzip.TrailingBytes()) {
    console.ConsoleLog(kNotice, " Bytes after the compressed data of %s, passed over: %d",
                       {path, trailing});
  }
}

std::unique_ptr<File> OpenLogFile(const std::string& path, Platform& platform, GzipFile** gzip) {
  std::unique_ptr<File> file = platform.OpenFile(path, FileMode::kRead);
  if (!file || CompressionOfName(path) != "gz") return file;
  auto expanded = std::make_unique<GzipFile>(std::move(file));
  if (gzip != nullptr) *gzip = expanded.get();
  return expanded;
}

std::optional<LogInstant> FirstInstant(File& file, const RunCalendar& calendar) {
  LineReader reader(file, kProbeBuffer);
  std::string_view line;
  while (reader.Next(line) && reader.LineStart() < kProbeBytes) {
    std::optional<int32_t> day = LineDayNumber(line, calendar);
    int32_t time = day ? LineTime(line) : -1;
    if (time >= 0) return LogInstant{*day, time};
  }
  return std::nullopt;
}

std::unique_ptr<LogSource> OpenLogSource(const std::string& live, LogInstant needFrom,
                                         const LogPeriod& period, const RunCalendar& calendar,
                                         Console& console, Platform& platform) {
  struct Opened {
    std::string path;
    std::unique_ptr<File> file;
    GzipFile* gzip = nullptr;
  };
  std::vector<Opened> files;  // newest first
  // What is missing is said after the files that are read.
  struct Said {
    std::string_view prefix;
    std::string text;
    int reason = 0;
  };
  std::vector<Said> said;
  auto say = [&](std::string_view prefix, std::string_view format,
                 std::initializer_list<FormatArg> args, int reason = 0) {
    said.push_back({prefix, FormatMessage(format, args), reason});
    if (prefix == kError) console.NoteUnwritten();
  };
  errno = 0;
  Opened first{live, nullptr, nullptr};
  first.file = OpenLogFile(live, platform, &first.gzip);
  bool rewound = true;
  std::optional<LogInstant> begins;
  if (first.file) {
    // A pipe cannot be probed and read again, and has no siblings.
    rewound = first.file->Seek(0);
    if (rewound) begins = FirstInstant(*first.file, calendar);
    if (rewound && !first.file->Seek(0)) return nullptr;
    files.push_back(std::move(first));
  } else {
    // logrotate without "create" leaves no live file until the mailer writes
    // again: the rotated files still hold the window.
    int error = errno;
    if (error != ENOENT || RotatedSiblings(live, platform).empty()) {
      errno = error;
      return nullptr;
    }
    say(kNotice, " The log file %s is not there (yet): its rotated files are read", {live});
  }
  bool complete = true;
  if (rewound && (!begins || needFrom < *begins)) {
    uint64_t expected = 1;
    for (const LogPart& part : RotatedSiblings(live, platform)) {
      if (!part.dated && part.number != expected && part.number > expected) {
        // A numbered file is missing: the log has a hole up to the newer file.
        std::optional<LogInstant> olderEnds = LastInstant(part.path, calendar, platform);
        LogInstant from, till;
        LogInstant newer = begins ? *begins : LogInstant{period.lastDay, period.endTime + 1};
        if (olderEnds && MissingSpan(*olderEnds, newer, period, from, till)) {
          say(kError, " A rotated file of the log is missing (%s): %s to %s is not read",
              {MissingName(live, expected), InstantText(from, calendar),
               InstantText(till, calendar)});
        }
      }
      expected = part.number + 1;
      if (!part.compression.empty() && part.compression != "gz") {
        say(kError,
            " %s is compressed as %s, which Zentrak does not read: the log before it is not read",
            {part.path, part.compression});
        complete = false;
        break;
      }
      Opened older{part.path, nullptr, nullptr};
      older.file = OpenLogFile(part.path, platform, &older.gzip);
      if (!older.file) {
        say(kError, " Unable to open %s (%s)", {"rotated log file", part.path}, ErrnoOr(EIO));
        complete = false;
        break;
      }
      std::optional<LogInstant> olderBegins = FirstInstant(*older.file, calendar);
      if (!older.file->Seek(0)) continue;
      files.push_back(std::move(older));
      if (olderBegins) begins = olderBegins;
      if (olderBegins && !(needFrom < *olderBegins)) break;
    }
  }
  LogInstant start{period.firstDay, period.startTime};
  LogInstant from, till;
  // A log that begins later on the window's first day is a quiet night or a
  // log cut at the window; one that begins on a later day is new.
  if (complete && begins && start.day < begins->day &&
      MissingSpan(Plus(start, -1), *begins, period, from, till)) {
    say(kNotice, " The log begins %s: %s to %s of the window is not in it",
        {InstantText(*begins, calendar), InstantText(from, calendar), InstantText(till, calendar)});
  }
  if (files.empty()) {
    errno = ENOENT;
    return nullptr;
  }
  auto source = std::make_unique<LogSource>();
  for (auto it = files.rbegin(); it != files.rend(); ++it) {
    console.ConsoleLog(kMilestone, " Reading %s (%s)", {"log file", it->path});
    uint64_t size = platform.FileSize(it->path).value_or(0);
    // A log compresses some ten times: room for its sessions, not a promise.
    source->AddDiskBytes(it->gzip != nullptr ? size * 10 : size);
    source->Add(std::move(it->file), it->path, it->gzip);
  }
  for (const Said& line : said) {
    console.ConsoleLog(line.prefix, "%s", {line.text});
    console.Reason(line.reason);
  }
  return source;
}

}  // namespace zentrak
