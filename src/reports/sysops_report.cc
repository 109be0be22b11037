// The sysops report: every remote system, ordered by its sysop's name.
#include "reports/sysops_report.h"

#include "reports/links_report.h"

namespace zentrak {

void MakeSysopsReport(ReportContext& ctx) {
  ReportSteps steps;
  steps.prepare = [&ctx] { SortLinks(ctx.model.links, SysopAfter); };
  steps.records = [&ctx] { return ListEveryLink(ctx); };
  RunReportFrame(ctx, kSysopsReport, steps);
}

}  // namespace zentrak
