// The summary report: one page of totals with the station and BBS usage.
#pragma once

#include <cstdint>
#include <string>

#include "reports/report_frame.h"

namespace zentrak {

/// Seconds from the period's first day at `startTime` to its last day at `endTime`.
int64_t PeriodSeconds(int32_t firstDay, int32_t lastDay, int32_t startTime, int32_t endTime);

/// `busySeconds` as a share of `periodSeconds`: "12.34%". A period of no
/// length (or a negative one) gives "0.00%": nothing can have used it.
std::string UsageText(double busySeconds, int64_t periodSeconds);

/// Report 11.
void MakeSummaryReport(ReportContext& ctx);

}  // namespace zentrak
