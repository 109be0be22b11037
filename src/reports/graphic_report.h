// The graphic report: the station's activity over the daily GRAPHIC_TIME window
// as a chart of up to 72 columns and 15 rows, one symbol per kind of activity.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/session_model.h"
#include "reports/report_frame.h"

namespace zentrak {

/// The widest chart; a longer "@LINELENGTH" is cut to this.
inline constexpr int32_t kGraphicMaxColumns = 72;
/// Rows of the chart; row 1 is the bottom.
inline constexpr int kGraphicRows = 15;

/// The chart's time axis in seconds; a window that crosses midnight ends on
/// the next day (end above 86400).
struct GraphicWindow {
  int64_t start = 0;
  int64_t end = 0;
  bool crossesMidnight = false;
};

/// The window of graphicStart..graphicEnd; equal bounds mean the whole day.
GraphicWindow GraphicWindowOf(int32_t graphicStart, int32_t graphicEnd);

/// An event's start and end on the window's time axis.
struct GraphicSpan {
  int64_t start = 0;
  int64_t end = 0;
};

/// Places an event on the axis. In a window that crosses midnight the event's
/// reference day is the day its night began (its start day when it starts at
/// or after the window's start time, else the day before); the parts of the
/// event on later days move one day on.
GraphicSpan EventSpan(const TEvent& event, const GraphicWindow& window);

/// Seconds of each activity kind (0..3) per column; index 0 is column 1.
using GraphicColumns = std::vector<std::array<int64_t, 4>>;

/// Seconds per column: the window's length over `columns`, rounded.
int64_t ColumnSeconds(const GraphicWindow& window, int32_t columns);

/// Spreads every event that starts inside the window over the columns, adding
/// its time in each column it covers (the last column also takes the window's
/// rounding remainder; time past the window is not counted).
GraphicColumns DistributeEvents(const std::vector<TEvent>& events, const GraphicWindow& window,
                                int32_t columns);

/// Seconds per row: a sixteenth of a column, at least one second.
int64_t RowUnit(int64_t columnSeconds);

/// The 15 row texts, bottom row first: each column stacks kinds 0, 1, 2, 3 from
/// the bottom, one row per whole rowUnit; past row 15 a later kind overwrites
/// row 15. `kindSymbols` is indexed by activity kind.
std::vector<std::string> BuildGraphicRows(const GraphicColumns& columns, int64_t rowUnit,
                                          const std::array<char, 4>& kindSymbols, char background);

/// The drawing symbol of each activity kind from the template's definitions.
std::array<char, 4> GraphicKindSymbols(const ReportState& report);

/// The activity chart as inline SVG: per column, the share of its time each
/// kind took, stacked (out, in, BBS, call) and cut at 100 %, as the character
/// chart stacks its rows. `id` names the chart on its page.
std::string ActivityChartSvg(const GraphicColumns& columns, const GraphicWindow& window,
                             std::string_view id);

/// The activity chart of the run's events over the GRAPHIC_TIME window.
std::string ActivityChartOf(const std::vector<TEvent>& events, int32_t graphicStart,
                            int32_t graphicEnd);

/// Report 10.
void MakeGraphicReport(ReportContext& ctx);

/// The charts "SESSIONS" and "BYTES": the sessions, or their bytes, by the half
/// hour of the day they began in. False for another name.
bool HalfHourChart(const SessionModel& model, std::string_view name, std::string& markup);

}  // namespace zentrak
