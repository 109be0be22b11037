// The report frame, the statistic bar and the link-list exchange sort.
#include "reports/report_frame.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <numeric>

#include "log/log_dates.h"
#include "support/temporary_path.h"
#include "support/text.h"

namespace zentrak {
namespace {

constexpr std::string_view kUnableToCreate = " Unable to create %s (%s)";
constexpr std::string_view kProcessing = " Processing %s";
constexpr std::string_view kUnableToFindTemplate = " Unable to find %s template file (%s)";
constexpr std::string_view kBadLineLength = " Bad or missing %s line length in template..";
constexpr std::string_view kUnableToWrite = " Unable to write %s (%s)";

// A report is written under this name and renamed over its output only when it
// is complete, so an interrupted run never leaves half a report.
std::string TemporaryPathOf(ReportContext& ctx, const std::string& outputPath) {
  return TemporaryPathFor(outputPath, ctx.platform);
}

// A failed report leaves no output behind, neither the new one nor an old one,
// and the run ends with status 2.
void AbandonReport(ReportContext& ctx, const ReportRow& row, const std::string& outputPath) {
  ctx.platform.RemoveFile(TemporaryPathOf(ctx, outputPath));
  ctx.platform.RemoveFile(outputPath);  // a failed delete changes nothing for the run
  ctx.settings.*row.makeStat = false;
  ctx.console.NoteUnwritten();
}

// Forces the finished report to the disk and puts it in place of the output.
bool CommitReport(ReportContext& ctx, const ReportRow& row, const std::string& outputPath) {
  std::string temporaryPath = TemporaryPathOf(ctx, outputPath);
  int error = ctx.engine.OutputError();
  if (error == 0) {
    errno = 0;
    std::FILE* file = ctx.platform.OpenFile(temporaryPath, "rb");
    if (file == nullptr || !ctx.platform.SyncFile(file)) error = ErrnoOr(EIO);
    if (file != nullptr) std::fclose(file);
  }
  if (error == 0) {
    errno = 0;
    if (ctx.platform.ReplaceFile(temporaryPath, outputPath)) return true;
    error = ErrnoOr(EIO);
  }
  ctx.console.ConsoleLog(kError, kUnableToWrite, {row.noun, outputPath});
  ctx.console.Reason(error);
  AbandonReport(ctx, row, outputPath);
  return false;
}

// Whether the header left the report usable; prints the line-length message when
// the report needs one and has none, whatever else went wrong.
bool HeaderUsable(ReportContext& ctx, const ReportRow& row, bool headerDone) {
  bool lineLengthMissing = row.lineLengthRequired && ctx.report.lineLength == -1;
  if (lineLengthMissing) ctx.console.ConsoleLog(kError, kBadLineLength, {row.word});
  return headerDone && !lineLengthMissing;
}

}  // namespace

const ReportRow& ReportRowOf(ReportKind kind) { return kReportTable.at(kind - 1); }

bool RunReportFrame(ReportContext& ctx, ReportKind kind, const ReportSteps& steps) {
  const ReportRow& row = ReportRowOf(kind);
  const std::string& outputName = ctx.settings.*row.outputName;
  std::string outputPath = ctx.settings.OUTPUT + outputName;
  // Text mode: a report's lines end the way the system's text files do, so a
  // Windows station gets CR LF (POSIX makes no difference between the modes).
  errno = 0;
  std::FILE* output = ctx.platform.OpenFile(TemporaryPathOf(ctx, outputPath), "w");
  if (output == nullptr) {
    ctx.console.ConsoleLog(kError, kUnableToCreate, {row.noun, outputPath});
    ctx.console.Reason(ErrnoOr(EIO));
    ctx.settings.*row.makeStat = false;
    ctx.console.NoteUnwritten();
    return false;
  }
  ctx.console.ConsoleLog(kProgress, kProcessing, {outputName});
  if (steps.prepare) steps.prepare();

  ctx.report.reportKind = row.kind;
  if (row.lineLengthRequired) ctx.report.lineLength = -1;
  std::string templatePath = ctx.settings.TEMPLATE + ctx.settings.*row.templateName;
  errno = 0;
  std::FILE* templateFile = ctx.platform.OpenFile(templatePath, "rb");
  if (templateFile == nullptr) {
    ctx.console.ConsoleLog(kError, kUnableToFindTemplate, {row.word, templatePath});
    ctx.console.Reason(ErrnoOr(EIO));
    std::fclose(output);
    AbandonReport(ctx, row, outputPath);
    return false;
  }

  ctx.engine.Open(templateFile, output);
  if (!HeaderUsable(ctx, row, ctx.engine.TemplateHeader(row.word))) {
    ctx.engine.CloseFiles();
    AbandonReport(ctx, row, outputPath);
    return false;
  }
  if (steps.records && !steps.records()) {
    // The report ended itself early; what it wrote so far is its output.
    CommitReport(ctx, row, outputPath);
    return false;
  }
  if (steps.cleanUp) steps.cleanUp();
  ctx.engine.TemplateFooter();
  return CommitReport(ctx, row, outputPath);
}

std::string BarText(int32_t length, char symbol) {
  return std::string(static_cast<size_t>(length & 0xFF), symbol);
}

bool PublishBar(ReportState& report, double value, double first, char symbol) {
  report.statLine.clear();
  report.barLength = 0;
  if (first == 0) return false;
  int64_t length = RoundHalfAway(value / first * report.lineLength);
  // Values above the first one cannot come out of a descending sort; the clamp
  // only keeps a stray value from wrapping through the 8-bit length.
  report.barLength = static_cast<int32_t>(std::clamp<int64_t>(length, 0, 255));
  report.statLine = BarText(report.barLength, symbol);
  return !report.statLine.empty();
}

void SortLinks(std::vector<TLink>& links, const LinkAfter& after) {
  size_t n = links.size();
  if (n < 2) return;
  // Rank the links once (equal links share a rank), then run the exchange sort
  // on the ranks: same result, ties included, without comparing records n²/2 times.
  std::vector<size_t> byRank(n);
  std::iota(byRank.begin(), byRank.end(), size_t{0});
  std::stable_sort(byRank.begin(), byRank.end(),
                   [&](size_t a, size_t b) { return after(links[b], links[a]); });
  std::vector<int64_t> ranks(n);
  int64_t rank = 0;
  for (size_t k = 1; k < n; ++k) {
    if (after(links[byRank[k]], links[byRank[k - 1]])) ++rank;
    ranks[byRank[k]] = rank;
  }
  std::vector<size_t> order = ExchangeSortOrder(ranks);
  std::vector<TLink> sorted;
  sorted.reserve(n);
  for (size_t index : order) sorted.push_back(std::move(links[index]));
  links = std::move(sorted);
}

bool SysopAfter(const TLink& a, const TLink& b) { return a.Sysop.compare(b.Sysop) > 0; }

bool CpsAfter(const TLink& a, const TLink& b) { return a.Cps < b.Cps; }

int64_t LinkTraffic(const TLink& link) { return link.Received + link.Sent; }

bool TrafficAfter(const TLink& a, const TLink& b) { return LinkTraffic(a) < LinkTraffic(b); }

bool TimeAfter(const TLink& a, const TLink& b) { return a.OnlineTime < b.OnlineTime; }

bool AddressAfter(const TLink& a, const TLink& b) {
  return CompareAddresses(a.Address, b.Address) > 0;
}

}  // namespace zentrak
