// The failures report.
#include "reports/failures_report.h"

namespace zentrak {

void MakeFailuresReport(ReportContext& ctx) {
  ReportSteps steps;
  steps.records = [&ctx] {
    const auto count = static_cast<int32_t>(ctx.model.failures.size());
    for (int32_t k = 0; k < count; ++k) {
      ctx.report.currentIndex = k;
      ctx.engine.TemplateBody();
    }
    // The footer's totals read no record.
    ctx.report.currentIndex = count;
    return true;
  };
  RunReportFrame(ctx, kFailuresReport, steps);
}

}  // namespace zentrak
