// The last call report, which lists the last-call history.
#pragma once

#include <string>

#include "reports/report_frame.h"

namespace zentrak {

/// Report 13: sorts and saves the history (unless `saveHistory` is false: a
/// history that could not be read is not written over), then lists it through
/// the frame.
void MakeLastCallReport(ReportContext& ctx, const std::string& historyPath,
                        bool saveHistory = true);

}  // namespace zentrak
