// The sysops report: every remote system, ordered by its sysop's name.
#pragma once

#include "reports/report_frame.h"

namespace zentrak {

/// Writes the sysops report (kind 3); the sysop order stays for later reports.
void MakeSysopsReport(ReportContext& ctx);

}  // namespace zentrak
