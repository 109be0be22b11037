// Tests of the report frame: failure paths, the statistic bar and the exchange sort.
#include "reports/report_frame.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "report_test_fixture.h"

namespace zentrak {
namespace {

// The exchange sort as written down, on whole records: the reference that the
// rank-based SortLinks must match exactly, ties included.
void ReferenceExchangeSort(std::vector<TLink>& links, const LinkAfter& after) {
  size_t n = links.size();
  for (size_t i = 0; i + 1 < n; ++i) {
    for (size_t j = n - 1; j > i; --j) {
      if (after(links[i], links[j])) std::swap(links[i], links[j]);
    }
  }
}

TLink Link(std::string address, std::string sysop, int32_t cps, int64_t received = 0,
           int64_t sent = 0, int64_t online = 0) {
  TLink link;
  link.Address = std::move(address);
  link.Sysop = std::move(sysop);
  link.Cps = cps;
  link.Received = received;
  link.Sent = sent;
  link.OnlineTime = online;
  return link;
}

std::string Addresses(const std::vector<TLink>& links) {
  std::string text;
  for (const TLink& link : links) text += link.Address + " ";
  return text;
}

TEST(SortLinks, MatchesTheExchangeSortOnRandomListsWithManyTies) {
  std::mt19937 random(7);
  const std::pair<const char*, LinkAfter> comparisons[] = {
      {"sysop", SysopAfter}, {"cps", CpsAfter}, {"traffic", TrafficAfter}, {"time", TimeAfter}};
  for (int round = 0; round < 200; ++round) {
    std::vector<TLink> links;
    size_t count = random() % 40;
    for (size_t k = 0; k < count; ++k) {
      links.push_back(Link(std::to_string(k), std::string(1, static_cast<char>('a' + random() % 4)),
                           random() % 5, random() % 3, random() % 3, random() % 4));
    }
    for (const auto& [name, after] : comparisons) {
      std::vector<TLink> expected = links;
      ReferenceExchangeSort(expected, after);
      SortLinks(links, after);
      ASSERT_EQ(Addresses(links), Addresses(expected)) << name << " round " << round;
    }
  }
}

TEST(SortLinks, TiesComeOutInTheOrderTheExchangeSortGives) {
  struct Row {
    std::vector<TLink> links;
    LinkAfter after;
    std::string expected;
  };
  const Row rows[] = {
      // Equal Cps after a sysop sort: A and B change places although they tie.
      {{Link("A", "Ann", 5), Link("B", "Bob", 5), Link("C", "Cid", 9)}, CpsAfter, "C B A "},
      // The same three in address order give another tie order.
      {{Link("B", "Bob", 5), Link("C", "Cid", 9), Link("A", "Ann", 5)}, CpsAfter, "C B A "},
      {{Link("X", "", 5), Link("C", "Cid", 9), Link("A", "Ann", 5), Link("B", "Bob", 5)},
       CpsAfter,
       "C X A B "},
      // Byte order: upper case first, a prefix first, the empty name before all.
      {{Link("1", "bob", 0), Link("2", "Bob", 0), Link("3", "Bo", 0), Link("4", "", 0)},
       SysopAfter,
       "4 3 2 1 "},
      // Only received against only sent: equal traffic, never exchanged.
      {{Link("R", "", 0, 500, 0), Link("S", "", 0, 0, 500)}, TrafficAfter, "R S "},
      {{Link("S", "", 0, 0, 10), Link("T", "", 0, 0, 0, 7), Link("U", "", 0, 0, 0, 9)},
       TimeAfter,
       "U T S "},
  };
  for (const Row& row : rows) {
    std::vector<TLink> links = row.links;
    SortLinks(links, row.after);
    EXPECT_EQ(Addresses(links), row.expected);
  }
}

TEST(SortLinks, TrafficIsSummedInSixtyFourBits) {
  std::vector<TLink> links = {Link("small", "", 0, 1, 1),
                              Link("big", "", 0, int64_t{3} << 31, int64_t{3} << 31)};
  SortLinks(links, TrafficAfter);
  EXPECT_EQ(Addresses(links), "big small ");
  EXPECT_EQ(LinkTraffic(links[0]), int64_t{3} << 32);
}

TEST(Bar, BarTextUsesTheLowEightBitsOfTheLength) {
  EXPECT_EQ(BarText(0, '#'), "");
  EXPECT_EQ(BarText(3, '#'), "###");
  EXPECT_EQ(BarText(255, '*').size(), 255u);
  EXPECT_EQ(BarText(256, '*'), "");
  EXPECT_EQ(BarText(258, '*'), "**");
}

TEST(Bar, RoundHalfAwayFromZero) {
  const std::pair<double, int64_t> rows[] = {{2.5, 3},   {-2.5, -3}, {2.4999, 2}, {0.5, 1},
                                             {-0.5, -1}, {0.49, 0},  {7.0, 7},    {-7.5, -8}};
  for (auto [value, rounded] : rows) EXPECT_EQ(RoundHalfAway(value), rounded) << value;
}

TEST(Bar, LengthIsProportionalToTheFirstValueAndRoundsHalfAway) {
  struct Row {
    int32_t lineLength;
    double value, first;
    int32_t barLength;
    bool listed;
  };
  const Row rows[] = {
      {10, 800, 800, 10, true},   {10, 400, 800, 5, true},   {10, 200, 800, 3, true},  // 2.5 -> 3
      {40, 1000, 1000, 40, true}, {40, 500, 1000, 20, true}, {40, 10, 1000, 0, false},
      {40, 12.5, 1000, 1, true},  // 0.5 -> 1
      {10, 0, 0, 0, false},       // first value 0: nothing is listed
      {255, 1, 1, 255, true},
  };
  for (const Row& row : rows) {
    ReportState report;
    report.lineLength = row.lineLength;
    EXPECT_EQ(PublishBar(report, row.value, row.first, '='), row.listed) << row.value;
    EXPECT_EQ(report.barLength, row.barLength) << row.value;
    EXPECT_EQ(report.statLine, std::string(row.barLength, '=')) << row.value;
  }
}

TEST(ReportTable, RowsAreInKindOrder) {
  for (int kind = 1; kind <= 13; ++kind) {
    EXPECT_EQ(ReportRowOf(static_cast<ReportKind>(kind)).kind, kind);
  }
  EXPECT_EQ(ReportRowOf(kHistogramReport).noun, "hist stat file");
  EXPECT_EQ(ReportRowOf(kGraphicReport).noun, "grafic stat file");
}

// Runs the frame of one report in a fixture.
bool RunFrame(testing::ReportFixture& frame, ReportKind kind, const ReportSteps& steps = {}) {
  ReportContext ctx = frame.Context();
  return RunReportFrame(ctx, kind, steps);
}

// Every failure ends the run with status 2; a file the system refused comes
// with the system's reason on a line of its own.
TEST(ReportFrame, FailuresLeaveNoOutputAndClearTheSwitch) {
  struct Row {
    ReportKind kind;
    const char* templateText;  // nullptr: no template file
    bool outputDirMissing;
    std::string console;
  };
  const std::string noSuchFile = std::string("! STAMP ") + std::strerror(ENOENT) + "\n";
  const Row rows[] = {
      {kLinksReport, nullptr, true,
       "! STAMP Unable to create links stat file (DIR/missing/link.out)\n" + noSuchFile},
      {kLinksReport, nullptr, false,
       ". STAMP Processing link.out\n"
       "! STAMP Unable to find links template file (DIR/links.tpl)\n" +
           noSuchFile},
      {kCpsReport, "head\n@STARTCIRCLE()\nbody\n@ENDCIRCLE()\nfoot\n", false,
       ". STAMP Processing cps.out\n"
       "! STAMP Bad or missing cps line length in template..\n"},
      {kTrafficReport, "%LINELENGTH=\"0\"\n@STARTCIRCLE()\n@ENDCIRCLE()\n", false,
       ". STAMP Processing traffic.out\n"
       "! STAMP Bad or missing traffic line length in template..\n"},
      {kLinksReport, "head only\n", false,
       ". STAMP Processing link.out\n"
       "! STAMP There is no @startcircle() parametr in links template..\n"},
      // A header that fails before any line length prints both messages.
      {kTimeReport, "head only\n", false,
       ". STAMP Processing time.out\n"
       "! STAMP There is no @startcircle() parametr in time template..\n"
       "! STAMP Bad or missing time line length in template..\n"},
  };
  for (const Row& row : rows) {
    testing::ReportFixture frame;
    const ReportRow& table = ReportRowOf(row.kind);
    if (row.outputDirMissing) frame.settings.OUTPUT = frame.dir.Path() + "missing/";
    if (row.templateText) frame.Template(frame.settings.*table.templateName, row.templateText);
    bool prepared = false, recordsRan = false;
    ReportSteps steps{[&] { prepared = true; }, [&] { return recordsRan = true; }, {}, {}};
    EXPECT_FALSE(RunFrame(frame, row.kind, steps));
    std::string console = frame.console.Masked();
    for (size_t at; (at = console.find(frame.dir.Path())) != std::string::npos;) {
      console.replace(at, frame.dir.Path().size(), "DIR/");
    }
    EXPECT_EQ(console, row.console);
    EXPECT_TRUE(frame.outcomes.Failed(row.kind));
    EXPECT_FALSE(ReportMade(frame.Context(), table));
    EXPECT_TRUE(frame.console.console.AnythingUnwritten());
    EXPECT_FALSE(testing::FileExists(frame.dir.File(frame.settings.*table.outputName)));
    EXPECT_EQ(prepared, !row.outputDirMissing);
    EXPECT_FALSE(recordsRan);
  }
}

TEST(ReportFrame, WritesHeaderRecordsFooterAndRecordsNoFailure) {
  testing::ReportFixture frame;
  frame.Template("cps.tpl", "%LINELENGTH=\"8\"\ntop\n@STARTCIRCLE()\nrow\n@ENDCIRCLE()\nend\n");
  int bodies = 0;
  bool cleaned = false;
  ReportSteps steps{{},
                    [&] {
                      for (; bodies < 2; ++bodies) frame.engine.TemplateBody();
                      return true;
                    },
                    [&] { cleaned = true; },
                    {}};
  EXPECT_TRUE(RunFrame(frame, kCpsReport, steps));
  EXPECT_TRUE(cleaned);
  EXPECT_EQ(frame.report.reportKind, kCpsReport);
  EXPECT_EQ(frame.report.lineLength, 8);
  EXPECT_FALSE(frame.outcomes.Failed(kCpsReport));
  EXPECT_EQ(testing::ReadTextFile(frame.dir.File("cps.out")), "top\nrow\nrow\nend\n");
}

TEST(ReportFrame, ProgressLineShowsTheBareOutputName) {
  testing::ReportFixture frame;
  frame.settings.LINKS_FILE = "sub.out";
  frame.Template("links.tpl", "@STARTCIRCLE()\n@ENDCIRCLE()\n");
  EXPECT_TRUE(RunFrame(frame, kLinksReport));
  EXPECT_EQ(frame.console.Masked(), ". STAMP Processing sub.out\n");
  EXPECT_TRUE(testing::FileExists(frame.dir.File("sub.out")));
}

// An old report survives until the new one is complete; a failed report leaves
// it as it was and removes the unfinished new one.
TEST(ReportFrame, ReplacesTheOldOutputOnlyWithACompleteReport) {
  testing::ReportFixture frame;
  testing::WriteFile(frame.dir.File("link.out"), "old report\n");
  frame.Template("links.tpl", "new\n@STARTCIRCLE()\n@ENDCIRCLE()\n");
  EXPECT_TRUE(RunFrame(frame, kLinksReport));
  EXPECT_EQ(frame.Output("link.out"), "new\n");
  EXPECT_FALSE(testing::FileExists(frame.dir.File("link.out.$$$")));

  testing::WriteFile(frame.dir.File("link.out"), "old report\n");
  frame.Template("links.tpl", "no loop here\n");
  EXPECT_FALSE(RunFrame(frame, kLinksReport));
  EXPECT_EQ(frame.Output("link.out"), "old report\n");
  EXPECT_FALSE(testing::FileExists(frame.dir.File("link.out.$$$")));
}

TEST(ReportFrame, AReportThatCannotBePutInPlaceFails) {
  testing::ReportFixture frame;
  testing::TestPlatform failing;
  failing.failReplace = true;
  frame.Template("links.tpl", "x\n@STARTCIRCLE()\n@ENDCIRCLE()\n");
  ReportContext ctx = frame.Context(failing);
  EXPECT_FALSE(RunReportFrame(ctx, kLinksReport, {}));
  EXPECT_TRUE(frame.outcomes.Failed(kLinksReport));
  EXPECT_TRUE(frame.settings.MAKESTAT_LINKS);
  EXPECT_FALSE(testing::FileExists(frame.dir.File("link.out.$$$")));
  std::string console = frame.console.Masked();
  EXPECT_NE(console.find("! STAMP Unable to write links stat file ("), std::string::npos)
      << console;
}

}  // namespace
}  // namespace zentrak
