// The histogram report.
#include "reports/histogram_report.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "log/log_dates.h"
#include "reports/graphic_report.h"
#include "support/calendar.h"

namespace zentrak {
namespace {

constexpr int64_t kHour = 3600;
constexpr std::array<int64_t, 10> kGuideSteps = {kHour,
                                                 2 * kHour,
                                                 3 * kHour,
                                                 6 * kHour,
                                                 12 * kHour,
                                                 kSecondsPerDay,
                                                 2 * kSecondsPerDay,
                                                 7 * kSecondsPerDay,
                                                 14 * kSecondsPerDay,
                                                 28 * kSecondsPerDay};
constexpr int64_t kGuideGapCells = 6;

struct HistogramRows {
  std::vector<std::string> links;  // one per link, in list order
  std::vector<int64_t> seconds;    // session time drawn per link
  std::string total;
  int64_t totalSeconds = 0;
};

HistogramRows BuildRows(const ReportContext& ctx, const HistogramWindow& window, int32_t cells,
                        char mark) {
  const std::vector<TLink>& links = ctx.model.links;
  std::string background = HistogramBackground(window, cells, ctx.report.histBackgroundSymbol,
                                               ctx.settings.DRAW_HISTOGRAM_VERTICAL_LINES);
  HistogramRows rows{std::vector<std::string>(links.size(), background),
                     std::vector<int64_t>(links.size(), 0), background, 0};
  // A session finds its link by the number of its address text.
  constexpr size_t kNone = SIZE_MAX;
  std::vector<size_t> linkOf(ctx.model.texts.Size(), kNone);
  for (size_t k = 0; k < links.size(); ++k) {
    std::optional<TextId> address = ctx.model.texts.Find(links[k].Address);
    if (address) linkOf[*address] = k;
  }
  for (const TSession& session : ctx.model.sessions) {
    if (session.Bbs) continue;
    size_t link = linkOf[session.Address];
    if (link == kNone) continue;
    rows.seconds[link] += MarkSession(rows.links[link], window, session, mark);
  }
  for (size_t k = 0; k < links.size(); ++k) {
    MergeHistogramRow(rows.total, rows.links[k], mark);
    rows.totalSeconds += rows.seconds[k];
  }
  return rows;
}

}  // namespace

HistogramWindow HistogramWindowOf(int32_t firstDay, int32_t lastDay, int32_t startTime,
                                  int32_t endTime) {
  HistogramWindow window;
  window.start = static_cast<int64_t>(firstDay) * kSecondsPerDay + startTime;
  window.end = static_cast<int64_t>(lastDay) * kSecondsPerDay + endTime;
  return window;
}

int32_t HistogramCell(const HistogramWindow& window, int32_t cells, int64_t at) {
  int64_t length = window.end - window.start;
  if (length <= 0 || cells <= 0) return 0;
  int64_t cell = (std::clamp(at, window.start, window.end - 1) - window.start) * cells / length;
  return static_cast<int32_t>(cell);
}

int64_t HistogramGuideStep(const HistogramWindow& window, int32_t cells) {
  int64_t length = window.end - window.start;
  for (int64_t step : kGuideSteps) {
    if (cells > 0 && step * cells >= kGuideGapCells * length) return step;
  }
  return kGuideSteps.back();
}

std::string HistogramBackground(const HistogramWindow& window, int32_t cells, char background,
                                bool guides) {
  std::string row(static_cast<size_t>(std::max(cells, 0)), background);
  if (!guides || row.empty() || window.end <= window.start) return row;
  int64_t step = HistogramGuideStep(window, cells);
  // Day numbers may be negative (last year); floor to the step below the start.
  int64_t first = window.start - ((window.start % step) + step) % step + step;
  for (int64_t at = first; at < window.end; at += step) {
    row[HistogramCell(window, cells, at)] = kHistogramGuide;
  }
  return row;
}

int64_t MarkSession(std::string& row, const HistogramWindow& window, const TSession& session,
                    char mark) {
  int64_t start = static_cast<int64_t>(session.StartDay) * kSecondsPerDay + session.StartTime;
  int64_t end = static_cast<int64_t>(session.EndDay) * kSecondsPerDay + session.EndTime;
  if (end < start) end += kSecondsPerDay;  // an end day that lags its start: past midnight once
  if (row.empty() || window.end <= window.start) return 0;
  if (end < window.start || start > window.end) return 0;
  if (end == window.start && end > start) return 0;
  int32_t cells = static_cast<int32_t>(row.size());
  int32_t first = HistogramCell(window, cells, start);
  int32_t last = HistogramCell(window, cells, end > start ? end - 1 : end);
  std::fill(row.begin() + first, row.begin() + last + 1, mark);
  return std::min(end, window.end) - std::max(start, window.start);
}

void MergeHistogramRow(std::string& total, const std::string& row, char mark) {
  for (size_t k = 0; k < total.size() && k < row.size(); ++k) {
    if (row[k] == mark) total[k] = mark;
  }
}

void MakeHistogramReport(ReportContext& ctx) {
  ReportSteps steps;
  steps.chart = [&ctx](std::string_view name, std::string& markup) {
    return HalfHourChart(ctx.model, name, markup);
  };
  steps.prepare = [&ctx]() { SortLinks(ctx.model.links, AddressAfter); };
  steps.records = [&ctx]() {
    ReportState& report = ctx.report;
    const SessionModel& model = ctx.model;
    HistogramWindow window =
        HistogramWindowOf(model.PeriodFirstDay, model.PeriodLastDay,
                          ctx.settings.timeWindow.startTime, ctx.settings.timeWindow.endTime);
    char mark = ctx.report.cpsDrawSymbol != ' ' ? ctx.report.cpsDrawSymbol : kHistogramMark;
    HistogramRows rows = BuildRows(ctx, window, report.lineLength, mark);
    ctx.engine.AddGeneratedMacro("@TOTALHISTLINE", rows.total);
    int sessionTime = ctx.engine.AddGeneratedMacro("@TOTALSESSIONTIME", "");
    for (size_t k = 0; k < model.links.size(); ++k) {
      report.currentIndex = static_cast<int32_t>(k);
      report.statLine = rows.links[k];
      report.barLength = static_cast<int32_t>(rows.links[k].size());
      if (sessionTime >= 0) ctx.engine.SetMacroValue(sessionTime, ClockText(rows.seconds[k]));
      ctx.engine.TemplateBody();
    }
    if (sessionTime >= 0) ctx.engine.SetMacroValue(sessionTime, ClockText(rows.totalSeconds));
    return true;
  };
  // The mark symbol is a bar symbol like the cps report's: it does not outlive the report.
  steps.cleanUp = [&ctx]() { ctx.report.cpsDrawSymbol = ' '; };
  RunReportFrame(ctx, kHistogramReport, steps);
}

}  // namespace zentrak
