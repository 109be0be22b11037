#include "template/macro_table.h"

#include <gtest/gtest.h>

#include <set>

#include "template_test_fixture.h"

namespace zentrak {
namespace {

using testing::EngineFixture;

int32_t Key(int year, int month, int day) { return year * 365 + month * 31 + day; }

TEST(DateKey, DecodesTheStoredDateAndSettlesTheYearEndOverlap) {
  struct Case {
    int32_t key;
    std::string text;
  };
  const CalendarDate today{7, 12, 2026};
  const Case cases[] = {
      {Key(2026, 12, 7), "07 Dec 2026"},
      {Key(2026, 1, 1), "01 Jan 2026"},
      {Key(2026, 11, 30), "30 Nov 2026"},
      {Key(2025, 12, 24), "24 Dec 2025"},
      // 25-31 Dec share keys with 1-7 Jan of the next year.
      {Key(2026, 1, 5), "05 Jan 2026"},
      {Key(2025, 12, 29), "05 Jan 2026"},
      {Key(2025, 12, 31), "07 Jan 2026"},
      // Read as January the date would lie after today: it was December.
      {Key(2026, 12, 26), "26 Dec 2026"},
      {Key(2027, 1, 2), "26 Dec 2026"},
  };
  for (const Case& c : cases) EXPECT_EQ(DateKeyText(c.key, today), c.text) << c.key;
  // Early in January the January reading of this year is the one that happened.
  EXPECT_EQ(DateKeyText(Key(2027, 1, 3), CalendarDate{3, 1, 2027}), "03 Jan 2027");
}

TEST(Vocabulary, NamesAreUniqueAndConditionsBeginWithTheirMark) {
  std::set<std::string_view> names;
  for (const MacroRow& row : MacroVocabulary()) {
    EXPECT_TRUE(names.insert(row.name).second) << row.name;
    bool condition = row.form == MacroForm::kCondition || row.form == MacroForm::kLineCondition;
    EXPECT_EQ(condition, row.name.substr(0, 2) == "@?") << row.name;
    EXPECT_TRUE(row.form == MacroForm::kMarker || row.value != nullptr) << row.name;
  }
}

/// A station whose every source holds a known value.
struct ValueFixture : EngineFixture {
  ValueFixture() {
    settings.timeWindow.startTime = 3600;
    settings.timeWindow.endTime = 86399;
    settings.ChangeTable = {{false, "2:5020/", "R50/"}, {false, "33600", "33k6"}};
    model.PeriodFrom = {1, 2, 2026};
    model.PeriodTill = {28, 2, 2026};
    // Entry 1 is current: the second link, or the first mailer (counted from 1).
    model.links.resize(2);
    TLink& link = model.links[1];
    link = TLink{"2:5020/1", "", "123-456", "Ann", "Mail 1.0", true, 1000, 234, 3725, 0, 42};
    model.sessions.resize(5);
    model.BbsSessions = 2;
    model.TotalReceived = 1234567.5;
    model.TotalSent = 10;
    model.TotalCps = 321;
    model.TotalOnlineTime = 3600;
    model.TotalCallingTime = 60;
    model.TotalBbsTime = 7;
    model.LeftTime = 1;
    model.lastCalls = {TLastCall{2, 5020, 1, 3, Key(2026, 11, 2), 45296}};
    CurrentSession& s = report.currentSession;
    s = CurrentSession{3600, 3700, true, false, 33600, 2, false, "2:5020/9", 77, 88, 12};
    report.mailerTable = {{"Top", 2}, {"Other", 1}};
    report.sysopCount = 3;
    report.mergedCount = 2;
    report.currentIndex = 1;
    report.stationUsage = "50.00%";
    report.statLine = "##";
  }
};

TEST(Vocabulary, ValueTextsOfEveryGroup) {
  struct Case {
    uint8_t kind;
    int pass;
    std::string input;
    std::string output;
  };
  const Case cases[] = {
      {kLinksReport, 1, "@TIMEFROM(LEFT,*) @DAYFROM(LEFT,*).@MONTHFROM(LEFT,*).@YEARFROM(LEFT,*)",
       "01:00:00 01.02.2026"},
      {kLinksReport, 1, "@TIMETILL(LEFT,*) @DAYTILL(LEFT,*).@MONTHTILL(LEFT,*).@YEARTILL(LEFT,*)",
       "23:59:59 28.02.2026"},
      {kMailersReport, 1, "@MOSTPOPULAR(LEFT,*) @DIFFERENTMAILERS(LEFT,*)", "Top 2"},
      {kSessionsReport, 2, "@STARTTIME(LEFT,*)-@ENDTIME(LEFT,*)", "01:00:00-01:01:40"},
      {kSessionsReport, 2, "@ADDRESS(LEFT,*) @CONNECT(LEFT,*) @RECEIVED(LEFT,*)/@SENT(LEFT,*)",
       "R50/9 33k6 77/88"},
      {kSessionsReport, 2, "@CPS(LEFT,*)@?HYDRA=@X(LEFT,*)@?ZMODEM=@Y(LEFT,*)", "12x"},
      {kSessionsReport, 2, "@?IN=@X(LEFT,*)@?COMPLETE=@Y(LEFT,*)@?ABORTED=@X(LEFT,*)", "xy"},
      {kSessionsReport, 2, "@?PROTECTED=@X(LEFT,*)@?UNPROTECTED=@Y(LEFT,*)", "y"},
      {kLinksReport, 2, "@?PROTECTED=@X(LEFT,*)@?UNPROTECTED=@Y(LEFT,*)", "x"},
      {kLinksReport, 2, "@ADDRESS(LEFT,*) @SYSOP(LEFT,*) @PHONE(LEFT,*) @MAILER(LEFT,*)",
       "R50/1 Ann 123-456 Mail 1.0"},
      {kLinksReport, 2, "@RECEIVED(LEFT,*) @SENT(LEFT,*) @CPS(LEFT,*) @LINKTIME(LEFT,*)",
       "1000 234 42 01:02:05"},
      {kLinksReport, 2, "@LINKTRAFFIC(LEFT,*)", "1234"},
      {kTrafficReport, 2, "@LINKTRAFFIC(LEFT,*) @STATLINE(LEFT,*)", "1,234 ##"},
      {kMailersReport, 2, "@MAILER(LEFT,*) @MAILERSNUMBER(LEFT,*)@MAILERSPROCENT(LEFT,*)",
       "Top 2    66.67%"},
      {kLastCallReport, 2, "@ADDRESS(LEFT,*) @LASTDATE(LEFT,*) @LASTTIME(LEFT,*)",
       "R50/1.3 02 Nov 2026 12:34:56"},
      {kLinksReport, 3, "@NUMBEROFLINKS(LEFT,*) @NUMBEROFSESSIONS(LEFT,*) @TOTALCPS(LEFT,*)",
       "2 3 321"},
      {kLinksReport, 3, "@TOTALRECEIVED(LEFT,*) @TOTALSENT(LEFT,*) @TOTALTRAFFIC(LEFT,*)",
       "1,234,568 10 1,234,578"},
      {kSummaryReport, 3,
       "@TOTALSESSIONTIME(LEFT,*) @TOTALCALLINGTIME(LEFT,*) @TOTALBBSTIME(LEFT,*) "
       "@LEFTTIME(LEFT,*) @TOTALTIME(LEFT,*)",
       "01:00:00 00:01:00 00:00:07 00:00:01 01:01:08"},
      {kSummaryReport, 3, "@STATIONUSAGE(LEFT,*)@?BBSUSED=@X(LEFT,*)", "50.00%x"},
      {kSessionsReport, 3, "@?HIDENULLSESSIONS=@X(LEFT,*)|", "|"},
      {kHistogramReport, 3, "@?MAKEHISTFORALL=@X(LEFT,*)|", "x|"},
  };
  for (const Case& c : cases) {
    ValueFixture f;
    f.Defines("%X=\"x\"\n%Y=\"y\"\n");
    EXPECT_EQ(f.Expand(c.input, c.pass, c.kind), c.output) << c.input;
  }
}

// Numbers go into the line as their plain decimal text, whatever their size or sign.
TEST(Vocabulary, NumbersAtTheEndsOfTheRange) {
  ValueFixture f;
  f.model.links[1].Received = INT64_MAX;
  f.model.links[1].Sent = INT64_MIN;
  f.model.links[1].Cps = 0;
  f.report.currentSession.received = -1;
  EXPECT_EQ(f.Expand("@RECEIVED(LEFT,*) @SENT(LEFT,*) @CPS(LEFT,*)", 2, kLinksReport),
            "9223372036854775807 -9223372036854775808 0");
  EXPECT_EQ(f.Expand("@RECEIVED(RIGHT,4)|", 2, kSessionsReport), "  -1|");
}

TEST(Vocabulary, FilesReportLines) {
  struct Case {
    CurrentFileLine line;
    std::string output;
  };
  const std::string input =
      "@?IN=@I(LEFT,*)@?OUT=@O(LEFT,*)@?COMPLETE=@C(LEFT,*)@?ABORTED=@A(LEFT,*)"
      "@?FILENAME=@F(LEFT,*)@?FILEALIAS=@L(LEFT,*)@?NOTIME=@N(LEFT,*)@?ISTIME=@T(LEFT,*)"
      " @FILESIZE(LEFT,*) @FILECPS(LEFT,*)";
  const Case cases[] = {
      {CurrentFileLine{false, false, 0, 0, 0, 0, 0, 900, 90, false}, "CLT 900 90"},
      {CurrentFileLine{true, true, 100, 0, 0, 5000, 50, 0, 0, false}, "ICFT 5000 50"},
      {CurrentFileLine{true, false, 100, 1000, 0, 5000, 50, 0, 0, false}, "OAFT 4000 50"},
      {CurrentFileLine{true, false, 9999999, 0, 3000, 5000, 0, 0, 0, false}, "OAFN 3000 0"},
      {CurrentFileLine{true, false, 9999996, 0, 0, 5000, 0, 0, 0, false}, "OCFN 5000 0"},
  };
  for (const Case& c : cases) {
    ValueFixture f;
    f.Defines("%I=\"I\"\n%O=\"O\"\n%C=\"C\"\n%A=\"A\"\n%F=\"F\"\n%L=\"L\"\n%N=\"N\"\n%T=\"T\"\n");
    f.report.fileLine = c.line;
    EXPECT_EQ(f.Expand(input, 2, kFilesReport), c.output) << c.output;
  }
  // A link's address shows on its first line only.
  ValueFixture f;
  EXPECT_EQ(f.Expand("[@ADDRESS(LEFT,*)]", 2, kFilesReport), "[R50/1]");
  EXPECT_EQ(f.Expand("[@ADDRESS(LEFT,*)]", 2, kFilesReport), "[]");
}

TEST(Vocabulary, GraphicScaleLabels) {
  const std::pair<int, std::string> rows[] = {
      {15, "100%"}, {12, "    "}, {10, " 60%"}, {5, " 30%"}, {1, "    "}};
  for (const auto& [row, label] : rows) {
    EngineFixture f;
    f.report.currentRow = row;
    EXPECT_EQ(f.Expand("@PROCENT(LEFT,*)", 2, kGraphicReport), label) << row;
  }
}

}  // namespace
}  // namespace zentrak
