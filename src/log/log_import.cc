// The import's merge: one head group per file (a dated line and the undated
// lines after it), the earliest head given out next. Lines come out in the
// order the readers expect of one log, so either reader takes them unchanged.
#include "log/log_import.h"

#include <algorithm>
#include <cerrno>
#include <unordered_map>

#include "support/line_reader.h"
#include "support/temporary_path.h"

namespace zentrak {
namespace {

// Longer than any line a reader keeps (binkd's are cut at 1100 bytes).
constexpr size_t kImportLineLength = 4096;
constexpr size_t kStreamBuffer = size_t{256} << 10;
constexpr size_t kOutTarget = size_t{256} << 10;
constexpr uint64_t kProgressEvery = uint64_t{8} << 20;

std::optional<LogInstant> InstantOf(std::string_view line, const RunCalendar& calendar) {
  std::optional<int32_t> day = LineDayNumber(line, calendar);
  if (!day) return std::nullopt;
  int32_t time = LineTime(line);
  if (time < 0) return std::nullopt;
  return LogInstant{*day, time};
}

}  // namespace

struct MergedLogs::Stream {
  Stream(std::unique_ptr<File> opened, GzipFile* compressed, size_t number)
      : file(std::move(opened)), gzip(compressed), index(number), reader(*file, kStreamBuffer) {}
  std::unique_ptr<File> file;
  GzipFile* gzip;
  size_t index;
  LineReader reader;
  std::string group;  // the head: a dated line first, then the undated ones after it
  size_t datedLength = 0;
  LogInstant at;
  bool has = false;
  bool done = false;
  std::string next;  // the dated line that begins the following group
  bool hasNext = false;
  LogInstant nextAt;
};

MergedLogs::MergedLogs(std::vector<ImportFile> files, std::vector<std::unique_ptr<File>> opened,
                       std::vector<GzipFile*> gzips, const RunCalendar& calendar,
                       std::function<void(const ImportProgress&)> progress)
    : files_(std::move(files)), calendar_(calendar), progress_(std::move(progress)) {
  for (size_t k = 0; k < opened.size(); ++k) {
    streams_.push_back(std::make_unique<Stream>(std::move(opened[k]), gzips[k], k));
  }
}

MergedLogs::~MergedLogs() = default;

bool MergedLogs::Refill() {
  // The stream's next group: the dated line found last time, or the file's
  // first lines, and every undated line up to the next dated one.
  auto advance = [this](Stream& s) {
    s.group.clear();
    s.has = false;
    if (s.hasNext) {
      s.group.assign(s.next).push_back('\n');
      s.datedLength = s.next.size();
      s.at = s.nextAt;
      s.has = true;
      s.hasNext = false;
    }
    std::string_view line;
    while (!s.done) {
      if (!s.reader.Next(line, kImportLineLength)) {
        s.done = true;
        if (s.file->ReadFailed()) failed_ = true;
        break;
      }
      std::optional<LogInstant> at = InstantOf(line, calendar_);
      ImportFile& info = files_[s.index];
      if (at) {
        if (!info.first) info.first = at;
        info.last = at;
      } else if (!line.empty()) {
        ++info.undated;
      }
      if (at && s.has) {
        s.next.assign(line);
        s.nextAt = *at;
        s.hasNext = true;
        break;
      }
      s.group.append(line).push_back('\n');
      if (at) {
        s.at = *at;
        s.has = true;
        s.datedLength = s.group.size() - 1;
      }
    }
    // Undated lines at a file's end go out with the group before them.
    if (!s.has && !s.group.empty()) s.has = true;
  };
  out_.erase(0, outAt_);
  outAt_ = 0;
  while (out_.size() < kOutTarget) {
    Stream* best = nullptr;
    for (auto& stream : streams_) {
      Stream& s = *stream;
      if (!s.has && !s.done) advance(s);
      if (!s.has) continue;
      if (best == nullptr || s.at < best->at) best = &s;
    }
    if (best == nullptr) break;
    if (best->at.Seconds() != lastInstant_.Seconds()) {
      sameInstant_.clear();
      lastInstant_ = best->at;
    }
    std::string head = best->group.substr(0, best->datedLength);
    auto [it, added] = sameInstant_.try_emplace(head, best->index);
    if (!added && it->second != best->index) {
      ++doubled_;
    } else {
      out_ += best->group;
    }
    best->has = false;
  }
  given_ += out_.size();
  sinceProgress_ += out_.size();
  if (progress_ && (sinceProgress_ >= kProgressEvery || out_.empty())) {
    sinceProgress_ = 0;
    ImportProgress now;
    now.files = streams_.size();
    for (auto& stream : streams_) now.filesDone += stream->done && !stream->has ? 1 : 0;
    now.bytes = given_;
    now.at = lastInstant_.day == INT32_MIN ? std::nullopt : std::optional<LogInstant>(lastInstant_);
    progress_(now);
  }
  return !out_.empty();
}

size_t MergedLogs::Read(char* data, size_t size) {
  size_t got = 0;
  while (got < size) {
    if (outAt_ == out_.size() && !Refill()) break;
    size_t take = std::min(size - got, out_.size() - outAt_);
    std::copy_n(out_.data() + outAt_, take, data + got);
    outAt_ += take;
    got += take;
  }
  return got;
}

void MergedLogs::ReportCompressed(Console& console) const {
  for (const auto& stream : streams_) {
    if (stream->gzip != nullptr) ReportGzip(files_[stream->index].path, *stream->gzip, console);
  }
}

std::unique_ptr<MergedLogs> OpenImport(const std::vector<std::string>& paths,
                                       const RunCalendar& calendar, Console& console,
                                       Platform& platform,
                                       std::function<void(const ImportProgress&)> progress) {
  struct Opened {
    ImportFile info;
    std::unique_ptr<File> file;
    GzipFile* gzip = nullptr;
  };
  std::vector<Opened> opened;
  for (const std::string& path : paths) {
    if (std::any_of(opened.begin(), opened.end(),
                    [&](const Opened& o) { return o.info.path == path; })) {
      continue;
    }
    std::string_view compression = CompressionOfName(path);
    if (!compression.empty() && compression != "gz") {
      console.ConsoleLog(kError, " %s is compressed as %s, which Zentrak does not read",
                         {path, compression});
      console.NoteUnwritten();
      continue;
    }
    Opened one;
    one.info.path = path;
    errno = 0;
    one.file = OpenLogFile(path, platform, &one.gzip);
    if (!one.file) {
      console.ConsoleLog(kError, " Unable to open %s (%s)", {"log file", path});
      console.Reason(ErrnoOr(EIO));
      console.NoteUnwritten();
      continue;
    }
    // A pipe cannot be probed and read again: it goes last, as it comes.
    if (one.file->Seek(0)) {
      one.info.first = FirstInstant(*one.file, calendar);
      if (!one.file->Seek(0)) continue;
    }
    opened.push_back(std::move(one));
  }
  if (opened.empty()) return nullptr;
  // Files without a dated line last; the others by their first line.
  std::stable_sort(opened.begin(), opened.end(), [](const Opened& a, const Opened& b) {
    if (!a.info.first || !b.info.first) return a.info.first.has_value() && !b.info.first;
    return *a.info.first < *b.info.first;
  });
  std::vector<ImportFile> files;
  std::vector<std::unique_ptr<File>> handles;
  std::vector<GzipFile*> gzips;
  for (Opened& one : opened) {
    console.ConsoleLog(kMilestone, " Reading %s (%s)", {"log file", one.info.path});
    files.push_back(std::move(one.info));
    handles.push_back(std::move(one.file));
    gzips.push_back(one.gzip);
  }
  return std::make_unique<MergedLogs>(std::move(files), std::move(handles), std::move(gzips),
                                      calendar, std::move(progress));
}

}  // namespace zentrak
