// The trends report: the loop words, and a whole report of several loops and
// charts over a fake store.
#include "reports/trends_report.h"

#include <gtest/gtest.h>

#include "report_test_fixture.h"

namespace zentrak {
namespace {

TEST(TrendsLoopTest, WordsCountsAndRefusals) {
  struct Row {
    const char* value;
    bool valid;
    TrendsLoop loop = TrendsLoop::kDays;
    int32_t count = 0;
  } rows[] = {
      {"DAYS", true, TrendsLoop::kDays, 30},
      {" days 7 ", true, TrendsLoop::kDays, 7},
      {"MONTHS 12", true, TrendsLoop::kMonths, 12},
      {"Years", true, TrendsLoop::kYears, 0},
      {"TOPMONTH", true, TrendsLoop::kTopMonth, 10},
      {"TOPYEAR 3", true, TrendsLoop::kTopYear, 3},
      {"DAYS 99999", true, TrendsLoop::kDays, 3660},  // a bound for the store's query
      {"DAYS 0", false},
      {"DAYS x", false},
      {"YEARS 2", false},
      {"WEEKS 2", false},
      {"", false},
      {"DAYSS", false},
  };
  for (const Row& row : rows) {
    std::optional<TrendsLoopChoice> choice = ParseTrendsLoop(row.value);
    ASSERT_EQ(choice.has_value(), row.valid) << row.value;
    if (!choice) continue;
    EXPECT_EQ(choice->loop, row.loop) << row.value;
    EXPECT_EQ(choice->count, row.count) << row.value;
  }
}

TrendsLinkSums Sums(int64_t in, int64_t received, int64_t sent, int64_t transfer) {
  TrendsLinkSums sums;
  sums.sessionsIn = in;
  sums.received = received;
  sums.sent = sent;
  sums.transferSeconds = transfer;
  sums.onlineSeconds = transfer;
  return sums;
}

// Two days of December, one of them stored, and one link of the month.
class FakeTrends : public TrendsSource {
 public:
  std::vector<TrendsDay> Days(int32_t count) override {
    days.push_back(count);
    TrendsDay empty, full;
    empty.date = {6, 12, 2026};
    full.date = {7, 12, 2026};
    full.stored = true;
    full.coveredTill = full.coveredSeconds = 43200;
    full.links = Sums(2, 3000, 1000, 40);
    return {empty, full};
  }
  std::vector<TrendsMonth> Months(int32_t) override {
    TrendsMonth month;
    month.date = {0, 12, 2026};
    month.daysStored = 1;
    return {month};
  }
  std::vector<TrendsYear> Years() override { return {}; }
  std::vector<TrendsTopLink> TopLinks(int32_t year, int32_t month, int32_t count) override {
    top.push_back({year, month, count});
    return {{"<b>1:2/3</b>", 1, Sums(2, 3000, 1000, 40)}};
  }
  std::vector<TrendsHour> Hours(int32_t count) override {
    std::vector<TrendsHour> hours(static_cast<size_t>(count));
    for (int32_t h = 0; h < count; ++h) hours[h] = {{7, 12, 2026}, h, h == 9, Sums(1, 9, 0, 1)};
    return hours;
  }
  std::vector<TrendsDay> TopDays(int32_t) override { return {Days(1)[1], Days(1)[1]}; }
  TrendsTotals Totals() override {
    TrendsTotals totals;
    totals.firstDay = {7, 12, 2026};
    totals.lastDay = {7, 12, 2026};
    totals.daysStored = 1;
    totals.coveredSeconds = 43200;
    totals.links = Sums(2, 3000, 1000, 40);
    return totals;
  }
  std::vector<int32_t> days;
  std::vector<std::array<int32_t, 3>> top;
};

TEST(TrendsReportTest, LoopsOverHoursAndTheBusiestDays) {
  testing::ReportFixture fixture;
  fixture.settings.MAKESTAT_TRENDS = true;
  fixture.Template(
      "trends.tpl",
      "%N=\"\"\n%TRENDLOOP=\"HOURS 12\"\n@STARTCIRCLE()\n"
      "@TRENDDATE(LEFT,*) @TRENDHOUR(LEFT,*) @TRENDRECEIVED(LEFT,*)@?TRENDSTORED=@N(LEFT,*)\n"
      "@ENDCIRCLE()\n%TRENDLOOP=\"TOPDAYS 2\"\n@STARTCIRCLE()\n"
      "@TRENDRANK(LEFT,*) @TRENDDATE(LEFT,*) @TRENDHOUR(LEFT,*)|\n@ENDCIRCLE()\n"
      "@CHART(HOURS)\n@TRENDTOTALTRAFFICSHORT(LEFT,*)\n");
  FakeTrends source;
  ReportContext ctx = fixture.Context();
  MakeTrendsReport(ctx, source);
  std::string out = fixture.Output("trends.out");
  EXPECT_EQ(out.substr(0, out.find("<svg")),
            "07.12.2026 09:00 9\n1 07.12.2026 |\n2 07.12.2026 |\n");
  EXPECT_NE(out.find("data-chart=\"trend-hours\""), std::string::npos);
  EXPECT_NE(out.find(">09:00</text>"), std::string::npos) << out;
  EXPECT_EQ(out.substr(out.find("</svg>\n") + 7), "3.91 KiB\n");
}

TEST(TrendsReportTest, LoopsOneAfterAnotherWithTotalsAndCharts) {
  testing::ReportFixture fixture;
  fixture.settings.MAKESTAT_TRENDS = true;
  fixture.Template("trends.tpl",
                   "%ESCAPE=\"HTML\"\n%N=\"\"\n%TRENDLOOP=\"DAYS 2\"\n"
                   "@TRENDFIRSTDAY(LEFT,*)..@TRENDLASTDAY(LEFT,*) @TRENDLASTMONTH(LEFT,*)\n"
                   "@STARTCIRCLE()\n"
                   "@TRENDDATE(LEFT,*) @TRENDTRAFFIC(LEFT,*) @TRENDCPS(LEFT,*) "
                   "@TRENDUSAGE(LEFT,*)@?TRENDSTORED=@N(LEFT,*)\n"
                   "@ENDCIRCLE()\n%TRENDLOOP=\"TOPMONTH 4\"\n@CHART(TOPMONTH)\n@STARTCIRCLE()\n"
                   "@TRENDRANK(LEFT,*) @TRENDADDRESS(LEFT,*) @TRENDDAYS(LEFT,*)\n@ENDCIRCLE()\n"
                   "%TRENDLOOP=\"WEEKS\"\n@STARTCIRCLE()\nnever\n@ENDCIRCLE()\n"
                   "@TRENDTOTALTRAFFIC(LEFT,*) @TRENDTOTALCPS(LEFT,*) @TRENDTOTALUSAGE(LEFT,*)\n"
                   "@?TRENDSEMPTY=@N(LEFT,*)empty\n");
  FakeTrends source;
  ReportContext ctx = fixture.Context();
  MakeTrendsReport(ctx, source);
  std::string out = fixture.Output("trends.out");
  // The unstored day's line is dropped; 4000 bytes in 40 s of transfer, 40 s busy of 12 hours.
  std::string chart = out.substr(out.find("<svg"), out.find("</svg>\n") + 7 - out.find("<svg"));
  EXPECT_EQ(out.substr(0, out.find("<svg")),
            "07.12.2026..07.12.2026 Dec 2026\n07.12.2026 4,000 100 0.09%\n");
  // The address whole, turned: never cut to a node it is not.
  EXPECT_NE(chart.find(">&lt;b&gt;1:2/3&lt;/b&gt;</text>"), std::string::npos) << chart;
  EXPECT_NE(chart.find("transform=\"rotate(-40 "), std::string::npos) << chart;
  EXPECT_EQ(out.substr(out.find("</svg>\n") + 7),
            "1 &lt;b&gt;1:2/3&lt;/b&gt; 1\n4,000 100 0.09%\n");
  EXPECT_EQ(fixture.console.Masked(),
            ". STAMP Processing trends.out\n"
            "! STAMP Unknown trends loop in trends.tpl template: WEEKS\n");
  EXPECT_EQ(source.days, (std::vector<int32_t>{2}));
  // The top list is of the month of the last day stored: the loop's and the chart's.
  ASSERT_EQ(source.top.size(), 2u);
  EXPECT_EQ(source.top[0], (std::array<int32_t, 3>{2026, 12, 6}));
  EXPECT_EQ(source.top[1], (std::array<int32_t, 3>{2026, 12, 4}));
}

}  // namespace
}  // namespace zentrak
