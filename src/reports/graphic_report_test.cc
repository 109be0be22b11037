// The graphic chart's arithmetic: window, columns, row unit, how events spread
// over columns (midnight included) and how the kinds stack.
#include "reports/graphic_report.h"

#include <gtest/gtest.h>

#include "report_test_fixture.h"

namespace zentrak {
namespace {

constexpr int32_t kHour = 3600;

TEvent Event(int32_t startDay, int32_t startTime, int32_t endDay, int32_t endTime, uint8_t kind) {
  return TEvent{startDay, endDay, startTime, endTime, kind};
}

const std::array<char, 4> kSymbols = {'O', 'I', 'B', 'C'};

// Column `column` (1-based) of the chart read from the bottom row up.
std::string ColumnText(const std::vector<std::string>& rows, size_t column) {
  std::string text;
  for (const std::string& row : rows) text += row[column - 1];
  return text;
}

TEST(GraphicArithmeticTest, WindowColumnsAndRowUnit) {
  struct Row {
    int32_t start, end, columns;
    int64_t windowLength, columnSeconds, rowUnit;
  } rows[] = {
      {8 * kHour, 18 * kHour, 60, 36000, 600, 37},  // 600 / 16 = 37.5, truncated
      {0, 0, 72, 86400, 1200, 75},                  // equal bounds: the whole day
      {22 * kHour, 6 * kHour, 48, 28800, 600, 37},  // across midnight
      {0, 1000, 3, 1000, 333, 20},
      {0, 1000, 6, 1000, 167, 10},  // 166.67 rounds up
      {0, 256, 16, 256, 16, 1},
      {0, 200, 72, 200, 3, 1},  // below 16 s a row is still 1 s
      {0, 20, 72, 20, 0, 1},
  };
  for (const Row& row : rows) {
    GraphicWindow window = GraphicWindowOf(row.start, row.end);
    EXPECT_EQ(window.end - window.start, row.windowLength) << row.start << "-" << row.end;
    int64_t seconds = ColumnSeconds(window, row.columns);
    EXPECT_EQ(seconds, row.columnSeconds) << row.start << "-" << row.end;
    EXPECT_EQ(RowUnit(seconds), row.rowUnit) << row.start << "-" << row.end;
  }
}

TEST(GraphicArithmeticTest, TenHourWindowOfSixtyColumns) {
  GraphicWindow window = GraphicWindowOf(8 * kHour, 18 * kHour);
  // 300 seconds of outgoing time in column 3, 600 of incoming in column 5.
  std::vector<TEvent> events = {Event(5, 8 * kHour + 1300, 5, 8 * kHour + 1600, 0),
                                Event(5, 8 * kHour + 2400, 5, 8 * kHour + 3000, 1)};
  GraphicColumns counters = DistributeEvents(events, window, 60);
  ASSERT_EQ(counters.size(), 60u);
  EXPECT_EQ(counters[2][0], 300);
  EXPECT_EQ(counters[4][1], 600);
  std::vector<std::string> rows = BuildGraphicRows(counters, 37, kSymbols, '.');
  ASSERT_EQ(rows.size(), 15u);
  EXPECT_EQ(rows[0].size(), 60u);
  EXPECT_EQ(ColumnText(rows, 3), "OOOOOOOO.......");  // 300 / 37 = 8 rows
  EXPECT_EQ(ColumnText(rows, 5), "IIIIIIIIIIIIIII");  // 600 / 37 = 16, capped at 15
  EXPECT_EQ(ColumnText(rows, 4), "...............");
}

TEST(GraphicArithmeticTest, KindsStackFromTheBottomAndLaterKindsOverwriteRowFifteen) {
  GraphicColumns counters = {
      {5, 4, 3, 5},                 // 17 rows asked for: the calls take rows 13 to 15
      {14, 1, 2, 0},                // in takes row 15, then BBS overwrites it
      {20, 0, 0, 0},                // one kind past the top stops at row 15
      {0, 0, 0, 3},                 // calls alone sit at the bottom
      {0, 0, 0, 0},  {1, 1, 1, 1},  // below one row unit: nothing
  };
  for (auto& column : counters) {
    for (int64_t& seconds : column) seconds *= 10;
  }
  counters[5] = {9, 9, 9, 9};
  std::vector<std::string> rows = BuildGraphicRows(counters, 10, kSymbols, ' ');
  struct Row {
    size_t column;
    const char* bottomUp;
  } expected[] = {
      {1, "OOOOOIIIIBBBCCC"}, {2, "OOOOOOOOOOOOOOB"}, {3, "OOOOOOOOOOOOOOO"},
      {4, "CCC            "}, {5, "               "}, {6, "               "},
  };
  for (const Row& row : expected) {
    EXPECT_EQ(ColumnText(rows, row.column), row.bottomUp) << "column " << row.column;
  }
}

TEST(GraphicArithmeticTest, EventsSpreadOverTheColumnsTheyCover) {
  GraphicWindow window = GraphicWindowOf(8 * kHour, 18 * kHour);  // 600 s columns
  int32_t base = 8 * kHour;
  std::vector<TEvent> events = {
      Event(1, base + 500, 1, base + 2000, 0),          // columns 1 to 4
      Event(1, base + 2100, 1, base + 2200, 3),         // right after a long one: counted
      Event(1, base - 10, 1, base + 300, 1),            // starts before the window: not drawn
      Event(1, base + 35900, 1, base + 37000, 2),       // runs past the end: cut at the end
      Event(1, 18 * kHour + 1, 1, 18 * kHour + 50, 0),  // starts after the end
      Event(2, base + 500, 2, base + 700, 0),           // another day lands on the same axis
  };
  GraphicColumns counters = DistributeEvents(events, window, 60);
  EXPECT_EQ(counters[0][0], 100 + 100);
  EXPECT_EQ(counters[1][0], 600 + 100);
  EXPECT_EQ(counters[2][0], 600);
  EXPECT_EQ(counters[3][0], 200);
  EXPECT_EQ(counters[3][3], 100);
  EXPECT_EQ(counters[0][1], 0);
  EXPECT_EQ(counters[59][2], 100);
  int64_t all = 0;
  for (const auto& column : counters) all += column[0] + column[1] + column[2] + column[3];
  EXPECT_EQ(all, 1500 + 100 + 100 + 200);
}

TEST(GraphicArithmeticTest, TheLastColumnTakesTheRoundingRemainder) {
  GraphicWindow window = GraphicWindowOf(0, 1000);  // 3 columns of 333 s: the last one to 1000
  std::vector<TEvent> events = {Event(1, 990, 1, 1000, 1), Event(1, 600, 1, 700, 0),
                                Event(1, 1000, 1, 1005, 3)};
  GraphicColumns counters = DistributeEvents(events, window, 3);
  EXPECT_EQ(counters[2][1], 10);
  EXPECT_EQ(counters[1][0], 66);
  EXPECT_EQ(counters[2][0], 34);
  EXPECT_EQ(counters[2][3], 0);
}

TEST(GraphicArithmeticTest, AWindowAcrossMidnightFollowsEachNight) {
  GraphicWindow window = GraphicWindowOf(22 * kHour, 6 * kHour);  // 48 columns of 600 s
  ASSERT_TRUE(window.crossesMidnight);
  std::vector<TEvent> events = {
      Event(10, 23 * kHour, 10, 23 * kHour + 600, 0),          // column 7
      Event(11, 1 * kHour, 11, 1 * kHour + 300, 1),            // after midnight: column 19
      Event(10, 86400 - 300, 11, 300, 0),                      // across midnight: columns 12, 13
      Event(11, 12 * kHour, 11, 12 * kHour + 600, 2),          // midday: outside
      Event(12, 22 * kHour + 30, 12, 22 * kHour + 90, 3),      // the next night: column 1
      Event(12, 5 * kHour + 59 * 60, 12, 6 * kHour + 600, 1),  // runs past 06:00
  };
  GraphicColumns counters = DistributeEvents(events, window, 48);
  EXPECT_EQ(counters[6][0], 600);
  EXPECT_EQ(counters[18][1], 300);
  EXPECT_EQ(counters[11][0], 300);
  EXPECT_EQ(counters[12][0], 300);
  EXPECT_EQ(counters[0][3], 60);
  EXPECT_EQ(counters[47][1], 60);
  int64_t bbs = 0;
  for (const auto& column : counters) bbs += column[2];
  EXPECT_EQ(bbs, 0);

  GraphicSpan span = EventSpan(Event(10, 86400 - 300, 11, 300, 0), window);
  EXPECT_EQ(span.start, 86100);
  EXPECT_EQ(span.end, 86700);
  span = EventSpan(Event(11, 1 * kHour, 11, 1 * kHour + 300, 1), window);
  EXPECT_EQ(span.start, 90000);
}

TEST(GraphicArithmeticTest, KindSymbolsFollowTheActivityKinds) {
  ReportState report;
  report.graphicSymbols[kGraphicIn] = 'i';
  report.graphicSymbols[kGraphicOut] = 'o';
  report.graphicSymbols[kGraphicBbs] = 'b';
  report.graphicSymbols[kGraphicCall] = 'c';
  std::array<char, 4> symbols = GraphicKindSymbols(report);
  EXPECT_EQ(std::string(symbols.begin(), symbols.end()), "oibc");
}

}  // namespace
}  // namespace zentrak

