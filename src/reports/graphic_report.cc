// The graphic report.
#include "reports/graphic_report.h"

#include <algorithm>

#include "support/calendar.h"

namespace zentrak {
namespace {

void AddEvent(GraphicColumns& counters, const GraphicSpan& span, uint8_t kind,
              const GraphicWindow& window, int64_t columnSeconds) {
  int64_t columns = static_cast<int64_t>(counters.size());
  // The last column reaches to the window's end whatever the rounding left.
  int64_t chartEnd = std::max(window.start + columns * columnSeconds, window.end);
  int64_t first = columnSeconds > 0 ? (span.start - window.start) / columnSeconds : columns - 1;
  for (int64_t column = std::min(first, columns - 1); column < columns; ++column) {
    int64_t columnStart = window.start + column * columnSeconds;
    int64_t columnEnd = column == columns - 1 ? chartEnd : columnStart + columnSeconds;
    if (span.end <= columnStart) break;
    int64_t covered = std::min(span.end, columnEnd) - std::max(span.start, columnStart);
    if (covered > 0) counters[column][kind] += covered;
  }
}

}  // namespace

GraphicWindow GraphicWindowOf(int32_t graphicStart, int32_t graphicEnd) {
  GraphicWindow window;
  window.start = graphicStart;
  window.end = graphicEnd;
  window.crossesMidnight = graphicStart >= graphicEnd;
  if (window.crossesMidnight) window.end += kSecondsPerDay;
  return window;
}

GraphicSpan EventSpan(const TEvent& event, const GraphicWindow& window) {
  GraphicSpan span{event.StartTime, event.EndTime};
  if (window.crossesMidnight) {
    int32_t referenceDay = event.StartTime >= window.start ? event.StartDay : event.StartDay - 1;
    if (event.StartDay > referenceDay) span.start += kSecondsPerDay;
    if (event.EndDay > referenceDay) span.end += kSecondsPerDay;
  }
  // A span never ends before it starts: it ran past midnight once.
  if (span.end < span.start) span.end += kSecondsPerDay;
  return span;
}

int64_t ColumnSeconds(const GraphicWindow& window, int32_t columns) {
  if (columns <= 0) return 0;
  return RoundHalfAway(static_cast<double>(window.end - window.start) / columns);
}

GraphicColumns DistributeEvents(const std::vector<TEvent>& events, const GraphicWindow& window,
                                int32_t columns) {
  GraphicColumns counters(static_cast<size_t>(std::max(columns, 0)), {0, 0, 0, 0});
  if (counters.empty()) return counters;
  int64_t columnSeconds = ColumnSeconds(window, columns);
  for (const TEvent& event : events) {
    if (event.Kind > 3) continue;
    GraphicSpan span = EventSpan(event, window);
    if (span.start < window.start || span.start > window.end) continue;
    AddEvent(counters, span, event.Kind, window, columnSeconds);
  }
  return counters;
}

int64_t RowUnit(int64_t columnSeconds) {
  // Below 16 seconds a column the sixteenth would be 0, and every column,
  // idle or not, would fill to the top.
  return std::max<int64_t>(columnSeconds / 16, 1);
}

std::vector<std::string> BuildGraphicRows(const GraphicColumns& columns, int64_t rowUnit,
                                          const std::array<char, 4>& kindSymbols, char background) {
  std::vector<std::string> rows(kGraphicRows, std::string(columns.size(), background));
  for (size_t column = 0; column < columns.size(); ++column) {
    int filled = 0;
    for (int kind = 0; kind < 4; ++kind) {
      int64_t units = columns[column][kind] / rowUnit;
      for (int64_t unit = 0; unit < units; ++unit) {
        if (filled == kGraphicRows) {
          rows[kGraphicRows - 1][column] = kindSymbols[kind];
          break;
        }
        rows[filled++][column] = kindSymbols[kind];
      }
    }
  }
  return rows;
}

std::array<char, 4> GraphicKindSymbols(const ReportState& report) {
  // Activity kinds are out, in, BBS, call; the report state keeps in before out.
  return {report.graphicSymbols[kGraphicOut], report.graphicSymbols[kGraphicIn],
          report.graphicSymbols[kGraphicBbs], report.graphicSymbols[kGraphicCall]};
}

void MakeGraphicReport(ReportContext& ctx) {
  ReportSteps steps;
  steps.records = [&ctx]() {
    ReportState& report = ctx.report;
    report.lineLength = std::min(report.lineLength, kGraphicMaxColumns);
    GraphicWindow window = GraphicWindowOf(ctx.settings.graphicStart, ctx.settings.graphicEnd);
    GraphicColumns counters = DistributeEvents(ctx.model.events, window, report.lineLength);
    std::vector<std::string> rows =
        BuildGraphicRows(counters, RowUnit(ColumnSeconds(window, report.lineLength)),
                         GraphicKindSymbols(ctx.report), ctx.report.histBackgroundSymbol);
    for (report.currentRow = kGraphicRows; report.currentRow >= 1; --report.currentRow) {
      report.statLine = rows[report.currentRow - 1];
      ctx.engine.TemplateBody();
    }
    report.currentRow = 0;
    return true;
  };
  RunReportFrame(ctx, kGraphicReport, steps);
}

}  // namespace zentrak
