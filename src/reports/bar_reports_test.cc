// Tests of the CPS, traffic and time reports: order, bars, links left out,
// and the draw symbol's lifetime.
#include "reports/bar_reports.h"

#include <gtest/gtest.h>

#include "report_test_fixture.h"

namespace zentrak {
namespace {

using testing::MakeLink;

constexpr const char* kBarBody =
    "@STARTCIRCLE()\n@ADDRESS(LEFT,*) [@STATLINE(LEFT,*)]\n@ENDCIRCLE()\n";

std::string BarTemplate(int lineLength, const char* drawSymbol) {
  std::string text = "%LINELENGTH=\"" + std::to_string(lineLength) + "\"\n";
  if (drawSymbol) text += std::string("%DRAWSYMBOL=\"") + drawSymbol + "\"\n";
  return text + "top\n" + kBarBody + "end\n";
}

TEST(BarReports, RankLinksAndLeaveOutThoseWithoutABar) {
  struct Row {
    void (*make)(ReportContext&);
    const char* templateName;
    const char* outputName;
    int lineLength;
    std::vector<TLink> links;
    const char* expected;
  };
  const Row rows[] = {
      {MakeCpsReport,
       "cps.tpl",
       "cps.out",
       40,
       {MakeLink("1:1/1", "", "", 10), MakeLink("1:1/2", "", "", 1000),
        MakeLink("1:1/3", "", "", 500)},
       "top\n1:1/2 [########################################]\n1:1/3 "
       "[####################]\nend\n"},
      {MakeTrafficReport,
       "traffic.tpl",
       "traffic.out",
       10,
       {MakeLink("1:1/1", "", "", 0, 100, 100), MakeLink("1:1/2", "", "", 0, 0, 800),
        MakeLink("1:1/3", "", "", 0, 400, 0)},
       "top\n1:1/2 [##########]\n1:1/3 [#####]\n1:1/1 [###]\nend\n"},  // 2.5 rounds to 3
      {MakeTimeReport,
       "time.tpl",
       "time.out",
       10,
       {MakeLink("1:1/1", "", "", 0, 0, 0, 0), MakeLink("1:1/2", "", "", 0, 0, 0, 0)},
       "top\nend\n"},  // the first value is 0: nothing is listed
      {MakeTimeReport, "time.tpl", "time.out", 4, {}, "top\nend\n"},
  };
  for (const Row& row : rows) {
    testing::ReportFixture fixture;
    fixture.model.links = row.links;
    fixture.Template(row.templateName, BarTemplate(row.lineLength, "#"));
    ReportContext ctx = fixture.Context();
    row.make(ctx);
    EXPECT_EQ(fixture.Output(row.outputName), row.expected) << row.outputName;
    EXPECT_EQ(fixture.report.cpsDrawSymbol, ' ');
  }
}

TEST(BarReports, TrafficOrderUsesTheSixtyFourBitSum) {
  testing::ReportFixture fixture;
  int64_t big = int64_t{3} << 31;  // each half fits no 32-bit counter
  fixture.model.links = {MakeLink("1:1/1", "", "", 0, 1, 0),
                         MakeLink("1:1/2", "", "", 0, big, big)};
  fixture.Template("traffic.tpl", BarTemplate(2, "*"));
  ReportContext ctx = fixture.Context();
  MakeTrafficReport(ctx);
  EXPECT_EQ(fixture.Output("traffic.out"), "top\n1:1/2 [**]\nend\n");
}

TEST(BarReports, WithoutADrawSymbolBarsAreBlanks) {
  testing::ReportFixture fixture;
  fixture.model.links = {MakeLink("1:1/1", "", "", 8), MakeLink("1:1/2", "", "", 4)};
  fixture.Template("cps.tpl", BarTemplate(6, nullptr));
  ReportContext ctx = fixture.Context();
  MakeCpsReport(ctx);
  EXPECT_EQ(fixture.Output("cps.out"), "top\n1:1/1 [      ]\n1:1/2 [   ]\nend\n");
}

TEST(BarReports, ASymbolFromAFailedReportStaysForTheNext) {
  testing::ReportFixture fixture;
  fixture.model.links = {MakeLink("1:1/1", "", "", 8, 8, 0, 8)};
  fixture.Template("cps.tpl", "%DRAWSYMBOL=\"+\"\n" + std::string(kBarBody));  // no line length
  fixture.Template("traffic.tpl", BarTemplate(3, nullptr));
  fixture.Template("time.tpl", BarTemplate(3, nullptr));
  ReportContext ctx = fixture.Context();
  MakeCpsReport(ctx);
  EXPECT_TRUE(fixture.outcomes.Failed(kCpsReport));
  EXPECT_FALSE(testing::FileExists(fixture.dir.File("cps.out")));
  MakeTrafficReport(ctx);
  EXPECT_EQ(fixture.Output("traffic.out"), "top\n1:1/1 [+++]\nend\n");
  MakeTimeReport(ctx);  // the traffic report reset the symbol
  EXPECT_EQ(fixture.Output("time.out"), "top\n1:1/1 [   ]\nend\n");
}

TEST(BarReports, CpsTiesFollowTheSysopOrderLeftBefore) {
  testing::ReportFixture fixture;
  fixture.model.links = {MakeLink("1:1/1", "Cid", "", 9), MakeLink("1:1/2", "Bob", "", 5),
                         MakeLink("1:1/3", "Ann", "", 5)};
  fixture.Template("cps.tpl", BarTemplate(1, "#"));
  ReportContext ctx = fixture.Context();
  SortLinks(fixture.model.links, SysopAfter);  // Ann Bob Cid
  MakeCpsReport(ctx);
  EXPECT_EQ(fixture.Output("cps.out"), "top\n1:1/1 [#]\n1:1/2 [#]\n1:1/3 [#]\nend\n");
}

}  // namespace
}  // namespace zentrak
