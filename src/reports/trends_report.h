// The trends report: the days, months and years the trends store keeps, the
// busiest links of a month or a year and the store's totals, in loops the
// template chooses, with charts of the traffic for the web pages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/report_frame.h"
#include "trends/trends_store.h"

namespace zentrak {

/// What the trends report reads: the store's answers (StoreTrends), or a test's.
class TrendsSource {
 public:
  virtual ~TrendsSource() = default;
  virtual std::vector<TrendsDay> Days(int32_t count) = 0;
  virtual std::vector<TrendsMonth> Months(int32_t count) = 0;
  virtual std::vector<TrendsYear> Years() = 0;
  virtual std::vector<TrendsTopLink> TopLinks(int32_t year, int32_t month, int32_t count) = 0;
  virtual TrendsTotals Totals() = 0;
  virtual std::vector<TrendsHour> Hours(int32_t) { return {}; }
  virtual std::vector<TrendsDay> TopDays(int32_t) { return {}; }
};

/// The trends store as the report's source.
class StoreTrends : public TrendsSource {
 public:
  explicit StoreTrends(TrendsStore& store) : store_(store) {}
  std::vector<TrendsDay> Days(int32_t count) override { return ReadTrendsDays(store_, count); }
  std::vector<TrendsMonth> Months(int32_t count) override {
    return ReadTrendsMonths(store_, count);
  }
  std::vector<TrendsYear> Years() override { return ReadTrendsYears(store_); }
  std::vector<TrendsTopLink> TopLinks(int32_t year, int32_t month, int32_t count) override {
    return ReadTopLinks(store_, year, month, count);
  }
  TrendsTotals Totals() override { return ReadTrendsTotals(store_); }
  std::vector<TrendsHour> Hours(int32_t count) override { return ReadTrendsHours(store_, count); }
  std::vector<TrendsDay> TopDays(int32_t count) override { return ReadTopDays(store_, count); }

 private:
  TrendsStore& store_;
};

/// A loop of the template: which rows and how many.
struct TrendsLoopChoice {
  TrendsLoop loop = TrendsLoop::kDays;
  int32_t count = 0;
};

/// Reads a "%TRENDLOOP" value: "DAYS [n]" (30), "MONTHS [n]" (24), "YEARS",
/// "TOPMONTH [n]" or "TOPYEAR [n]" (10), "HOURS [n]" (24), "TOPDAYS [n]" (10),
/// in any case; nothing for anything else.
std::optional<TrendsLoopChoice> ParseTrendsLoop(std::string_view value);

/// The rows of a loop, oldest first (top lists: busiest first).
std::vector<TrendsRow> TrendsRows(TrendsSource& source, const TrendsLoopChoice& choice,
                                  const TrendsTotals& totals);

/// A chart of the trends page ("DAYS", "MONTHS", "TOPMONTH", "HOURS"); empty for another name.
std::string TrendsChart(TrendsSource& source, std::string_view name, const TrendsTotals& totals);

/// Report 14.
void MakeTrendsReport(ReportContext& ctx, TrendsSource& source);

}  // namespace zentrak
