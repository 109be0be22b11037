// The three bar reports: links ranked by CPS, by traffic and by online time.
#include "reports/bar_reports.h"

#include "reports/record_writer.h"

namespace zentrak {
namespace {

int64_t CpsValue(const TLink& link) { return link.Cps; }
int64_t OnlineTimeValue(const TLink& link) { return link.OnlineTime; }

}  // namespace

bool ListBarredLinks(ReportContext& ctx, const BarMeasure& measure, int threads) {
  const std::vector<TLink>& links = ctx.model.links;
  if (links.empty()) return true;
  double first = static_cast<double>(measure.value(links.front()));
  WriteUnits(
      ctx, links.size(),
      [&](TemplateEngine& engine, ReportState& report, size_t index) {
        report.currentIndex = static_cast<int32_t>(index);
        double value = static_cast<double>(measure.value(links[index]));
        if (PublishBar(report, value, first, report.cpsDrawSymbol)) engine.TemplateBody();
        return true;
      },
      {}, {}, threads);
  return true;
}

void MakeBarReport(ReportContext& ctx, const BarMeasure& measure) {
  ReportSteps steps;
  steps.prepare = [&] { SortLinks(ctx.model.links, measure.after); };
  steps.records = [&] { return ListBarredLinks(ctx, measure); };
  // Only a report that got this far resets the symbol; one that failed earlier
  // leaves its template's symbol to the next bar report.
  steps.cleanUp = [&] { ctx.report.cpsDrawSymbol = ' '; };
  RunReportFrame(ctx, measure.kind, steps);
}

void MakeCpsReport(ReportContext& ctx) { MakeBarReport(ctx, {kCpsReport, CpsAfter, CpsValue}); }

void MakeTrafficReport(ReportContext& ctx) {
  MakeBarReport(ctx, {kTrafficReport, TrafficAfter, LinkTraffic});
}

void MakeTimeReport(ReportContext& ctx) {
  MakeBarReport(ctx, {kTimeReport, TimeAfter, OnlineTimeValue});
}

}  // namespace zentrak
