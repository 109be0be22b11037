// Single statistics files.
#include "reports/single_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "console/run_stop.h"
#include "support/temporary_path.h"

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

// Copies bytes, not lines, so that a line a template joined with "@NOEND()"
// arrives whole however long it grew. A report that ends without a line end
// gets one, so the empty separator line stays a line of its own.
// Returns 0, or the system's error number when the joined file could not take
// all of it.
int AppendReport(std::FILE* report, std::FILE* joined) {
  errno = 0;
  char buffer[64 * 1024];
  char last = '\n';
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof(buffer), report)) > 0) {
    std::fwrite(buffer, 1, got, joined);
    last = buffer[got - 1];
  }
  if (last != '\n') std::fputc('\n', joined);
  std::fputc('\n', joined);
  bool written = std::fflush(joined) == 0 && std::ferror(joined) == 0;
  return written ? 0 : ErrnoOr(EIO);
}

// The joined file grows under this name and replaces the old one only when it
// is complete, so an interrupted run never leaves half a joined file.
std::string TemporaryJoinedPath(const std::string& path, ReportContext& ctx) {
  return TemporaryPathFor(path, ctx.platform);
}

// The reports are written; only the joined file is missing, so the run ends
// here with status 2 rather than 1.
[[noreturn]] void StopJoining(const SingleFileEntry& entry, int error, ReportContext& ctx) {
  ctx.console.ConsoleLog(kError, kUnableToMake, {entry.name});
  ctx.console.Reason(error);
  StopRun(2);
}

// A joined file that could not be written is no copy: the reports stay, the
// partial file goes, and the run ends as when the file could not be created.
[[noreturn]] void JoinedFileFailed(std::FILE* joined, const std::string& path,
                                   const SingleFileEntry& entry, int error, ReportContext& ctx) {
  std::fclose(joined);
  ctx.platform.RemoveFile(TemporaryJoinedPath(path, ctx));
  StopJoining(entry, error, ctx);
}

// Adds one report to the joined file; true when it was added, false when it
// was skipped. Writing the joined file fails the run.
bool AddReport(int code, std::FILE* joined, const std::string& joinedPath,
               const SingleFileEntry& entry, ReportContext& ctx) {
  const ReportRow& row = ReportRowOf(static_cast<ReportKind>(std::abs(code)));
  const std::string& outputName = ctx.settings.*row.outputName;
  if (!(ctx.settings.*row.makeStat)) {
    ctx.console.ConsoleLog(kError, kNotMaking, {outputName});
    return false;
  }
  std::string path = ctx.settings.OUTPUT + outputName;
  // A report that is the joined file itself gives way to it: it is not copied
  // into the file that is about to replace it.
  // Read in text mode as the report was written, so its line ends and the
  // joined file's own ones come out alike.
  std::FILE* report = path == joinedPath ? nullptr : ctx.platform.OpenFile(path, "r");
  if (report == nullptr) {
    ctx.console.ConsoleLog(kError, kCannotOpen, {path});
    return false;
  }
  ctx.console.ConsoleLogOpen(kProgress, kAdding, {outputName});
  int error = AppendReport(report, joined);
  std::fclose(report);
  if (error != 0) {
    ctx.console.EndLine();
    JoinedFileFailed(joined, joinedPath, entry, error, ctx);
  }
  if (code < 0) {
    ctx.platform.RemoveFile(path);
    ctx.console.Write(kErasing);
  }
  ctx.console.EndLine();
  return true;
}

bool AnyReportOn(const Settings& settings) {
  for (const ReportRow& row : kReportTable) {
    if (settings.*row.makeStat) return true;
  }
  return false;
}

}  // namespace

void MakeSingleFile(const SingleFileEntry& entry, ReportContext& ctx) {
  std::string path = ctx.settings.OUTPUT + entry.name;
  std::string temporaryPath = TemporaryJoinedPath(path, ctx);
  errno = 0;
  std::FILE* joined = ctx.platform.OpenFile(temporaryPath, "w");  // text, like the reports
  if (joined == nullptr) StopJoining(entry, ErrnoOr(EIO), ctx);
  ctx.console.ConsoleLog(kProgress, kMaking, {entry.name});
  int added = 0;
  for (int code : entry.codes) {
    if (code == 0 || std::abs(code) > static_cast<int>(kReportTable.size())) continue;
    if (AddReport(code, joined, path, entry, ctx)) ++added;
  }
  errno = 0;
  bool written = ctx.platform.SyncFile(joined);
  if (std::fclose(joined) != 0 || !written ||
      (added > 0 && !ctx.platform.ReplaceFile(temporaryPath, path))) {
    int error = ErrnoOr(EIO);
    ctx.platform.RemoveFile(temporaryPath);
    StopJoining(entry, error, ctx);
  }
  if (added == 0) {
    ctx.console.ConsoleLog(kNotice, kNothingAdded);
    ctx.platform.RemoveFile(temporaryPath);
    ctx.platform.RemoveFile(path);
    return;
  }
  ctx.console.ConsoleLog(kProgress, kTotallyAdded, {added});
}

void MakeSingleFiles(ReportContext& ctx) {
  if (ctx.settings.SingleFileTable.empty() || !AnyReportOn(ctx.settings)) return;
  for (const SingleFileEntry& entry : ctx.settings.SingleFileTable) {
    if (entry.codes.empty()) {
      ctx.console.ConsoleLog(kError, kNoStatistics, {entry.name});
      continue;
    }
    MakeSingleFile(entry, ctx);
  }
}

}  // namespace zentrak
