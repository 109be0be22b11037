// The last call report: it saves the sorted history, even when the report
// itself fails, and lists it.
#include "reports/last_call_report.h"

#include <gtest/gtest.h>

#include "log/last_call_history.h"
#include "report_test_fixture.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::FileExists;
using testing::ReadFile;

TLastCall Record(uint16_t zone, uint16_t net, uint16_t node, uint16_t point, int32_t date,
                 int32_t time) {
  return TLastCall{zone, net, node, point, date, time};
}

std::string Addresses(const SessionModel& model) {
  std::string text;
  for (const TLastCall& record : model.lastCalls) text += LastCallAddress(record) + " ";
  return text;
}

int32_t DateKey(int32_t year, int32_t month, int32_t day) { return year * 365 + month * 31 + day; }

TEST(LastCallReportTest, SavesTheSortedHistoryAndListsIt) {
  testing::ReportFixture fixture;
  std::string history = fixture.dir.File("lastcall.bin");
  fixture.model.lastCalls = {Record(2, 5020, 10, 0, DateKey(2026, 12, 7), 3600),
                             Record(2, 5020, 9, 3, DateKey(2026, 1, 1), 86399)};
  fixture.Template("lastcall.tpl",
                   "@STARTCIRCLE()\n@ADDRESS(LEFT,14)@LASTDATE(LEFT,12)@LASTTIME(LEFT,*)\n"
                   "@ENDCIRCLE()\n");
  ReportContext ctx = fixture.Context();
  MakeLastCallReport(ctx, history);
  EXPECT_EQ(fixture.Output("lastcall.out"),
            "2:5020/9.3    01 Jan 2026 23:59:59\n"
            "2:5020/10     07 Dec 2026 01:00:00\n");
  SessionModel saved;
  LoadLastCalls(history, saved, NativePlatform());
  EXPECT_EQ(Addresses(saved), "2:5020/9.3 2:5020/10 ");
}

TEST(LastCallReportTest, TheHistoryIsSavedEvenWhenTheReportFails) {
  testing::ReportFixture fixture;
  std::string history = fixture.dir.File("lastcall.bin");
  fixture.model.lastCalls = {Record(1, 2, 3, 0, 10, 10)};
  ReportContext ctx = fixture.Context();
  MakeLastCallReport(ctx, history);  // no template
  EXPECT_TRUE(fixture.outcomes.Failed(kLastCallReport));
  EXPECT_FALSE(FileExists(fixture.dir.File("lastcall.out")));
  EXPECT_EQ(ReadFile(history).size(), kLastCallRecordSize);
}

// A history that could not be read is not written over (its records would be
// lost), and the report of one period's addresses is not published either.
TEST(LastCallReportTest, AnUnreadHistoryIsLeftAsItWasAndTheReportFails) {
  testing::ReportFixture fixture;
  std::string history = fixture.dir.File("lastcall.bin");
  testing::WriteFile(history, "unread");
  testing::WriteFile(fixture.dir.File("lastcall.out"), "published before\n");
  fixture.Template("lastcall.tpl", "@STARTCIRCLE()\n@ADDRESS(LEFT,*)\n@ENDCIRCLE()\n");
  fixture.model.lastCalls = {Record(1, 2, 3, 0, 10, 10)};
  ReportContext ctx = fixture.Context();
  MakeLastCallReport(ctx, history, false);
  EXPECT_EQ(ReadFile(history), "unread");
  EXPECT_EQ(fixture.Output("lastcall.out"), "published before\n");
  EXPECT_TRUE(fixture.outcomes.Failed(kLastCallReport));
  EXPECT_EQ(fixture.console.Masked(),
            "! STAMP lastcall.out is left as it was: the history could not be read\n");
}

}  // namespace
}  // namespace zentrak
