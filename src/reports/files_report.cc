// The files report. Records of a link: for each alias that has files, one alias
// line and then its files; then the files of no alias under a group line of
// their own. Each group keeps the order in which its files started.
#include "reports/files_report.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <span>
#include <unordered_map>

#include "log/log_dates.h"
#include "support/calendar.h"
#include "support/prefetch.h"
#include "support/text.h"

namespace zentrak {
namespace {

constexpr std::string_view kCreating = "   Creating files statistic to %s";
// The group of the files that match no FILE_ALIAS. Without a line of its own a
// template would show them as the last alias group's files.
constexpr std::string_view kOtherFiles = "Other files";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool ContainsUpper(std::string_view upperName, std::string_view upperMask) {
  return upperName.find(upperMask) != std::string_view::npos;
}

// The runs of every link, in log order: links[k]'s runs are
// runs[offsets[k] .. offsets[k + 1]). A session's files lie together in the
// store, so a link's files are found through its runs without an index per file.
struct RunsByLink {
  std::vector<uint32_t> offsets;
  std::vector<uint32_t> runs;
};

RunsByLink CollectByLink(const SessionModel& model) {
  constexpr uint32_t kNoLink = UINT32_MAX;
  const FileTransfers& store = model.files;
  std::map<AddressKey, uint32_t> linkOf;
  for (size_t k = 0; k < model.links.size(); ++k) {
    linkOf.emplace(AddressKeyOf(model.links[k].Address), static_cast<uint32_t>(k));
  }
  // The link of each address text met, so that both passes below stay cheap
  // without a link number kept for every run. A run counts only when its
  // session ended and became part of a link.
  std::unordered_map<TextId, uint32_t> linkOfText;
  auto linkOfRun = [&](const TFileRun& run) {
    if (run.session >= model.sessions.size()) return kNoLink;
    const TSession& session = model.sessions[run.session];
    if (session.EndDay == kDayNotSeen || session.Bbs) return kNoLink;
    auto [known, added] = linkOfText.try_emplace(session.Address, kNoLink);
    if (added) {
      auto found = linkOf.find(AddressKeyOf(model.Text(session.Address)));
      if (found != linkOf.end()) known->second = found->second;
    }
    return known->second;
  };
  RunsByLink result;
  result.offsets.assign(model.links.size() + 1, 0);
  for (const TFileRun& run : store.runs) {
    uint32_t link = linkOfRun(run);
    if (link != kNoLink) ++result.offsets[link + 1];
  }
  for (size_t k = 1; k < result.offsets.size(); ++k) result.offsets[k] += result.offsets[k - 1];
  result.runs.resize(result.offsets.back());
  std::vector<uint32_t> next(result.offsets.begin(), result.offsets.end() - 1);
  for (size_t r = 0; r < store.runs.size(); ++r) {
    uint32_t link = linkOfRun(store.runs[r]);
    if (link != kNoLink) result.runs[next[link]++] = static_cast<uint32_t>(r);
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
    RunsByLink byLink = CollectByLink(ctx_.model);
    for (size_t k = 0; k < ctx_.model.links.size(); ++k) {
      uint32_t first = byLink.offsets[k];
      uint32_t last = byLink.offsets[k + 1];
      if (first == last) continue;
      Link(k, std::span<const uint32_t>(byLink.runs.data() + first, last - first));
    }
  }

 private:
  static constexpr int8_t kUnknownAlias = -2;
  // How far ahead a walk asks for the records it will read: a link's sessions,
  // and so its files, lie all over the store.
  static constexpr size_t kAhead = 16;

  int AliasOf(uint32_t name) {
    int8_t& known = aliasOfName_[name];
    if (known == kUnknownAlias)
      known = static_cast<int8_t>(matcher_.Match(store_.names.Text(name)));
    return known;
  }

  // The group of a file: its alias's index, or aliases_.size() for no alias.
  // With no FILE_ALIAS at all nothing is grouped, and the files stand alone.
  size_t GroupOf(uint32_t file) {
    int alias = AliasOf(store_.files[file].Name());
    return alias < 0 ? aliases_.size() : static_cast<size_t>(alias);
  }

  // Calls `visit` for each file of the runs, in log order.
  template <typename Visit>
  void ForEachFile(std::span<const uint32_t> runs, Visit visit) {
    for (size_t k = 0; k < runs.size(); ++k) {
      if (k + kAhead < runs.size()) {
        PrefetchForRead(&store_.files[store_.runs[runs[k + kAhead]].first]);
      }
      uint32_t r = runs[k];
      for (uint32_t f = store_.runs[r].first; f < store_.RunEnd(r); ++f) visit(f);
    }
  }

  // One group of a link's files: an alias's, or those of no alias.
  struct Group {
    size_t count = 0;
    uint32_t first = 0;  // its first and last file in log order
    uint32_t last = 0;
    int64_t bytes = 0;  // moved by its transferred files
    int64_t seconds = 0;
  };

  // Each group lists its files in log order. A link's sessions lie all over the
  // store, so its files are read from there once: that pass learns each file's
  // group and the groups' totals, and a stable counting sort then lays the
  // files out group by group.
  void Link(size_t link, std::span<const uint32_t> runs) {
    ReportState& report = ctx_.report;
    if (ctx_.settings.SHOW_ADDRESSES_IN_FILESSTAT) {
      ctx_.console.ConsoleLog(kProgress, kCreating, {ctx_.model.links[link].Address});
    }
    report.currentIndex = static_cast<int32_t>(link);
    report.fileLine.addressShown = false;
    size_t none = aliases_.size();
    std::vector<Group> groups(none + 1);
    groupOfFile_.clear();
    ForEachFile(runs, [&](uint32_t file) {
      size_t g = GroupOf(file);
      groupOfFile_.push_back(static_cast<uint8_t>(g));
      Group& group = groups[g];
      if (group.count++ == 0) group.first = file;
      group.last = file;
      FileFigures figures = FiguresOf(store_, file);
      if (figures.transferred) {
        // Sizes come from remote systems: a few absurd ones must not wrap the total.
        constexpr int64_t kMost = std::numeric_limits<int64_t>::max();
        group.bytes = figures.moved > kMost - group.bytes ? kMost : group.bytes + figures.moved;
        group.seconds += figures.seconds;
      }
    });
    std::vector<size_t> next(none + 1, 0);
    for (size_t g = 1; g <= none; ++g) next[g] = next[g - 1] + groups[g - 1].count;
    // The runs name the files again without reading their records.
    grouped_.resize(groupOfFile_.size());
    size_t visited = 0;
    for (uint32_t r : runs) {
      for (uint32_t f = store_.runs[r].first; f < store_.RunEnd(r); ++f) {
        grouped_[next[groupOfFile_[visited++]]++] = f;
      }
    }
    // Lines that head a group: every alias's, and the other files' when there
    // are aliases to tell them from.
    size_t headed = aliases_.empty() ? none : none + 1;
    size_t records = groupOfFile_.size();
    for (size_t g = 0; g < headed; ++g) records += groups[g].count > 0;
    size_t written = 0;
    size_t from = 0;
    for (size_t g = 0; g <= none; ++g) {
      if (groups[g].count == 0) continue;
      std::string_view aliasName = g < none ? std::string_view(aliases_[g].name) : "";
      if (g < headed) {
        if (g == none) aliasName = kOtherFiles;
        PublishAlias(aliasName, groups[g]);
        Body(++written == records);
      }
      for (size_t k = from; k < from + groups[g].count; ++k) {
        Prefetch(k);
        PublishFile(aliasName, grouped_[k]);
        Body(++written == records);
      }
      from += groups[g].count;
    }
  }

  // Asks for what writing grouped_[k + kAhead] will read, in the order each
  // step needs the one before: its record, its name's group, the name itself.
  void Prefetch(size_t k) {
    if (k + kAhead < grouped_.size()) PrefetchForRead(&store_.files[grouped_[k + kAhead]]);
    if (k + kAhead / 2 < grouped_.size()) {
      store_.names.PrefetchPlace(store_.files[grouped_[k + kAhead / 2]].Name());
    }
    if (k + kAhead / 4 < grouped_.size()) {
      store_.names.PrefetchText(store_.files[grouped_[k + kAhead / 4]].Name());
    }
  }

  void Body(bool lastOfLink) {
    ctx_.report.fileLine.endFiles = lastOfLink;
    ctx_.engine.TemplateBody();
  }

  void SetMacro(int index, std::string_view value) { ctx_.engine.SetMacroValue(index, value); }

  void PublishAlias(std::string_view aliasName, const Group& group) {
    CurrentFileLine& line = ctx_.report.fileLine;
    line.isFileLine = false;
    line.received = false;
    line.timeField = group.seconds;
    line.resumeOffset = line.abortPosition = line.size = 0;
    line.cps = 0;
    line.aliasBytes = group.bytes;
    line.aliasCps = CpsOf(static_cast<double>(group.bytes), static_cast<double>(group.seconds));
    SetMacro(macros_.alias, aliasName);
    SetMacro(macros_.name, "");
    SetMacro(macros_.start, ClockText(store_.files[group.first].StartTime()));
    SetMacro(macros_.end, ClockText(store_.files[group.last].EndTime()));
    SetMacro(macros_.time, ClockText(group.seconds));
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
  // The current link's files: the group of each in log order, and the files by group.
  std::vector<uint8_t> groupOfFile_;
  static_assert(kFileAliasCapacity < 255, "a file's group is kept in a byte");
  std::vector<uint32_t> grouped_;
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
