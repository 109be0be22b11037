// The last call report, which lists the last-call history.
#pragma once

#include <string>

#include "reports/report_frame.h"

namespace zentrak {

/// Report 13: sorts and saves the history, then lists it through the frame.
void MakeLastCallReport(ReportContext& ctx, const std::string& historyPath);

}  // namespace zentrak
