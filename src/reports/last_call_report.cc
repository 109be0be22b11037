// The last call report.
#include "reports/last_call_report.h"

#include "log/last_call_history.h"
#include "log/log_dates.h"

namespace zentrak {

void MakeLastCallReport(ReportContext& ctx, const std::string& historyPath, bool saveHistory) {
  // Sorted by the dates "@LASTDATE" shows, so the order and the listing agree
  // across the new year.
  SortLastCalls(ctx.model, DateOf(ctx.engine.Today()));
  // A history that could not be read leaves only this period's addresses: a
  // list of those would pass for the whole one. The report published before
  // stays, as for any report that fails.
  if (!saveHistory) {
    ctx.console.ConsoleLog(kError, " %s is left as it was: the history could not be read",
                           {ctx.settings.LASTCALL_FILE});
    ctx.outcomes.MarkFailed(kLastCallReport);
    ctx.console.NoteUnwritten();
    return;
  }
  // The history is brought up to date even when the report below fails; a
  // failed save leaves the previous file whole and is not a reason to stop,
  // but the history is lost for this run and the run says so.
  if (int error = SaveLastCalls(historyPath, ctx.model, ctx.platform)) {
    ctx.console.ConsoleLog(kError, " Unable to write %s (%s)", {"history file", historyPath});
    ctx.console.Reason(error);
    ctx.console.NoteUnwritten();
  }
  ReportSteps steps;
  steps.records = [&ctx]() {
    for (size_t k = 0; k < ctx.model.lastCalls.size(); ++k) {
      ctx.report.currentLastCall = static_cast<int32_t>(k);
      ctx.engine.TemplateBody();
    }
    return true;
  };
  RunReportFrame(ctx, kLastCallReport, steps);
}

}  // namespace zentrak