namespace zentrak {
namespace {

TEST(GraphicChartTest, SharesOfHalfHoursStackAndStopAtTheTop) {
  std::vector<TEvent> events = {
      Event(1, 0, 1, 15 * 60, 0),                    // half of 00:00-00:30 outgoing
      Event(1, 12 * kHour, 1, 13 * kHour, 1),        // two half hours incoming...
      Event(2, 12 * kHour, 2, 12 * kHour + 600, 3),  // ...and dialling on top, cut
      Event(1, 23 * kHour + 3000, 2, 600, 2),        // BBS past midnight: not in the next day
  };
  std::string svg = ActivityChartOf(events, 0, 0);
  for (const char* text : {"<title>00:00: 50% outgoing</title>", "<title>12:00: 100% incoming",
                           "<title>12:30: 100% incoming", "<title>23:30: 33.3% BBS",
                           ">03:00</text>", ">100%</text>", "data-chart=\"activity\""}) {
    EXPECT_NE(svg.find(text), std::string::npos) << text;
  }
  // The dialling is left out where incoming took the whole column; no bar of 0 is drawn.
  EXPECT_EQ(svg.find("dialling</title>"), std::string::npos);
  EXPECT_EQ(svg.find(">00:30</text>"), std::string::npos);  // one label in six
}

// A binkd log has no BBS calls, and a node whose calls all connected no
// dialling: the chart's key leaves them out, and keeps both directions.
TEST(GraphicChartTest, KeyShowsOnlyKindsTheLogHas) {
  std::string svg = ActivityChartOf({Event(1, 3 * kHour, 1, 4 * kHour, 0)}, 0, 0);
  EXPECT_NE(svg.find(">outgoing</text>"), std::string::npos) << svg;
  EXPECT_NE(svg.find(">incoming</text>"), std::string::npos);
  EXPECT_EQ(svg.find("BBS"), std::string::npos);
  EXPECT_EQ(svg.find("dialling"), std::string::npos);
  svg = ActivityChartOf({Event(1, 3 * kHour, 1, 4 * kHour, 3)}, 0, 0);
  EXPECT_NE(svg.find(">dialling</text>"), std::string::npos);
  EXPECT_EQ(svg.find("BBS"), std::string::npos);
}

TEST(GraphicReportTest, WritesFifteenRowsTopFirstAndCutsTheChartToSeventyTwoColumns) {
  testing::ReportFixture fixture;
  fixture.Template("graphic.tpl",
                   "%LINELENGTH=\"100\"\n%BACKGROUND=\".\"\n%GRAPHICOUTSYMBOL=\"O\"\n"
                   "%GRAPHICINSYMBOL=\"I\"\n%FROM=\"@GRAPHICSTARTTIME\"\n"
                   "from @FROM(LEFT,*)\n@STARTCIRCLE()\n@PROCENT(LEFT,4)|@STATLINE(LEFT,*)|\n"
                   "@ENDCIRCLE()\nend\n");
  fixture.model.events = {Event(3, 0, 3, 1200, 0),                        // column 1, full
                          Event(3, 12 * kHour, 3, 12 * kHour + 600, 1)};  // column 37, half
  ReportContext ctx = fixture.Context();
  MakeGraphicReport(ctx);
  std::string expected = "from 00:00:00\n";
  for (int row = 15; row >= 1; --row) {
    std::string cells(72, '.');
    cells[0] = 'O';
    if (row <= 8) cells[36] = 'I';
    const char* label = row == 15 ? "100%" : row == 10 ? " 60%" : row == 5 ? " 30%" : "    ";
    expected += std::string(label) + "|" + cells + "|\n";
  }
  expected += "end\n";
  EXPECT_EQ(fixture.Output("graphic.out"), expected);
  EXPECT_EQ(fixture.report.lineLength, 72);
  EXPECT_EQ(fixture.console.Masked(), ". STAMP Processing graphic.out\n");
}

}  // namespace
}  // namespace zentrak
