// The disk usage report: the drives named in DISKS with label, sizes and a bar
// of the used share.
#pragma once

#include <cstdint>
#include <string>

#include "reports/report_frame.h"

namespace zentrak {

/// A byte count in the largest unit it exceeds: "%7.3f" followed by G, M, K or b.
std::string SizeText(uint64_t bytes);

/// Symbols for the used share of a drive: round(used / total * lineLength);
/// empty for a drive that reports no size.
std::string DiskBar(uint64_t totalBytes, uint64_t freeBytes, int32_t lineLength, char symbol);

/// Report 12.
void MakeDiskReport(ReportContext& ctx);

}  // namespace zentrak
