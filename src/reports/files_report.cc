// The files report. Records of a link: for each alias that has files, one alias
// line and then its files; then the files of no alias. Each group keeps the
// order in which its files started.
#include "reports/files_report.h"

#include <algorithm>
#include <map>

#include "log/log_dates.h"
#include "support/calendar.h"
#include "support/text.h"

namespace zentrak {
namespace {

constexpr std::string_view kCreating = "   Creating files statistic to %s";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool ContainsUpper(std::string_view upperName, std::string_view upperMask) {
  return upperName.find(upperMask) != std::string_view::npos;
}

// The files of every link, in log order: links[k]'s files are
// files[offsets[k] .. offsets[k + 1]).
struct FilesByLink {
  std::vector<uint32_t> offsets;
  std::vector<uint32_t> files;
};

FilesByLink CollectByLink(const SessionModel& model) {
  const FileTransfers& store = model.files;
  std::map<AddressKey, uint32_t> linkOf;
  for (size_t k = 0; k < model.links.size(); ++k) {
    linkOf.emplace(AddressKeyOf(model.links[k].Address), static_cast<uint32_t>(k));
  }
  // A run counts only when its session ended and became part of a link.
  std::vector<int64_t> runLink(store.runs.size(), -1);
  FilesByLink result;
  result.offsets.assign(model.links.size() + 1, 0);
  for (size_t r = 0; r < store.runs.size(); ++r) {
    const TFileRun& run = store.runs[r];
    if (run.session >= model.sessions.size()) continue;
    const TSession& session = model.sessions[run.session];
    if (session.EndDay == kDayNotSeen || session.Bbs) continue;
    auto found = linkOf.find(AddressKeyOf(model.Text(session.Address)));
    if (found == linkOf.end()) continue;
    runLink[r] = found->second;
    result.offsets[found->second + 1] += store.RunEnd(r) - run.first;
  }
  for (size_t k = 1; k < result.offsets.size(); ++k) result.offsets[k] += result.offsets[k - 1];
  result.files.resize(result.offsets.back());
  std::vector<uint32_t> next(result.offsets.begin(), result.offsets.end() - 1);
  for (size_t r = 0; r < store.runs.size(); ++r) {
    if (runLink[r] < 0) continue;
    for (uint32_t f = store.runs[r].first; f < store.RunEnd(r); ++f) {
      result.files[next[runLink[r]]++] = f;
    }
  }
  return result;
}

// The five generated macros, in the order the vocabulary lists them.
struct GeneratedMacros {
  int alias = -1;
  int name = -1;
  int start = -1;
  int end = -1;
  int time = -1;
};

class FilesReport {
 public:
  explicit FilesReport(ReportContext& ctx)
      : ctx_(ctx),
        store_(ctx.model.files),
        aliases_(ctx.settings.FileAliasTable),
        matcher_(ctx.settings.FileAliasTable),
        aliasOfName_(store_.names.IdLimit(), kUnknownAlias) {}

  void Records() {
    TemplateEngine& engine = ctx_.engine;
    macros_.alias = engine.AddGeneratedMacro("@FILEALIAS", "");
    macros_.name = engine.AddGeneratedMacro("@FILENAME", "");
    macros_.start = engine.AddGeneratedMacro("@FILESTARTTIME", "");
    macros_.end = engine.AddGeneratedMacro("@FILEENDTIME", "");
    macros_.time = engine.AddGeneratedMacro("@FILETIME", "");
    FilesByLink byLink = CollectByLink(ctx_.model);
    for (size_t k = 0; k < ctx_.model.links.size(); ++k) {
      uint32_t first = byLink.offsets[k];
      uint32_t last = byLink.offsets[k + 1];
      if (first == last) continue;
      Link(k, std::vector<uint32_t>(byLink.files.begin() + first, byLink.files.begin() + last));
    }
  }

 private:
  static constexpr int8_t kUnknownAlias = -2;

  int AliasOf(uint32_t name) {
    int8_t& known = aliasOfName_[name];
    if (known == kUnknownAlias)
      known = static_cast<int8_t>(matcher_.Match(store_.names.Text(name)));
    return known;
  }

