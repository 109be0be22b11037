// Single statistics files: finished reports joined into the files that STAT
// lines name, and the notice that stands in for the files report.
#pragma once

#include "config/settings.h"
#include "reports/report_frame.h"

namespace zentrak {

/// Joins the reports of one STAT entry into OUTPUT + its name, copying each
/// report byte for byte followed by an empty line; erases the reports whose
/// code carries "!". Ends the run (status 1) when the joined file cannot be created.
void MakeSingleFile(const SingleFileEntry& entry, ReportContext& ctx);

/// Every STAT entry in order, when at least one report switch is on; an entry
/// without a valid code only gets a warning.
void MakeSingleFiles(ReportContext& ctx);

}  // namespace zentrak
