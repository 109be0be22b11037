// The links report: every remote system of the period, in the link list's order
// (ascending addresses, since it runs before any report that sorts).
#include "reports/links_report.h"

namespace zentrak {

bool ListEveryLink(ReportContext& ctx) {
  int32_t count = static_cast<int32_t>(ctx.model.links.size());
  for (int32_t index = 0; index < count; ++index) {
    ctx.report.currentIndex = index;
    ctx.engine.TemplateBody();
  }
  return true;
}

void MakeLinksReport(ReportContext& ctx) {
  ReportSteps steps;
  steps.records = [&ctx] { return ListEveryLink(ctx); };
  RunReportFrame(ctx, kLinksReport, steps);
}

}  // namespace zentrak