  // One group of a link's files: an alias's, or (alias -1) those of no alias.
  struct Group {
    int alias;
    size_t begin;
    size_t end;
  };

  // Puts the files in group order (a stable bucket pass: each group keeps its
  // files' order) and returns the groups that have files.
  std::vector<Group> Grouped(std::vector<uint32_t>& files) {
    int none = static_cast<int>(aliases_.size());
    std::vector<int> rank(files.size());
    std::vector<size_t> start(aliases_.size() + 2, 0);
    for (size_t i = 0; i < files.size(); ++i) {
      int alias = AliasOf(store_.files[files[i]].Name());
      rank[i] = alias < 0 ? none : alias;
      ++start[rank[i] + 1];
    }
    for (size_t g = 1; g < start.size(); ++g) start[g] += start[g - 1];
    std::vector<uint32_t> ordered(files.size());
    std::vector<size_t> next(start.begin(), start.end() - 1);
    for (size_t i = 0; i < files.size(); ++i) ordered[next[rank[i]]++] = files[i];
    files.swap(ordered);
    std::vector<Group> groups;
    for (int g = 0; g <= none; ++g) {
      if (start[g] == start[g + 1]) continue;
      groups.push_back(Group{g == none ? -1 : g, start[g], start[g + 1]});
    }
    return groups;
  }

  void Link(size_t link, std::vector<uint32_t> files) {
    ReportState& report = ctx_.report;
    if (ctx_.settings.SHOW_ADDRESSES_IN_FILESSTAT) {
      ctx_.console.ConsoleLog(kProgress, kCreating, {ctx_.model.links[link].Address});
    }
    report.currentIndex = static_cast<int32_t>(link);
    report.fileLine.addressShown = false;
    std::vector<Group> groups = Grouped(files);
    size_t records = files.size();
    for (const Group& group : groups) records += group.alias >= 0 ? 1 : 0;
    size_t written = 0;
    for (const Group& group : groups) {
      std::string_view aliasName =
          group.alias >= 0 ? std::string_view(aliases_[group.alias].name) : std::string_view();
      if (group.alias >= 0) {
        PublishAlias(aliasName, files.data() + group.begin, group.end - group.begin);
        Body(++written == records);
      }
      for (size_t i = group.begin; i < group.end; ++i) {
        PublishFile(aliasName, files[i]);
        Body(++written == records);
      }
    }
  }

  void Body(bool lastOfLink) {
    ctx_.report.fileLine.endFiles = lastOfLink;
    ctx_.engine.TemplateBody();
  }

  void SetMacro(int index, std::string_view value) { ctx_.engine.SetMacroValue(index, value); }

  void PublishAlias(std::string_view aliasName, const uint32_t* files, size_t count) {
    int64_t bytes = 0;
    int64_t seconds = 0;
    for (size_t i = 0; i < count; ++i) {
      FileFigures figures = FiguresOf(store_, files[i]);
      if (!figures.transferred) continue;
      bytes += figures.moved;
      seconds += figures.seconds;
    }
    CurrentFileLine& line = ctx_.report.fileLine;
    line.isFileLine = false;
    line.received = false;
    line.timeField = seconds;
    line.resumeOffset = line.abortPosition = line.size = 0;
    line.cps = 0;
    line.aliasBytes = bytes;
    line.aliasCps = CpsOf(static_cast<double>(bytes), static_cast<double>(seconds));
    SetMacro(macros_.alias, aliasName);
    SetMacro(macros_.name, "");
    SetMacro(macros_.start, ClockText(store_.files[files[0]].StartTime()));
    SetMacro(macros_.end, ClockText(store_.files[files[count - 1]].EndTime()));
    SetMacro(macros_.time, ClockText(seconds));
  }

