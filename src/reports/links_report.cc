// The links report: every remote system of the period, in the link list's order
// (ascending addresses, since it runs before any report that sorts).
#include "reports/links_report.h"

#include "reports/record_writer.h"

namespace zentrak {

bool ListEveryLink(ReportContext& ctx, int threads) {
  WriteUnits(
      ctx, ctx.model.links.size(),
      [](TemplateEngine& engine, ReportState& report, size_t index) {
        report.currentIndex = static_cast<int32_t>(index);
        engine.TemplateBody();
        return true;
      },
      {}, {}, threads);
  return true;
}

void MakeLinksReport(ReportContext& ctx) {
  ReportSteps steps;
  steps.records = [&ctx] { return ListEveryLink(ctx); };
  RunReportFrame(ctx, kLinksReport, steps);
}

}  // namespace zentrak
