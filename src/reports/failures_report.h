// The failures report: per link, the sessions and calls that failed, grouped
// by why they failed, with the latest time each reason was seen.
#pragma once

#include "reports/report_frame.h"

namespace zentrak {

/// Writes the failures report (kind 15): one record per address and reason,
/// in address order, the sessions that gave no address last.
void MakeFailuresReport(ReportContext& ctx);

}  // namespace zentrak
