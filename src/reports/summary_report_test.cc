// The summary report's period length and usage percentages.
#include "reports/summary_report.h"

#include <gtest/gtest.h>

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
