// The histogram's cells: the period on one axis, where sessions fall, the
// guide marks and the merged total row.
#include "reports/histogram_report.h"

#include <gtest/gtest.h>

#include "report_test_fixture.h"

namespace zentrak {
namespace {

constexpr int32_t kHour = 3600;

TSession Session(int32_t startDay, int32_t startTime, int32_t endDay, int32_t endTime) {
  TSession session;
  session.StartDay = startDay;
  session.StartTime = startTime;
  session.EndDay = endDay;
  session.EndTime = endTime;
  return session;
}

TEST(HistogramCellTest, CellsDivideThePeriodEvenly) {
  HistogramWindow day = HistogramWindowOf(1, 2, 0, 0);
  EXPECT_EQ(day.start, 86400);
  EXPECT_EQ(day.end, 172800);
  struct Row {
    int64_t at;
    int32_t cell;
  } rows[] = {
      {86400, 0},
      {86400 + 3599, 0},
      {86400 + 3600, 1},
      {86400 + 12 * kHour, 12},
      {172800 - 1, 23},
      {172800, 23},
      {0, 0},
      {500000, 23},
  };
  for (const Row& row : rows) EXPECT_EQ(HistogramCell(day, 24, row.at), row.cell) << row.at;
  // A period from 10:00 on day -2 to 10:00 on day 1: three days, last year's included.
  HistogramWindow days = HistogramWindowOf(-2, 1, 10 * kHour, 10 * kHour);
  EXPECT_EQ(days.end - days.start, 3 * 86400);
  EXPECT_EQ(HistogramCell(days, 72, days.start + 86400), 24);
}

TEST(HistogramCellTest, SessionsMarkTheCellsTheyCover) {
  HistogramWindow window = HistogramWindowOf(1, 2, 0, 0);  // 24 cells of an hour
  struct Row {
    TSession session;
    const char* row;
    int64_t seconds;
  } rows[] = {
      {Session(1, 10 * kHour, 1, 10 * kHour + 1800), "..........#.............", 1800},
      {Session(1, 10 * kHour, 1, 11 * kHour), "..........#.............", 3600},
      {Session(1, 10 * kHour, 1, 11 * kHour + 1), "..........##............", 3601},
      {Session(1, 5 * kHour, 1, 5 * kHour), ".....#..................", 0},
      {Session(0, 23 * kHour, 1, 1 * kHour), "#.......................", 3600},
      {Session(0, 22 * kHour, 1, 0), "........................", 0},
      {Session(1, 23 * kHour, 2, 2 * kHour), ".......................#", 3600},
      {Session(1, 23 * kHour, 1, 1 * kHour), ".......................#", 3600},  // wraps once
      {Session(2, 1 * kHour, 2, 2 * kHour), "........................", 0},
      {Session(2, 0, 2, 600), ".......................#", 0},  // at the period's last second
  };
  for (const Row& row : rows) {
    std::string cells(24, '.');
    EXPECT_EQ(MarkSession(cells, window, row.session, '#'), row.seconds) << row.row;
    EXPECT_EQ(cells, row.row);
  }
}

TEST(HistogramGuideTest, GuidesKeepSixCellsApartAndSitOnRoundTimes) {
  struct Row {
    HistogramWindow window;
    int32_t cells;
    int64_t step;
    const char* row;
  } rows[] = {
      {HistogramWindowOf(1, 2, 0, 0), 24, 6 * kHour, "......|.....|.....|....."},
      {HistogramWindowOf(1, 2, 0, 0), 12, 12 * kHour, "......|....."},
      {HistogramWindowOf(1, 8, 0, 0), 14, 7 * 86400, "............|."},
      {HistogramWindowOf(1, 1, 3 * kHour, 15 * kHour), 12, 6 * kHour, "...|.....|.."},
      {HistogramWindowOf(1, 2, 0, 0), 3, 2 * 86400, "..."},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(HistogramGuideStep(row.window, row.cells), row.step) << row.row;
    EXPECT_EQ(HistogramBackground(row.window, row.cells, '.', true), row.row);
    EXPECT_EQ(HistogramBackground(row.window, row.cells, '.', false), std::string(row.cells, '.'));
  }
}

TEST(HistogramTotalTest, TheTotalRowHoldsEveryLinksMarksOverTheGuides) {
  std::string total = "..|..|..";
  MergeHistogramRow(total, "##|..|..", '#');
  MergeHistogramRow(total, "..|..#..", '#');
  MergeHistogramRow(total, "..#..|..", '#');  // a guide-less row marking a guide cell
  EXPECT_EQ(total, "###..#..");
}

}  // namespace
}  // namespace zentrak

namespace zentrak {
namespace {

TSession LinkSession(std::string address, int32_t startTime, int32_t endTime, bool bbs = false) {
  TSession session = Session(1, startTime, 1, endTime);
  session.Address = std::move(address);
  session.Bbs = bbs;
  return session;
}

TEST(HistogramReportTest, ListsLinksByAddressWithTheirRowsAndTheTotalRowOnRequest) {
  struct Row {
    bool forAll;
    const char* footer;
  } rows[] = {{true, "all   ......|...#.|#....|.....\n"}, {false, ""}};
  for (const Row& row : rows) {
    testing::ReportFixture fixture;
    fixture.settings.MAKE_HIST_FOR_ALL = row.forAll;
    fixture.settings.timeWindow = TimeWindow{1, 0, 0, 0};
    fixture.model.PeriodFirstDay = 1;
    fixture.model.PeriodLastDay = 2;
    fixture.model.links = {testing::MakeLink("2:5020/10", "B"), testing::MakeLink("2:5020/9", "A")};
    fixture.model.sessions = {LinkSession("2:5020/9", 10 * kHour, 11 * kHour),
                              LinkSession("2:5020/9", 20 * kHour, 21 * kHour, true),  // BBS
                              LinkSession("2:5020/10", 13 * kHour, 13 * kHour + 900)};
    fixture.Template(
        "hist.tpl",
        "%LINELENGTH=\"24\"\n%BACKGROUND=\".\"\n@STARTCIRCLE()\n"
        "@ADDRESS(LEFT,10)@STATLINE(LEFT,@LINELENGTH) @TOTALSESSIONTIME(LEFT,*)\n"
        "@ENDCIRCLE()\n@?MAKEHISTFORALL=@ALL(LEFT,*)@?MAKEHISTFORALL=@TOTALHISTLINE(LEFT,*)\n");
    fixture.Template("hist.tpl",
                     "%ALL=\"all   \"\n" + testing::ReadFile(fixture.dir.File("hist.tpl")));
    ReportContext ctx = fixture.Context();
    MakeHistogramReport(ctx);
    EXPECT_EQ(fixture.Output("hist.out"),
              std::string("2:5020/9  ......|...#.|.....|..... 01:00:00\n"
                          "2:5020/10 ......|.....|#....|..... 00:15:00\n") +
                  row.footer);
    EXPECT_EQ(fixture.model.links[0].Address, "2:5020/9");
  }
}

}  // namespace
}  // namespace zentrak
