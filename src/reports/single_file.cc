// Single statistics files.
#include "reports/single_file.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "console/run_stop.h"
#include "support/atomic_file.h"

namespace zentrak {
namespace {

constexpr std::string_view kUnableToMake = " Unable to make single stat file: (%s)";
constexpr std::string_view kMaking = " Making single file: %s";
constexpr std::string_view kNotMaking = "   According to config you are not making %s";
constexpr std::string_view kCannotOpen = "   Cannot open %s";
constexpr std::string_view kAdding = "   Adding %s";
constexpr std::string_view kErasing = " and erasing it";
constexpr std::string_view kNothingAdded = "   There are no stats to add in the single file..";
constexpr std::string_view kTotallyAdded = "   Totally added: %d stats";
constexpr std::string_view kNoStatistics = " There are no statistics to add in %s";
constexpr std::string_view kLeftAsItWas = "   %s is left as it was: a report it joins failed";
constexpr std::string_view kNotMade = "   %s is not made: a report it joins failed";

// Copies bytes, not lines, so that a line a template joined with "@NOEND()"
// arrives whole however long it grew. A report that ends without a line end
// gets one, so the empty separator line stays a line of its own.
// False when the joined file could not take all of it.
bool AppendReport(File& report, AtomicFile& joined) {
  char buffer[64 * 1024];
  char last = '\n';
  size_t got;
  while ((got = report.Read(buffer, sizeof(buffer))) > 0) {
    joined.Write(std::string_view(buffer, got));
    last = buffer[got - 1];
  }
  if (last != '\n') joined.Write("\n");
  joined.Write("\n");
  return joined.Flush();
}

// The reports are written; only the joined file is missing, so the run ends
// here with status 2 rather than 1.
[[noreturn]] void StopJoining(const SingleFileEntry& entry, int error, ReportContext& ctx) {
  ctx.console.ConsoleLog(kError, kUnableToMake, {entry.name});
  ctx.console.Reason(error);
  StopRun(2);
}

// A joined file that could not be written is no copy: the reports stay and the
// partial file goes.
[[noreturn]] void JoinedFileFailed(AtomicFile& joined, const SingleFileEntry& entry,
                                   ReportContext& ctx) {
  joined.Abandon();
  StopJoining(entry, joined.Error(), ctx);
}

const ReportRow* RowOfCode(int code) {
  if (code == 0 || std::abs(code) > static_cast<int>(kReportTable.size())) return nullptr;
  return &ReportRowOf(static_cast<ReportKind>(std::abs(code)));
}

// A report that was to be made but failed kept its old output; joining the
// others without it would publish a file that lacks a part.
bool AnyPartFailed(const SingleFileEntry& entry, const ReportContext& ctx) {
  for (int code : entry.codes) {
    const ReportRow* row = RowOfCode(code);
    if (row != nullptr && ctx.settings.*row->makeStat && ctx.outcomes.Failed(row->kind)) {
      return true;
    }
  }
  return false;
}

// The joined file stays as it was; each part that was not made says so as it
// always did, and one line more says why nothing changed.
void KeepEarlierCopy(const SingleFileEntry& entry, const std::string& path, ReportContext& ctx) {
  for (int code : entry.codes) {
    if (const ReportRow* row = RowOfCode(code); row != nullptr && !ReportMade(ctx, *row)) {
      ctx.console.ConsoleLog(kError, kNotMaking, {ctx.settings.*row->outputName});
    }
  }
  bool earlier = ctx.platform.FileExists(path);
  ctx.console.ConsoleLog(kError, earlier ? kLeftAsItWas : kNotMade, {entry.name});
}

// Adds one report to the joined file; true when it was added, false when it
// was skipped. Writing the joined file fails the run. A report marked for
// erasing is only noted in `toErase`: it goes once the joined file is in place.
bool AddReport(int code, AtomicFile& joined, const std::string& joinedPath,
               const SingleFileEntry& entry, ReportContext& ctx,
               std::vector<std::string>& toErase) {
  const ReportRow& row = ReportRowOf(static_cast<ReportKind>(std::abs(code)));
  const std::string& outputName = ctx.settings.*row.outputName;
  if (!ReportMade(ctx, row)) {
    ctx.console.ConsoleLog(kError, kNotMaking, {outputName});
    return false;
  }
  std::string path = ctx.settings.OUTPUT + outputName;
  // A report that is the joined file itself gives way to it: it is not copied
  // into the file that is about to replace it.
  // Read in text mode as the report was written, so its line ends and the
  // joined file's own ones come out alike.
  // A report already marked for erasing counts as gone.
  bool gone =
      path == joinedPath || std::find(toErase.begin(), toErase.end(), path) != toErase.end();
  std::unique_ptr<File> report = gone ? nullptr : ctx.platform.OpenFile(path, FileMode::kReadText);
  if (report == nullptr) {
    ctx.console.ConsoleLog(kError, kCannotOpen, {path});
    return false;
  }
  ctx.console.ConsoleLogOpen(kProgress, kAdding, {outputName});
  bool copied = AppendReport(*report, joined);
  report.reset();
  if (!copied) {
    ctx.console.EndLine();
    JoinedFileFailed(joined, entry, ctx);
  }
  if (code < 0) {
    toErase.push_back(path);
    ctx.console.Write(kErasing);
  }
  ctx.console.EndLine();
  return true;
}

// A report that failed still counts: the joined files that hold it must say
// that they were left as they were.
bool AnyReportAsked(const ReportContext& ctx) {
  for (const ReportRow& row : kReportTable) {
    if (ctx.settings.*row.makeStat) return true;
  }
  return false;
}

}  // namespace

void MakeSingleFile(const SingleFileEntry& entry, ReportContext& ctx) {
  std::string path = ctx.settings.OUTPUT + entry.name;
  if (AnyPartFailed(entry, ctx)) {
    ctx.console.ConsoleLog(kProgress, kMaking, {entry.name});
    KeepEarlierCopy(entry, path, ctx);
    return;
  }
  AtomicFile joined(ctx.platform, path, FileMode::kWriteText);  // text, like the reports
  if (!joined.IsOpen()) StopJoining(entry, joined.Error(), ctx);
  ctx.console.ConsoleLog(kProgress, kMaking, {entry.name});
  int added = 0;
  std::vector<std::string> toErase;
  for (int code : entry.codes) {
    if (RowOfCode(code) == nullptr) continue;
    if (AddReport(code, joined, path, entry, ctx, toErase)) ++added;
  }
  if (added == 0) {
    joined.Abandon();
    ctx.console.ConsoleLog(kNotice, kNothingAdded);
    ctx.platform.RemoveFile(path);
    return;
  }
  // Until the joined file is in place, the reports are the only copy of their text.
  if (!joined.Commit()) StopJoining(entry, joined.Error(), ctx);
  for (const std::string& report : toErase) ctx.platform.RemoveFile(report);
  ctx.console.ConsoleLog(kProgress, kTotallyAdded, {added});
}

void MakeSingleFiles(ReportContext& ctx) {
  if (ctx.settings.SingleFileTable.empty() || !AnyReportAsked(ctx)) return;
  for (const SingleFileEntry& entry : ctx.settings.SingleFileTable) {
    if (entry.codes.empty()) {
      ctx.console.ConsoleLog(kError, kNoStatistics, {entry.name});
      continue;
    }
    MakeSingleFile(entry, ctx);
  }
}

}  // namespace zentrak
