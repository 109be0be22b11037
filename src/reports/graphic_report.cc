// The graphic report.
#include "reports/graphic_report.h"

#include <algorithm>

#include "reports/svg_chart.h"
#include "support/calendar.h"
#include "support/text.h"

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

std::string ActivityChartSvg(const GraphicColumns& columns, const GraphicWindow& window,
                             std::string_view id) {
  int32_t count = static_cast<int32_t>(columns.size());
  int64_t columnSeconds = ColumnSeconds(window, count);
  BarChart chart;
  chart.id = std::string(id);
  chart.title = "Activity over the day";
  chart.description = "Each bar is the share of its time the line was busy, summed over the days.";
  chart.unit = ChartUnit::kPercent;
  chart.stacked = true;
  chart.cap = 100;
  chart.floorTop = 100;
  // About eight labels whatever the width: each one a whole clock time.
  chart.labelEvery = std::max(count / 8, 1);
  static constexpr const char* kKinds[4][2] = {{"outgoing", "act-out"},
                                               {"incoming", "act-in"},
                                               {"BBS", "act-bbs"},
                                               {"dialling", "act-call"}};
  for (const auto& kind : kKinds) chart.series.push_back({kind[0], kind[1], {}});
  for (int32_t k = 0; k < count; ++k) {
    int64_t start = (window.start + k * columnSeconds) % kSecondsPerDay;
    chart.labels.push_back(TwoDigits(start / 3600) + ":" + TwoDigits(start / 60 % 60));
    for (int kind = 0; kind < 4; ++kind) {
      double share = columnSeconds > 0 ? 100.0 * static_cast<double>(columns[k][kind]) /
                                             static_cast<double>(columnSeconds)
                                       : 0;
      chart.series[kind].values.push_back(share);
    }
  }
  // The key shows what the log has: no BBS for binkd, no dialling for a node
  // that never failed a call. Sessions both ways stay, even when quiet.
  auto unused = [](const ChartSeries& series) {
    return std::all_of(series.values.begin(), series.values.end(),
                       [](double value) { return value <= 0; });
  };
  chart.series.erase(std::remove_if(chart.series.begin() + 2, chart.series.end(), unused),
                     chart.series.end());
  return SvgBarChart(chart);
}

std::string ActivityChartOf(const std::vector<TEvent>& events, int32_t graphicStart,
                            int32_t graphicEnd) {
  // Half-hour columns over a whole day: as fine as a phone's width allows.
  constexpr int32_t kColumns = 48;
  GraphicWindow window = GraphicWindowOf(graphicStart, graphicEnd);
  return ActivityChartSvg(DistributeEvents(events, window, kColumns), window, "activity");
}

std::string HalfHourChartSvg(const HalfHours& hours, bool bytes) {
  BarChart chart;
  chart.id = bytes ? "bytes" : "sessions";
  chart.title = bytes ? "Bytes by the half hour" : "Sessions by the half hour";
  chart.description = bytes ? "Each bar is the bytes of the sessions that began in its half hour, "
                              "summed over the days."
                            : "Each bar is the number of sessions that began in its half hour, "
                              "summed over the days.";
  chart.unit = bytes ? ChartUnit::kBytes : ChartUnit::kCount;
  chart.labelEvery = 6;
  chart.series.push_back({bytes ? "bytes" : "sessions", bytes ? "act-in" : "act-out", {}});
  for (int k = 0; k < HalfHours::kSlots; ++k) {
    chart.labels.push_back(TwoDigits(k / 2) + (k % 2 == 0 ? ":00" : ":30"));
    chart.series[0].values.push_back(
        static_cast<double>(bytes ? hours.bytes[k] : hours.sessions[k]));
  }
  return SvgBarChart(chart);
}

bool HalfHourChart(const SessionModel& model, std::string_view name, std::string& markup) {
  if (name != "SESSIONS" && name != "BYTES") return false;
  markup = HalfHourChartSvg(HalfHoursOf(model), name == "BYTES");
  return true;
}

void MakeGraphicReport(ReportContext& ctx) {
  ReportSteps steps;
  steps.chart = [&ctx](std::string_view name, std::string& markup) {
    if (HalfHourChart(ctx.model, name, markup)) return true;
    if (name != "ACTIVITY") return false;
    markup = ActivityChartOf(ctx.model.events, ctx.settings.graphicStart, ctx.settings.graphicEnd);
    return true;
  };
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
