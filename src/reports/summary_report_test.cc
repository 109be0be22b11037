// The summary report's period length and usage percentages.
#include "reports/summary_report.h"

#include <gtest/gtest.h>

#include "report_test_fixture.h"

namespace zentrak {
namespace {

TEST(SummaryUsageTest, PeriodSecondsAndPercentages) {
  struct Row {
    int32_t firstDay, lastDay, startTime, endTime;
    double busy;
    int64_t period;
    const char* usage;
  } rows[] = {
      {5, 6, 0, 0, 43200, 86400, "50.00%"},  // one day, twelve hours busy
      {5, 6, 0, 0, 0, 86400, "0.00%"},
      {5, 5, 0, 86399, 86399, 86399, "100.00%"},
      {5, 5, 3600, 7200, 1200, 3600, "33.33%"},
      {5, 5, 3600, 7200, 2400, 3600, "66.67%"},
      {-2, 1, 43200, 43200, 86400, 259200, "33.33%"},  // last year's days count too
      {5, 5, 7200, 7200, 100, 0, "0.00%"},             // no length: nothing to share
      {6, 5, 0, 0, 100, -86400, "0.00%"},
      {5, 5, 0, 1, 1e14, 1, "10000000000000000.00"},  // cut to 20 characters
  };
  for (const Row& row : rows) {
    int64_t period = PeriodSeconds(row.firstDay, row.lastDay, row.startTime, row.endTime);
    EXPECT_EQ(period, row.period) << row.firstDay << ".." << row.lastDay;
    EXPECT_EQ(UsageText(row.busy, period), row.usage) << row.busy << " of " << period;
  }
}

}  // namespace
}  // namespace zentrak

namespace zentrak {
namespace {

TEST(SummaryReportTest, FooterShowsTheUsageAndDropsTheBbsLineWithoutBbsSessions) {
  // A session of 30000 s, a call of 13000 s and 200 s unfinished without a
  // known span: half of the day. In the third row a second session runs
  // beside the first for 21600 s: the usage counts those seconds once, the
  // sum twice.
  struct Row {
    int32_t bbsSessions;
    int64_t bbsTime;
    bool parallel;
    const char* output;
  } rows[] = {
      {0, 0, false, "usage  50.00% sum  50.00% bbs 0.00%\n"},
      {2, 8640, false, "usage  50.00% sum  50.00% bbs 10.00%\nBBS was used\n"},
      {0, 0, true, "usage  50.00% sum  75.00% bbs 0.00%\n"},
  };
  for (const Row& row : rows) {
    testing::ReportFixture fixture;
    fixture.model.PeriodFirstDay = 5;
    fixture.model.PeriodLastDay = 6;
    fixture.model.TotalOnlineTime = row.parallel ? 30000 + 21600 : 30000;
    fixture.model.TotalCallingTime = 13000;
    fixture.model.LeftTime = 200;
    fixture.model.events = {TEvent{5, 5, 0, 30000, kEventIn},
                            TEvent{5, 5, 30000, 43000, kEventCall}};
    if (row.parallel) fixture.model.events.push_back(TEvent{5, 5, 1000, 22600, kEventOut});
    fixture.model.BbsSessions = row.bbsSessions;
    fixture.model.TotalBbsTime = row.bbsTime;
    fixture.Template("summary.tpl",
                     "%USED=\"BBS was used\"\n@STARTCIRCLE()\nnever\n@ENDCIRCLE()\n"
                     "usage @STATIONUSAGE(RIGHT,7) sum @STATIONUSAGESUM(RIGHT,7) bbs "
                     "@BBSUSAGE(LEFT,*)\n@?BBSUSED=@USED(LEFT,*)\n");
    ReportContext ctx = fixture.Context();
    MakeSummaryReport(ctx);
    EXPECT_EQ(fixture.Output("summary.out"), row.output);
  }
}

}  // namespace
}  // namespace zentrak
