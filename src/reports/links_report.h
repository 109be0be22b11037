// The links report: every remote system of the period, in the link list's order.
#pragma once

#include "reports/report_frame.h"
#include "support/work_threads.h"

namespace zentrak {

/// Publishes each link of the list in turn and writes the loop body for it.
bool ListEveryLink(ReportContext& ctx, int threads = WorkThreads());

/// Writes the links report (kind 2).
void MakeLinksReport(ReportContext& ctx);

}  // namespace zentrak
