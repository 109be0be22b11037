// The summary report.
#include "reports/summary_report.h"

#include <cstdio>

#include "support/calendar.h"
#include "support/text.h"

namespace zentrak {

int64_t PeriodSeconds(int32_t firstDay, int32_t lastDay, int32_t startTime, int32_t endTime) {
  return (static_cast<int64_t>(lastDay) - firstDay) * kSecondsPerDay + endTime - startTime;
}

std::string UsageText(double busySeconds, int64_t periodSeconds) {
  double percent = periodSeconds > 0 ? busySeconds / static_cast<double>(periodSeconds) * 100 : 0;
  char text[64];
  std::snprintf(text, sizeof(text), "%.2f%%", percent);
  return CutTo(text, 20);
}

void MakeSummaryReport(ReportContext& ctx) {
  ReportSteps steps;
  // No records: a loop region in a summary template is read and never written.
  steps.records = [&ctx]() {
    const SessionModel& model = ctx.model;
    int64_t period =
        PeriodSeconds(model.PeriodFirstDay, model.PeriodLastDay, ctx.settings.timeWindow.startTime,
                      ctx.settings.timeWindow.endTime);
    double sum = static_cast<double>(model.TotalOnlineTime) +
                 static_cast<double>(model.TotalCallingTime) + static_cast<double>(model.LeftTime);
    // Parallel sessions share their seconds: the usage counts each once, and
    // the sum stays for the templates that show it.
    ctx.report.stationUsage = UsageText(static_cast<double>(BusySeconds(model)), period);
    ctx.report.stationUsageSum = UsageText(sum, period);
    ctx.report.bbsUsage = UsageText(static_cast<double>(model.TotalBbsTime), period);
    return true;
  };
  RunReportFrame(ctx, kSummaryReport, steps);
}

}  // namespace zentrak
