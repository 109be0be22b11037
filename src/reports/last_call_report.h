// The last call report, which lists the last-call history.
#pragma once

#include <string>

#include "reports/report_frame.h"

namespace zentrak {

/// Report 13: sorts and saves the history, then lists it through the frame.
/// With `saveHistory` false (a history that could not be read) it neither
/// writes the history over nor lists what is left of it: the report fails.
void MakeLastCallReport(ReportContext& ctx, const std::string& historyPath,
                        bool saveHistory = true);

}  // namespace zentrak
