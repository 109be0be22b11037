// The trends report.
#include "reports/trends_report.h"

#include <algorithm>

#include "reports/graphic_report.h"
#include "reports/svg_chart.h"
#include "support/calendar.h"
#include "support/text.h"

namespace zentrak {
namespace {

constexpr std::string_view kLoopName = "@TRENDLOOP";
constexpr std::string_view kUnknownLoop = " Unknown trends loop in %s template: %s";
// The web page's charts: a month of days, two years of months, the busiest
// links that a phone's width still labels.
constexpr int32_t kChartDays = 30;
constexpr int32_t kChartMonths = 24;
constexpr int32_t kChartLinks = 6;
constexpr int32_t kChartHours = 24;

struct LoopWord {
  std::string_view word;
  TrendsLoop loop;
  int32_t defaultCount;
};

constexpr LoopWord kLoopWords[] = {
    {"DAYS", TrendsLoop::kDays, 30},       {"MONTHS", TrendsLoop::kMonths, 24},
    {"YEARS", TrendsLoop::kYears, 0},      {"TOPMONTH", TrendsLoop::kTopMonth, 10},
    {"TOPYEAR", TrendsLoop::kTopYear, 10}, {"HOURS", TrendsLoop::kHours, 24},
    {"TOPDAYS", TrendsLoop::kTopDays, 10},
};

template <typename Period>
TrendsRow RowOf(TrendsLoop loop, const Period& period) {
  TrendsRow row;
  row.loop = loop;
  row.date = period.date;
  row.daysStored = period.daysStored;
  row.stored = period.daysStored > 0;
  row.coveredSeconds = period.coveredSeconds;
  row.links = period.links;
  row.station = period.station;
  return row;
}

TrendsRow RowOf(const TrendsDay& day) {
  TrendsRow row;
  row.date = day.date;
  row.stored = day.stored;
  row.daysStored = day.stored ? 1 : 0;
  row.coveredSeconds = day.coveredSeconds;
  row.links = day.links;
  row.station = day.station;
  return row;
}

std::vector<TrendsRow> TopRows(TrendsSource& source, TrendsLoop loop, int32_t count,
                               const TrendsTotals& totals) {
  std::vector<TrendsRow> rows;
  if (totals.lastDay.year == 0) return rows;
  CalendarDate period{0, loop == TrendsLoop::kTopMonth ? totals.lastDay.month : 0,
                      totals.lastDay.year};
  for (const TrendsTopLink& link : source.TopLinks(period.year, period.month, count)) {
    TrendsRow row;
    row.loop = loop;
    row.date = period;
    row.stored = true;
    row.daysStored = link.daysSeen;
    row.links = link.sums;
    row.address = link.address;
    row.rank = static_cast<int32_t>(rows.size()) + 1;
    rows.push_back(std::move(row));
  }
  return rows;
}

// The last definition of the loop's name before the loop: a later section
// without one of its own repeats the loop before.
std::string_view LoopValue(const std::vector<MacroDefinition>& definitions) {
  for (auto it = definitions.rbegin(); it != definitions.rend(); ++it) {
    if (it->name == kLoopName) return it->value;
  }
  return "DAYS";
}

void WriteLoop(ReportContext& ctx, TrendsSource& source) {
  std::string_view value = LoopValue(ctx.engine.Definitions());
  std::optional<TrendsLoopChoice> choice = ParseTrendsLoop(value);
  if (!choice) {
    ctx.console.ConsoleLog(kError, kUnknownLoop, {ctx.settings.TRENDS_TEMPLATE, value});
    return;
  }
  for (TrendsRow& row : TrendsRows(source, *choice, ctx.report.trendsTotals)) {
    ctx.report.trendsRow = std::move(row);
    ctx.engine.TemplateBody();
  }
  ctx.report.trendsRow = TrendsRow();
}

BarChart TrafficChart(std::string id, std::string title, std::string description) {
  BarChart chart;
  chart.id = std::move(id);
  chart.title = std::move(title);
  chart.description = std::move(description);
  chart.series = {{"received", "chart-rx", {}}, {"sent", "chart-tx", {}}};
  return chart;
}

void AddSlot(BarChart& chart, std::string label, const TrendsLinkSums& sums) {
  chart.labels.push_back(std::move(label));
  chart.series[0].values.push_back(static_cast<double>(sums.received));
  chart.series[1].values.push_back(static_cast<double>(sums.sent));
}

}  // namespace

std::optional<TrendsLoopChoice> ParseTrendsLoop(std::string_view value) {
  value = TrimBlanks(value);
  size_t blank = value.find(' ');
  std::string_view word = value.substr(0, blank);
  std::string_view rest = blank == std::string_view::npos ? "" : TrimBlanks(value.substr(blank));
  for (const LoopWord& row : kLoopWords) {
    if (!EqualsIgnoreCase(word, row.word)) continue;
    if (rest.empty()) return TrendsLoopChoice{row.loop, row.defaultCount};
    int64_t count = WholeNumber(rest);
    // Ten years of days is more than any page wants, and keeps the store's query small.
    if (count < 1 || row.loop == TrendsLoop::kYears) return std::nullopt;
    return TrendsLoopChoice{row.loop, static_cast<int32_t>(std::min<int64_t>(count, 3660))};
  }
  return std::nullopt;
}

std::vector<TrendsRow> TrendsRows(TrendsSource& source, const TrendsLoopChoice& choice,
                                  const TrendsTotals& totals) {
  std::vector<TrendsRow> rows;
  switch (choice.loop) {
    case TrendsLoop::kDays:
      for (const TrendsDay& day : source.Days(choice.count)) rows.push_back(RowOf(day));
      break;
    case TrendsLoop::kMonths:
      for (const TrendsMonth& m : source.Months(choice.count)) {
        rows.push_back(RowOf(TrendsLoop::kMonths, m));
      }
      break;
    case TrendsLoop::kYears:
      for (const TrendsYear& y : source.Years()) rows.push_back(RowOf(TrendsLoop::kYears, y));
      break;
    case TrendsLoop::kTopMonth:
    case TrendsLoop::kTopYear:
      rows = TopRows(source, choice.loop, choice.count, totals);
      break;
    case TrendsLoop::kHours:
      for (const TrendsHour& hour : source.Hours(choice.count)) {
        TrendsRow row;
        row.loop = TrendsLoop::kHours;
        row.date = hour.date;
        row.hour = hour.hour;
        row.stored = hour.stored;
        row.links = hour.links;
        rows.push_back(std::move(row));
      }
      break;
    case TrendsLoop::kTopDays:
      for (const TrendsDay& day : source.TopDays(choice.count)) {
        rows.push_back(RowOf(day));
        rows.back().loop = TrendsLoop::kTopDays;
        rows.back().rank = static_cast<int32_t>(rows.size());
      }
      break;
  }
  return rows;
}

std::string TrendsChart(TrendsSource& source, std::string_view name, const TrendsTotals& totals) {
  if (name == "DAYS") {
    BarChart chart = TrafficChart("trend-days", "Traffic per day, last 30 days",
                                  "Days the store has nothing about have no bars.");
    chart.labelEvery = 5;
    for (const TrendsDay& day : source.Days(kChartDays)) {
      AddSlot(chart, TwoDigits(day.date.day) + "." + TwoDigits(day.date.month), day.links);
    }
    return SvgBarChart(chart);
  }
  if (name == "MONTHS") {
    BarChart chart = TrafficChart("trend-months", "Traffic per month, last 24 months",
                                  "Months the store has nothing about have no bars.");
    chart.labelEvery = 3;
    for (const TrendsMonth& month : source.Months(kChartMonths)) {
      int month_ = std::clamp(month.date.month, 0, 12);
      AddSlot(chart, std::string(kMonthNames[month_]) + " " + TwoDigits(month.date.year % 100),
              month.links);
    }
    return SvgBarChart(chart);
  }
  if (name == "TOPMONTH") {
    BarChart chart = TrafficChart("trend-top", "Busiest links of the last month",
                                  "Links by their traffic in the last month stored.");
    for (const TrendsRow& row : TopRows(source, TrendsLoop::kTopMonth, kChartLinks, totals)) {
      AddSlot(chart, row.address, row.links);
    }
    // Each address whole, turned so that long ones do not run into their neighbours.
    chart.turnLabels = true;
    return SvgBarChart(chart);
  }
  if (name == "HOURS") {
    BarChart chart = TrafficChart("trend-hours", "Traffic per hour, last 24 hours",
                                  "Hours without a session have no bars.");
    chart.labelEvery = 3;
    for (const TrendsHour& hour : source.Hours(kChartHours)) {
      AddSlot(chart, TwoDigits(hour.hour) + ":00", hour.links);
    }
    return SvgBarChart(chart);
  }
  return {};
}

void MakeTrendsReport(ReportContext& ctx, TrendsSource& source) {
  ReportSteps steps;
  steps.prepare = [&ctx, &source] {
    ctx.report.trendsTotals = source.Totals();
    ctx.report.trendsRow = TrendsRow();
  };
  steps.chart = [&ctx, &source](std::string_view name, std::string& markup) {
    if (name == "ACTIVITY") {
      markup =
          ActivityChartOf(ctx.model.events, ctx.settings.graphicStart, ctx.settings.graphicEnd);
    } else {
      markup = TrendsChart(source, name, ctx.report.trendsTotals);
    }
    return !markup.empty();
  };
  steps.records = [&ctx, &source] {
    do {
      WriteLoop(ctx, source);
    } while (ctx.engine.NextLoop());
    return true;
  };
  RunReportFrame(ctx, kTrendsReport, steps);
}

}  // namespace zentrak
