// The report frame, the statistic bar and the link-list exchange sort.
#include "reports/report_frame.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <numeric>
#include <utility>

#include "log/log_dates.h"
#include "support/atomic_file.h"
#include "support/temporary_path.h"
#include "support/text.h"

namespace zentrak {
namespace {

constexpr std::string_view kUnableToCreate = " Unable to create %s (%s)";
constexpr std::string_view kProcessing = " Processing %s";
constexpr std::string_view kUnableToFindTemplate = " Unable to find %s template file (%s)";
constexpr std::string_view kBadLineLength = " Bad or missing %s line length in template..";
constexpr std::string_view kUnableToWrite = " Unable to write %s (%s)";

// A failed report leaves the copy published before as it was: once the log is
// cut, yesterday's report may be the only record of those days. The run ends
// with status 2.
void AbandonReport(ReportContext& ctx, const ReportRow& row, AtomicFile& output) {
  ctx.engine.ReleaseFiles();
  output.Abandon();
  ctx.outcomes.MarkFailed(row.kind);
  ctx.console.NoteUnwritten();
}

// Puts the finished report in place of the output, all of it or nothing.
bool CommitReport(ReportContext& ctx, const ReportRow& row, AtomicFile& output,
                  const std::string& outputPath) {
  ctx.engine.ReleaseFiles();
  if (ctx.engine.OutputFailed()) output.MarkFailed(ctx.engine.OutputError());
  if (output.Commit()) return true;
  ctx.console.ConsoleLog(kError, kUnableToWrite, {row.noun, outputPath});
  ctx.console.Reason(output.Error());
  AbandonReport(ctx, row, output);
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

bool ReportMade(const ReportContext& ctx, const ReportRow& row) {
  return ctx.settings.*row.makeStat && !ctx.outcomes.Failed(row.kind);
}

bool RunReportFrame(ReportContext& ctx, ReportKind kind, const ReportSteps& steps) {
  const ReportRow& row = ReportRowOf(kind);
  const std::string& outputName = ctx.settings.*row.outputName;
  std::string outputPath = ctx.settings.OUTPUT + outputName;
  // Text mode: a report's lines end the way the system's text files do, so a
  // Windows station gets CR LF (POSIX makes no difference between the modes).
  AtomicFile output(ctx.platform, outputPath, FileMode::kWriteText);
  if (!output.IsOpen()) {
    ctx.console.ConsoleLog(kError, kUnableToCreate, {row.noun, outputPath});
    ctx.console.Reason(output.Error());
    ctx.outcomes.MarkFailed(row.kind);
    ctx.console.NoteUnwritten();
    return false;
  }
  // However the frame is left, the engine lets go of the output before it goes.
  struct Release {
    TemplateEngine& engine;
    ~Release() {
      engine.ReleaseFiles();
      engine.SetChartSource(nullptr);
    }
  } release{ctx.engine};
  ctx.engine.SetChartSource(steps.chart);
  ctx.console.ConsoleLog(kProgress, kProcessing, {outputName});
  if (steps.prepare) steps.prepare();

  ctx.report.reportKind = row.kind;
  if (row.lineLengthRequired) ctx.report.lineLength = -1;
  std::string templatePath = ctx.settings.TEMPLATE + ctx.settings.*row.templateName;
  errno = 0;
  std::unique_ptr<File> templateFile = ctx.platform.OpenFile(templatePath, FileMode::kRead);
  if (templateFile == nullptr) {
    ctx.console.ConsoleLog(kError, kUnableToFindTemplate, {row.word, templatePath});
    ctx.console.Reason(ErrnoOr(EIO));
    AbandonReport(ctx, row, output);
    return false;
  }

  ctx.engine.Open(std::move(templateFile), &output.file());
  if (!HeaderUsable(ctx, row, ctx.engine.TemplateHeader(row.word))) {
    AbandonReport(ctx, row, output);
    return false;
  }
  if (steps.records && !steps.records()) {
    // The report ended itself early; what it wrote so far is its output.
    CommitReport(ctx, row, output, outputPath);
    return false;
  }
  if (steps.cleanUp) steps.cleanUp();
  ctx.engine.TemplateFooter();
  return CommitReport(ctx, row, output, outputPath);
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
  // Rank the links once (equal links share a rank), then find the exchange
  // sort's order of the ranks: same result, ties included.
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
