// The histogram report: per link, one row of cells over the report period
// marking when the link had sessions, and one total row for the footer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "log/session_model.h"
#include "reports/report_frame.h"

namespace zentrak {

/// A cell in which a session took place, unless the template sets "@DRAWSYMBOL".
inline constexpr char kHistogramMark = '#';
/// A guide cell (DRAW_HISTOGRAM_VERTICAL_LINES) where no session covers it.
inline constexpr char kHistogramGuide = '|';

/// The report period on one time axis: day number * 86400 + time of day. The
/// cells divide start..end; the end second itself falls into the last cell.
struct HistogramWindow {
  int64_t start = 0;
  int64_t end = 0;
};

/// The window of the period from `firstDay` at `startTime` to `lastDay` at `endTime`.
HistogramWindow HistogramWindowOf(int32_t firstDay, int32_t lastDay, int32_t startTime,
                                  int32_t endTime);

/// The cell (0..cells-1) that second `at` of the window falls into.
int32_t HistogramCell(const HistogramWindow& window, int32_t cells, int64_t at);

/// A row of background cells with guide marks at the interior multiples of
/// the guide step (counted from midnight), or without them.
std::string HistogramBackground(const HistogramWindow& window, int32_t cells, char background,
                                bool guides);

/// Seconds between guide marks: the first of 1, 2, 3, 6, 12 hours, 1, 2, 7,
/// 14, 28 days that leaves at least six cells between two marks.
int64_t HistogramGuideStep(const HistogramWindow& window, int32_t cells);

/// Marks on `row` the cells the session covers inside the window; returns the
/// seconds of the session inside the window (0 when it lies outside).
int64_t MarkSession(std::string& row, const HistogramWindow& window, const TSession& session,
                    char mark);

/// Every cell marked in `row` also marked in `total`.
void MergeHistogramRow(std::string& total, const std::string& row, char mark);

/// Report 9.
void MakeHistogramReport(ReportContext& ctx);

}  // namespace zentrak