  void PublishFile(std::string_view aliasName, uint32_t index) {
    const TFileTransfer& file = store_.files[index];
    FileFigures figures = FiguresOf(store_, index);
    CurrentFileLine& line = ctx_.report.fileLine;
    line.isFileLine = true;
    line.received = file.Received();
    line.timeField = figures.timeField;
    line.resumeOffset = figures.resumeOffset;
    line.abortPosition = figures.abortPosition;
    line.size = store_.Size(index);
    line.cps = figures.cps;
    SetMacro(macros_.alias, aliasName);
    SetMacro(macros_.name, NameInCase(store_.names.Text(file.Name()), ctx_.settings.FILE_CASE));
    SetMacro(macros_.start, ClockText(file.StartTime()));
    SetMacro(macros_.end, ClockText(file.EndTime()));
    SetMacro(macros_.time, ClockText(figures.seconds));
  }

  ReportContext& ctx_;
  const FileTransfers& store_;
  const std::vector<FileAlias>& aliases_;
  FileAliasMatcher matcher_;
  std::vector<int8_t> aliasOfName_;  // by name id: alias index, -1 none, kUnknownAlias
  GeneratedMacros macros_;
};

}  // namespace

FileAliasMatcher::FileAliasMatcher(const std::vector<FileAlias>& aliases) {
  for (const FileAlias& alias : aliases) {
    std::vector<std::string>& masks = upperMasks_.emplace_back();
    for (const std::string& mask : alias.masks) masks.push_back(UpperAscii(mask));
  }
}

int FileAliasMatcher::Match(std::string_view name) const {
  std::string upper = UpperAscii(name);
  for (size_t a = 0; a < upperMasks_.size(); ++a) {
    for (const std::string& mask : upperMasks_[a]) {
      if (ContainsUpper(upper, mask)) return static_cast<int>(a);
    }
  }
  return -1;
}

FileFigures FiguresOf(const FileTransfers& files, uint32_t index) {
  const TFileTransfer& file = files.files[index];
  FileFigures figures;
  if (const TFilePartial* partial = files.Partial(index)) {
    figures.resumeOffset = partial->resumeOffset;
    figures.abortPosition = partial->abortPosition;
  }
  int32_t start = file.StartTime();
  int32_t end = file.EndTime();
  if (start >= 0 && end >= 0) figures.seconds = end - start + (end < start ? kSecondsPerDay : 0);
  FileOutcome outcome = file.Outcome();
  switch (outcome) {
    case FileOutcome::kOpen:
    case FileOutcome::kAborted:
      figures.timeField = kFileTimeAborted;
      break;
    case FileOutcome::kComplete:
      figures.timeField = figures.seconds;
      break;
    case FileOutcome::kSkipped:
      figures.timeField = kFileTimeSkipped;
      break;
    case FileOutcome::kRefused:
      figures.timeField = kFileTimeRefused;
      break;
    case FileOutcome::kDelayed:
      figures.timeField = kFileTimeDelayed;
      break;
  }
  bool cut = outcome == FileOutcome::kAborted && figures.abortPosition > 0;
  figures.transferred = outcome == FileOutcome::kComplete || cut;
  if (figures.transferred) {
    int64_t last = cut ? figures.abortPosition : files.Size(index);
    figures.moved = std::max<int64_t>(last - figures.resumeOffset, 0);
    figures.cps = CpsOf(static_cast<double>(figures.moved), static_cast<double>(figures.seconds));
  }
  if (outcome == FileOutcome::kComplete && file.Cps() != TFileTransfer::kNoCps) {
    figures.cps = file.Cps();
  }
  return figures;
}

std::string NameInCase(std::string_view name, std::string_view fileCase) {
  std::string text(name);
  if (fileCase == "UP") {
    for (char& c : text) c = UpperAscii(c);
  } else if (fileCase == "LOW") {
    for (char& c : text) c = LowerAscii(c);
  }
  return text;
}

void WriteFilesRecords(ReportContext& ctx) { FilesReport(ctx).Records(); }

void MakeFilesReport(ReportContext& ctx) {
  ReportSteps steps;
  steps.prepare = [&ctx]() { SortLinks(ctx.model.links, AddressAfter); };
  steps.records = [&ctx]() {
    WriteFilesRecords(ctx);
    return true;
  };
  RunReportFrame(ctx, kFilesReport, steps);
}

}  // namespace zentrak
