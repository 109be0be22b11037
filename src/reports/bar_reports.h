// The three bar reports: links ranked by CPS, by traffic and by online time,
// each with a bar proportional to the first (largest) link's value.
#pragma once

#include "reports/report_frame.h"
#include "support/work_threads.h"

namespace zentrak {

/// What a bar report orders and measures its links by.
struct BarMeasure {
  ReportKind kind;
  LinkAfter after;
  int64_t (*value)(const TLink& link);
};

/// Publishes each link's bar and writes the loop body for the links whose bar
/// is not empty. The links must already be in the measure's order.
bool ListBarredLinks(ReportContext& ctx, const BarMeasure& measure, int threads = WorkThreads());

/// Writes a bar report: sort, bars, and the draw symbol reset before the footer.
void MakeBarReport(ReportContext& ctx, const BarMeasure& measure);

/// Writes the CPS report (kind 4).
void MakeCpsReport(ReportContext& ctx);
/// Writes the traffic report (kind 5).
void MakeTrafficReport(ReportContext& ctx);
/// Writes the time report (kind 6).
void MakeTimeReport(ReportContext& ctx);

}  // namespace zentrak
