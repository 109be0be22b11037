// Records written on two threads must make the report one thread makes, byte
// for byte, and leave the run as one thread leaves it.
#include "reports/record_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "report_test_fixture.h"
#include "reports/bar_reports.h"
#include "reports/links_report.h"
#include "reports/sessions_report.h"

namespace zentrak {
namespace {

// Many sessions of every kind, so that both threads get several turns.
void RandomSessions(SessionModel& model, size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  for (size_t k = 0; k < count; ++k) {
    TSession session;
    std::string address =
        "2:" + std::to_string(random() % 50) + "/" + std::to_string(random() % 900);
    if (random() % 7 == 0) address += "<&>@x";  // bytes that the escaping changes
    session.Address = model.texts.Intern(address);
    session.StartTime = static_cast<int32_t>(random() % 86400);
    session.EndTime = static_cast<int32_t>(random() % 86400);
    session.Incoming = random() % 2 == 0;
    session.Aborted = random() % 5 == 0;
    session.Received = random() % 3 == 0 ? 0 : static_cast<int64_t>(random() % 1000000);
    session.Sent = random() % 3 == 0 ? 0 : static_cast<int64_t>(random() % 1000000);
    session.Cps = static_cast<int32_t>(random() % 9999);
    session.Bbs = random() % 20 == 0;
    model.sessions.push_back(session);
  }
}

TEST(WriteUnits, TheSessionsReportIsTheSameOnAnyNumberOfThreads) {
  // A compiled line, a line the expander takes (a user macro whose value holds
  // a condition), a line end joined by @NOEND(), and HTML escaping.
  const std::string templates[] = {
      "[\n@STARTCIRCLE()\n@ADDRESS(LEFT,20) @RECEIVED(RIGHT,9) @SENT(RIGHT,9)@NOEND()\n"
      " @STARTTIME(LEFT,8) @?IN=@IN(LEFT,3)\n@ENDCIRCLE()\n]\n",
      "%IN=\"@?ABORTED=x\"\n%ESCAPE=\"HTML\"\n@STARTCIRCLE()\n@IN(LEFT,*)@ADDRESS(CENTER,13)\n"
      "@ENDCIRCLE()\nend\n",
      // Lines so wide that a turn of records is more than the output gathers at once.
      "@STARTCIRCLE()\n@ADDRESS(RIGHT,200)|\n@ENDCIRCLE()\n",
  };
  for (const std::string& text : templates) {
    for (bool hideNull : {false, true}) {
      std::string reports[3];
      std::string consoles[3];
      for (int threads = 1; threads <= 3; ++threads) {
        testing::ReportFixture fixture;
        fixture.settings.HIDE_NULL_SESSIONS = hideNull;
        RandomSessions(fixture.model, 9000, 5);
        fixture.Template("sessions.tpl", text);
        ReportContext ctx = fixture.Context();
        MakeSessionsReport(ctx, threads);
        reports[threads - 1] = fixture.Output("sessions.out");
        consoles[threads - 1] = fixture.console.Text();
      }
      EXPECT_GT(reports[0].size(), 9000u);
      EXPECT_EQ(reports[1], reports[0]) << text;
      EXPECT_EQ(reports[2], reports[0]) << text;
      EXPECT_EQ(consoles[1], consoles[0]);
      EXPECT_EQ(consoles[2], consoles[0]);
    }
  }
}

// The link reports write a record a link: the list as it stands, and the bar
// reports, whose links without a bar write nothing but still change the state.
TEST(WriteUnits, LinkReportsAreTheSameOnAnyNumberOfThreads) {
  std::mt19937 random(11);
  std::vector<TLink> links;
  for (int k = 0; k < 5000; ++k) {
    links.push_back(testing::MakeLink("2:" + std::to_string(k) + "/1",
                                      "Sysop " + std::to_string(k % 97), "",
                                      static_cast<int32_t>(random() % 3 == 0 ? 0 : random() % 9000),
                                      static_cast<int64_t>(random() % 100000)));
  }
  const std::string body =
      "%LINELENGTH=\"40\"\n%DRAWSYMBOL=\"#\"\n@STARTCIRCLE()\n"
      "@ADDRESS(LEFT,12) @SYSOP(LEFT,12) [@STATLINE(LEFT,*)]\n@ENDCIRCLE()\nend\n";
  std::string reports[2][2];
  for (int threads = 1; threads <= 2; ++threads) {
    testing::ReportFixture fixture;
    fixture.model.links = links;
    fixture.Template("links.tpl", body);
    fixture.Template("cps.tpl", body);
    ReportContext ctx = fixture.Context();
    ReportSteps listing;
    listing.records = [&] { return ListEveryLink(ctx, threads); };
    ASSERT_TRUE(RunReportFrame(ctx, kLinksReport, listing));
    ReportSteps bars;
    bars.prepare = [&] { SortLinks(ctx.model.links, CpsAfter); };
    bars.records = [&] {
      ListBarredLinks(
          ctx, BarMeasure{kCpsReport, CpsAfter, [](const TLink& l) { return int64_t{l.Cps}; }},
          threads);
      // What the last link left, whichever thread wrote it.
      EXPECT_EQ(ctx.report.currentIndex, 4999);
      EXPECT_EQ(ctx.report.barLength, 0);
      return true;
    };
    ASSERT_TRUE(RunReportFrame(ctx, kCpsReport, bars));
    reports[threads - 1][0] = fixture.Output("link.out");
    reports[threads - 1][1] = fixture.Output("cps.out");
  }
  EXPECT_EQ(reports[1][0], reports[0][0]);
  EXPECT_EQ(reports[1][1], reports[0][1]);
  EXPECT_NE(reports[0][1].find("#####"), std::string::npos);
}

// Units of very different sizes, one too big to be held in memory, and units
// that do nothing (size 0), thousands of them at the end: the bytes come in
// unit order, the announcements too, and the state and generated macro are the
// last record's, whichever thread wrote it.
TEST(WriteUnits, UnitsKeepTheirOrderAndTheLastRecordsStateStays) {
  std::vector<size_t> mixed;
  for (size_t u = 0; u < 40; ++u) mixed.push_back(u == 3 ? 70000 : (u * 97) % 900 + 1);
  std::vector<size_t> idleEnd;
  for (size_t u = 0; u < 6000; ++u) idleEnd.push_back(u < 2500 && u % 3 != 0 ? 1 : 0);
  std::vector<size_t> idleAfterLong = {3, 0, 20000, 0, 0};
  for (size_t u = 0; u < 3000; ++u) idleAfterLong.push_back(0);
  // One unit; two turns; a long mix; idle units after the last records.
  for (const std::vector<size_t>& sizes :
       {std::vector<size_t>{5}, {1024, 1024}, mixed, idleEnd, idleAfterLong}) {
    size_t units = sizes.size();
    size_t lastActing = units;
    while (sizes[--lastActing] == 0) {
    }
    std::string reports[2];
    for (int threads = 1; threads <= 2; ++threads) {
      testing::ReportFixture fixture;
      fixture.Template("sessions.tpl",
                       "@STARTCIRCLE()\n@ADDRESS(LEFT,*) @UNIT(LEFT,*)\n@ENDCIRCLE()\n");
      ReportContext ctx = fixture.Context();
      std::vector<size_t> announced;
      int unitMacro = -1;
      std::string lastValue;
      ReportSteps steps;
      steps.records = [&] {
        unitMacro = ctx.engine.AddGeneratedMacro("@UNIT", "");
        WriteUnits(
            ctx, units,
            [&](TemplateEngine& engine, ReportState& report, size_t u) {
              if (sizes[u] == 0) return false;
              engine.SetMacroValue(unitMacro, std::to_string(u));
              for (size_t r = 0; r < sizes[u]; ++r) {
                report.currentSession.address = std::to_string(u) + "." + std::to_string(r);
                engine.TemplateBody();
              }
              return true;
            },
            [&](size_t u) { return sizes[u]; }, [&](size_t u) { announced.push_back(u); }, threads);
        lastValue = ctx.engine.Definitions()[static_cast<size_t>(unitMacro)].value;
        return true;
      };
      ASSERT_TRUE(RunReportFrame(ctx, kSessionsReport, steps));
      std::string last = std::to_string(lastActing);
      EXPECT_EQ(fixture.report.currentSession.address,
                last + "." + std::to_string(sizes[lastActing] - 1))
          << units << " units, threads " << threads;
      EXPECT_EQ(lastValue, last) << units << " units, threads " << threads;
      std::vector<size_t> expected(units);
      for (size_t u = 0; u < units; ++u) expected[u] = u;
      EXPECT_EQ(announced, expected);
      reports[threads - 1] = fixture.Output("sessions.out");
    }
    EXPECT_EQ(reports[1], reports[0]);
    if (units == 40) {
      EXPECT_NE(reports[0].find("\n3.69999 3\n4.0 4\n"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace zentrak
