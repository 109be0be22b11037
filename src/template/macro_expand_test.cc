#include "template/macro_expand.h"

#include <gtest/gtest.h>

#include <random>

#include "template_test_fixture.h"

namespace zentrak {
namespace {

using testing::EngineFixture;

struct Row {
  std::string input;
  std::string output;
};

/// A CPS report on one link with Cps 1234 and sysop "Ann", with user macros.
struct CpsFixture : EngineFixture {
  CpsFixture() {
    model.links.resize(1);
    model.links[0].Cps = 1234;
    model.links[0].Sysop = "Ann";
    model.links[0].Address = "2:5020/1";
    Defines("%ARROW=\"->\"\n%U=\"u\"\n");
    report.reportKind = kCpsReport;
  }
};

TEST(FieldMacros, AlignmentsWidthsAndMalformedArguments) {
  const Row rows[] = {
      {"[@CPS(RIGHT,6)]", "[  1234]"},
      {"[@CPS(RIGHT,2)]", "[12]"},
      {"[@CPS(LEFT,6)]", "[1234  ]"},
      {"[@CPS(CENTER,7)]", "[ 1234  ]"},
      {"[@SYSOP(CENTER,6)]", "[ Ann  ]"},
      {"[@CPS(LEFT,0)]", "[]"},
      {"[@CPS(RIGHT,-3)]", "[]"},
      {"[@CPS(LEFT, 5)]", "[1234 ]"},
      {"[@CPS(LEFT,x)]", "[]"},
      // The width is a whole number or nothing: text after it counts as 0.
      {"[@CPS(RIGHT,5x)]", "[]"},
      {"[@CPS(LEFT,5 )]", "[]"},
      {"[@CPS(LEFT,3.9)]", "[]"},
      {"[@CPS(LEFT,)]", "[]"},
      {"[@CPS(X,*)]", "[1234]"},
      {"[@CPS(LEFT,*)]", "[1234]"},
      {"[@CPS(,*)]", "[1234]"},
      {"[@CPS(LEFT,5*)]", "[CPS(LEFT,5*)]"},
      {"[@CPS(right,6)]", "[CPS(right,6)]"},
      {"[@CPS(6)]", "[CPS(6)]"},
      {"[@CPS(LEFT,6]", "[CPS(LEFT,6]"},
      {"[@CPS(LEFT,@ARROW(LEFT,*))]", "[CPS(LEFT,->)]"},
      {"@CPS @CPS(LEFT,4)", "@CPS 1234"},
      {"@CPS(LEFT,4)@CPS(LEFT,5)", "12341234 "},
      {"@ARROW(RIGHT,3)|@U(LEFT,2)", " ->|u "},
      {"@ARROW(LEFT,1)@ARROW", "-@ARROW"},
  };
  for (const Row& row : rows) {
    CpsFixture f;
    EXPECT_EQ(f.Expand(row.input, 2, kCpsReport), row.output) << row.input;
  }
  CpsFixture f;
  EXPECT_EQ(f.Expand("@CPS(RIGHT,999)", 2, kCpsReport), std::string(251, ' ') + "1234");
  // A field that would run past 255 characters is cut there.
  EXPECT_EQ(f.Expand(std::string(240, '.') + "@CPS(RIGHT,20)", 2, kCpsReport),
            std::string(240, '.') + std::string(15, ' '));
}

TEST(FitField, CutsAndPads) {
  EXPECT_EQ(FitField("abc", 6, "CENTER"), " abc  ");
  EXPECT_EQ(FitField("abc", 5, "CENTER"), " abc ");
  EXPECT_EQ(FitField("abcdef", 3, "RIGHT"), "abc");
  EXPECT_EQ(FitField("ab", 4, "RIGHT"), "  ab");
  EXPECT_EQ(FitField("ab", 4, "LEFT"), "ab  ");
  EXPECT_EQ(FitField("ab", 4, "other"), "ab");
}

TEST(ConditionalMacros, TrueFalseUndefinedAndMalformed) {
  struct Case {
    bool incoming;
    std::string input;
    std::string output;
  };
  const Case cases[] = {
      {true, "<@?IN=@ARROW(LEFT,3)>", "<-> >"},
      {false, "<@?IN=@ARROW(LEFT,3)>", "<>"},
      {true, "<@?IN=@NOPE(LEFT,3)>", "<>"},
      {true, "<@?OUT=@ARROW(LEFT,3)>", "<>"},
      {true, "<@?IN=@ARROW(LEFT,0)> rest", "<"},
      {false, "<@?IN=@ARROW(LEFT,0)> rest", "<"},
      {true, "<@?IN=@ARROW(X,*)>", "<->>"},
      // A malformed conditional loses its "@" (or its key when unclosed); the
      // user macro left behind is then malformed in its own right.
      {true, "<@?IN=@ARROW(left,3)>", "<?IN=ARROW(left,3)>"},
      {true, "<@?IN=@ARROW(LEFT3)>", "<?IN=ARROW(LEFT3)>"},
      {true, "<@?IN=@ARROW>", "<@ARROW>"},
      {true, "<@?IN=@ARROW(LEFT,@3)>", "<ARROW(LEFT,@3)>"},
      {true, "<@?IN=@ARROW(LEFT,3", "<ARROW(LEFT,3"},
      {true, "<@?IN=ARROW(LEFT,3)>", "<>"},
      {true, "<@?IN=", "<"},
      {true, "@?IN=@ARROW(LEFT,2)@?OUT=@U(LEFT,1)@?COMPLETE=@U(LEFT,1)", "->u"},
  };
  for (const Case& c : cases) {
    EngineFixture f;
    f.Defines("%ARROW=\"->\"\n%U=\"u\"\n");
    f.report.currentSession.incoming = c.incoming;
    EXPECT_EQ(f.Expand(c.input, 2, kSessionsReport), c.output) << c.input;
  }
}

TEST(ConditionalMacros, BbsUsedDropsItsLineWhenFalse) {
  EngineFixture f;
  f.Defines("%T=\"yes\"\n");
  f.report.reportKind = kSummaryReport;
  EXPECT_EQ(
      f.Run("@STARTCIRCLE()\n@ENDCIRCLE()\nA\nBBS @BBSUSAGE(LEFT,*)@?BBSUSED=@T(LEFT,*)\nZ\n"),
      "A\nZ\n");
  EngineFixture g;
  g.model.BbsSessions = 2;
  g.report.reportKind = kSummaryReport;
  g.report.bbsUsage = "1.50%";
  EXPECT_EQ(g.Run("%T=\"yes\"\n@STARTCIRCLE()\n@ENDCIRCLE()\nBBS @BBSUSAGE(LEFT,*) "
                  "@?BBSUSED=@T(LEFT,*)\n"),
            "BBS 1.50% yes\n");
}

TEST(PassGating, EachGroupIsLookedForInItsSectionsOnly) {
  struct Case {
    std::string macro;
    std::string header;
    std::string body;
    std::string footer;
  };
  const Case cases[] = {
      {"@YEARFROM(LEFT,*)", "2026", "2026", "2026"},
      {"@ADDRESS(LEFT,*)", "@ADDRESS(LEFT,*)", "2:5020/1", "2:5020/1"},
      {"@LINKTIME(LEFT,*)", "@LINKTIME(LEFT,*)", "00:01:05", "00:01:05"},
      {"@TOTALRECEIVED(LEFT,*)", "@TOTALRECEIVED(LEFT,*)", "@TOTALRECEIVED(LEFT,*)", "1,235"},
      {"@NUMBEROFLINKS(LEFT,*)", "@NUMBEROFLINKS(LEFT,*)", "@NUMBEROFLINKS(LEFT,*)", "1"},
      {"@U(LEFT,*)", "u", "u", "u"},
  };
  for (const Case& c : cases) {
    CpsFixture f;
    f.model.PeriodFrom.year = 2026;
    f.model.links[0].OnlineTime = 65;
    f.model.TotalReceived = 1234.5;
    EXPECT_EQ(f.Expand(c.macro, 1, kLinksReport), c.header) << c.macro;
    EXPECT_EQ(f.Expand(c.macro, 2, kLinksReport), c.body) << c.macro;
    EXPECT_EQ(f.Expand(c.macro, 3, kLinksReport), c.footer) << c.macro;
  }
}

TEST(Validity, AMisplacedMacroLosesItsAt) {
  struct Case {
    uint8_t kind;
    int pass;
    std::string input;
    std::string output;
  };
  const Case cases[] = {
      {kSummaryReport, 3, "@CPS(LEFT,5)", "CPS(LEFT,5)"},
      {kSummaryReport, 1, "@CPS(LEFT,5)", "@CPS(LEFT,5)"},
      {kSessionsReport, 2, "@SYSOP(LEFT,*)", "SYSOP(LEFT,*)"},
      {kMailersReport, 2, "@?PROTECTED=@U(LEFT,*)", "?PROTECTED=u"},
      {kLinksReport, 2, "@MOSTPOPULAR(LEFT,*)", "MOSTPOPULAR(LEFT,*)"},
      {kLinksReport, 2, "@FILECPS(LEFT,*)", "FILECPS(LEFT,*)"},
      {kLinksReport, 3, "@STATIONUSAGE(LEFT,*)", "STATIONUSAGE(LEFT,*)"},
      {kLinksReport, 2, "@?ENDFILES=@U(LEFT,*)x", "x"},
      {kLinksReport, 2, "@SYSOP(LEFT,*)@SYSOP(LEFT,*)", "AnnAnn"},
      {kMailersReport, 2, "@SYSOP(LEFT,*)", "SYSOP(LEFT,*)"},
      {kCpsReport, 3, "@@CPS(LEFT,*)", "@1234"},
  };
  for (const Case& c : cases) {
    CpsFixture f;
    EXPECT_EQ(f.Expand(c.input, c.pass, c.kind), c.output) << c.input;
  }
}

TEST(ScanOrder, BuiltInsComeBeforeUserMacrosOfTheSameName) {
  EngineFixture f;
  // Bare substitution would rewrite "@CPS" inside a later value: define V first.
  f.Defines("%V=\"@CPS(LEFT,*)\"\n%CPS=\"user\"\n%W=\"[@CPS]\"\n");
  f.model.links.resize(1);
  f.model.links[0].Cps = 7;
  EXPECT_EQ(f.Expand("@CPS(LEFT,*)", 2, kLinksReport), "7");
  // A user value is template text: it is scanned again, built-ins included.
  EXPECT_EQ(f.Expand("@V(LEFT,*)", 2, kLinksReport), "7");
  EXPECT_EQ(f.engine.Definitions()[2].value, "[user]");
  EXPECT_EQ(f.Expand("@CPS(LEFT,*)", 1, kLinksReport), "user");
}

TEST(OncePerLine, DiskAndLastCallMacrosAreReplacedOnlyOnce) {
  const Row rows[] = {
      {"@DRIVE(LEFT,3)@DRIVE(LEFT,3)", "C  @DRIVE(LEFT,3)"},
      {"@LABEL(LEFT,*) @LABEL(LEFT,*) @DRIVE(LEFT,1)", "SYS @LABEL(LEFT,*) C"},
      {"@FREESPACE(LEFT,*)/@TOTALSPACE(LEFT,*)/@FREESPACE(LEFT,*)", "1 MB/9 MB/@FREESPACE(LEFT,*)"},
      {"@STATLINE(LEFT,*)@STATLINE(LEFT,*)", "##"},
  };
  for (const Row& row : rows) {
    EngineFixture f;
    f.report.diskLetter = 'C';
    f.report.diskLabel = "SYS";
    f.report.diskFreeText = "1 MB";
    f.report.diskTotalText = "9 MB";
    f.report.statLine = "#";
    EXPECT_EQ(f.Expand(row.input, 2, kDiskReport), row.output) << row.input;
  }
}

TEST(NoEnd, RemovesEveryOccurrenceAndSetsTheFlag) {
  EngineFixture f;
  EXPECT_EQ(f.Expand("a@NOEND()b@NOEND()", 1, kLinksReport), "ab");
  EXPECT_TRUE(f.engine.noLineEnd);
  EXPECT_EQ(f.Expand("ab", 1, kLinksReport), "ab");
  EXPECT_FALSE(f.engine.noLineEnd);
}

TEST(StatLine, TakesItsWidthFromTheLineLength) {
  struct Case {
    int32_t lineLength;
    std::string output;
  };
  const Case cases[] = {{5, "[###  ]"}, {2, "[##]"}, {-1, "[]"}};
  for (const Case& c : cases) {
    EngineFixture f;
    f.report.statLine = "###";
    f.report.lineLength = c.lineLength;
    EXPECT_EQ(f.Expand("[@STATLINE(LEFT,@LINELENGTH)]", 2, kCpsReport), c.output);
  }
  EngineFixture f;
  f.report.lineLength = 5;
  EXPECT_EQ(f.Expand("@STATLINE(LEFT,@LINELENGTH)", 2, kLinksReport), "STATLINE(LEFT,@LINELENGTH)");
}

// Text from the log is never macro syntax: these lines must end, and show the
// remote system's words as they are.
TEST(LogTextIsLiteral, MacroNamesInRemoteValuesStayText) {
  struct Case {
    std::string sysop;
    std::string input;
    std::string output;
  };
  const Case cases[] = {
      {"@SYSOP(LEFT,*)", "[@SYSOP(LEFT,*)]", "[@SYSOP(LEFT,*)]"},
      {"@TOTALRECEIVED(LEFT,*)", "@SYSOP(LEFT,*)", "@TOTALRECEIVED(LEFT,*)"},
      {"@U(LEFT,*)", "@SYSOP(LEFT,*)", "@U(LEFT,*)"},
      {"@NOEND()", "@SYSOP(LEFT,*)", "@NOEND()"},
      {"SYSOP(LEFT,*)", "@@SYSOP(LEFT,*)", "@SYSOP(LEFT,*)"},
      {"LEFT,*)", "@U(@SYSOP(LEFT,*)", "U(LEFT,*)"},
      {"x", "@SYSOP(LEFT,*)@SYSOP(LEFT,*)", "xx"},
  };
  for (const Case& c : cases) {
    CpsFixture f;
    f.model.links[0].Sysop = c.sysop;
    f.model.TotalReceived = 99;
    EXPECT_EQ(f.Expand(c.input, 3, kLinksReport), c.output) << c.input;
    EXPECT_FALSE(f.engine.noLineEnd);
  }
}

TEST(LogTextIsLiteral, ThroughDefinitionsAndConditionals) {
  EngineFixture f;
  f.settings.SYSOP = "@CPS(LEFT,*)";
  f.model.links.resize(1);
  f.model.links[0].Cps = 5;
  f.report.reportKind = kLinksReport;
  f.Defines("%ME=\"I am @THISSYSOP\"\n");
  EXPECT_EQ(f.Expand("@ME(LEFT,*)", 2, kLinksReport), "I am @CPS(LEFT,*)");
  EXPECT_EQ(f.Expand("@?PROTECTED=@ME(LEFT,*)", 2, kLinksReport), "");
  f.model.links[0].Protected = true;
  EXPECT_EQ(f.Expand("@?PROTECTED=@ME(LEFT,*)", 2, kLinksReport), "I am @CPS(LEFT,*)");
}

// A built-in's value may be the argument text of a macro written in the
// template (or in a user value), but never opens, closes or names a macro.
TEST(ArgumentText, BuiltInValuesServeAsArgumentsOnly) {
  const Row rows[] = {
      {"[@CPS(LEFT,@DAYFROM(LEFT,1))]", "[1]"},
      {"[@CPS(RIGHT,@DAYFROM(LEFT,*))]", "[        1234]"},
      {"[@CPS(LEFT,@MONTHFROM(LEFT,*))]", "[123]"},
      {"<@?PROTECTED=@ARROW(CENTER,@MONTHFROM(LEFT,*))>", "<-> >"},
      {"[@W(LEFT,*)]", "[1234        ]"},
      // A value's ")" does not close the arguments: "5)" is no width.
      {"[@CPS(LEFT,@ADDRESS(LEFT,*))]", "[]"},
      // A value completing a user macro's name names none.
      {"[@A@DAYFROM(LEFT,*)(LEFT,*)]", "[@A12(LEFT,*)]"},
      {"<@?PROTECTED=@A@DAYFROM(LEFT,*)(LEFT,3)>", "<>"},
      {"[@CPS(LEFT,@ARROW(LEFT,*))]", "[CPS(LEFT,->)]"},
  };
  for (const Row& row : rows) {
    EngineFixture f;
    f.model.links.resize(1);
    f.model.links[0].Cps = 1234;
    f.model.links[0].Address = "5)";
    f.model.links[0].Protected = true;
    f.model.PeriodFrom = CalendarDate{12, 3, 2026};
    f.report.reportKind = kCpsReport;
    f.Defines("%ARROW=\"->\"\n%A12=\"no\"\n%W=\"@CPS(LEFT,@DAYFROM)\"\n");
    EXPECT_EQ(f.Expand(row.input, 2, kCpsReport), row.output) << row.input;
  }
}

TEST(SelfReference, AUserMacroNamingItselfEnds) {
  EngineFixture f;
  f.Defines("%A=\"x\"\n%A=\"@A\"\n%B=\"b@C(LEFT,*)\"\n%C=\"c@B(LEFT,*)\"\n%D=\"@D(LEFT,*)\"\n");
  // The second A took the first one's value at its definition.
  EXPECT_EQ(f.engine.Definitions()[1].value, "x");
  std::string loop = f.Expand("@B(LEFT,*)", 2, kLinksReport);
  EXPECT_EQ(loop.substr(0, 6), "bcbcbc");
  EXPECT_LE(loop.size(), 255u);
  EXPECT_EQ(f.Expand("[@D(LEFT,*)]", 2, kLinksReport), "[@D(LEFT,*)]");
}

TEST(SelfReference, AConditionShowingItsOwnMacroEnds) {
  EngineFixture f;
  f.report.currentSession.incoming = true;
  f.Defines("%A=\"x@?IN=@A(LEFT,*)\"\n");
  // 64 values at most, whichever form shows them; the rest stays as text.
  EXPECT_EQ(f.Expand("@?IN=@A(LEFT,*)", 2, kSessionsReport),
            std::string(64, 'x') + "@?IN=@A(LEFT,*)");
  EngineFixture g;
  g.report.currentSession.incoming = true;
  g.Defines("%F=\"x@F(LEFT,*)\"\n%M=\"m@?IN=@M(LEFT,*)\"\n");
  EXPECT_EQ(g.Expand("@F(LEFT,*)", 2, kSessionsReport), std::string(64, 'x') + "@F(LEFT,*)");
  EXPECT_EQ(g.Expand("@M(LEFT,*)", 2, kSessionsReport), std::string(64, 'm') + "@?IN=@M(LEFT,*)");
}

TEST(SelfReference, BoundedEvenWhenEveryExpansionShrinks) {
  EngineFixture f;
  f.Defines("%E=\"@E(LEFT,*)@E(LEFT,*)\"\n");
  std::string out = f.Expand("@E(LEFT,*)", 2, kLinksReport);
  EXPECT_LE(out.size(), 255u);
  EXPECT_NE(out.find("@E(LEFT,*)"), std::string::npos);
}

// After an edit the expander looks again only near it: keys that the edit
// completed, moved or split must still be found exactly as in a fresh line.
TEST(KeysAcrossEdits, FoundWhereverTheEditLeftThem) {
  const Row rows[] = {
      // Removing a field joins the text around it into a key.
      {"@CON@SENT(LEFT,0)NECT(RIGHT,6)", " 33600"},
      {"@CONNECT@SENT(LEFT,0)(LEFT,6)", "33600 "},
      {"@CONNECT@?OUT=@X(LEFT,1)(LEFT,5)", "33600"},
      {"@CONNECT@?OUT=@X(LEFT,1)=@Y(LEFT,1)(LEFT,5)", "@CONNECT=y(LEFT,5)"},
      // A user value written as template text completes a key.
      {"@?IN=@HEAD(LEFT,*)NECT(LEFT,5)", "33600"},
      {"@?IN=@HEAD(LEFT,*)@TAIL(LEFT,*)", "  33600"},
      // Keys behind a value that grew or shrank, and a key the bound cuts off.
      {"@?IN=@LONG(LEFT,*)@CPS(RIGHT,5)", std::string(60, 'L') + "  987"},
      {"@CPS(LEFT,1)@CPS(LEFT,9)@?IN=@HEAD(LEFT,0)|@CPS(LEFT,2)", "9987      "},
      {"@?IN=@LONG(LEFT,250)@CPS(LEFT,4)", std::string(60, 'L') + std::string(190, ' ') + "CPS("},
      // A value that looks like a key is never one.
      {"@ADDRESS(LEFT,*)NECT(LEFT,5)", "@CONNECT(LEFT,5)"},
  };
  for (const Row& row : rows) {
    EngineFixture f;
    f.Defines("%HEAD=\"@CON\"\n%TAIL=\"NECT(RIGHT,7)\"\n%X=\"x\"\n%Y=\"y\"\n%LONG=\"" +
              std::string(60, 'L') + "\"\n");
    f.report.currentSession.incoming = true;
    f.report.currentSession.connectSpeed = 33600;
    f.report.currentSession.cps = 987;
    f.report.currentSession.address = "@CON";
    EXPECT_EQ(f.Expand(row.input, 2, kSessionsReport), row.output) << row.input;
  }
}

// A report body repeats its lines once per record; what the expander keeps
// from an earlier record must not leak into the next.
TEST(KeysAcrossEdits, RepeatedLinesFollowEachRecord) {
  EngineFixture f;
  f.Defines("%IN=\"In\"\n%OUT=\"Out\"\n");
  const std::string first = "@?IN=@IN(LEFT,3)@?OUT=@OUT(LEFT,3)@CONNECT(RIGHT,6)";
  const std::string second = "@ADDRESS(LEFT,10)|@CPS(RIGHT,4)";
  struct Record {
    bool incoming;
    int32_t speed;
    std::string address;
    std::string firstOut;
    std::string secondOut;
  };
  const Record records[] = {
      {true, 33600, "2:5020/1", "In  33600", "2:5020/1  |  12"},
      {false, 0, "@CPS(LEFT,4)", "Out     0", "@CPS(LEFT,|  12"},
      {true, 9600, "", "In   9600", "          |  12"},
  };
  f.report.currentSession.cps = 12;
  for (int round = 0; round < 2; ++round) {
    for (const Record& r : records) {
      f.report.currentSession.incoming = r.incoming;
      f.report.currentSession.connectSpeed = r.speed;
      f.report.currentSession.address = r.address;
      EXPECT_EQ(f.Expand(first, 2, kSessionsReport), r.firstOut) << r.address;
      EXPECT_EQ(f.Expand(second, 2, kSessionsReport), r.secondOut) << r.address;
    }
  }
}

// Lines stitched from macro fragments, in every report and section: each must
// end (the test runner's time limit) and stay within 255 characters.
TEST(RandomLines, AlwaysEndWithinTheBound) {
  const char* const pieces[] = {
      "@CPS(",      "@?IN=",      "@A(",         "@B(",        "LEFT",   "RIGHT",
      ",",          "*",          ")",           "@",          "5",      "0",
      "x",          " ",          "@NOEND()",    "@STATLINE(", "(",      "=",
      "@DRIVE(",    "@?BBSUSED=", "@LINELENGTH", "@SYSOP(",    "@?OUT=", "@TOTALTIME(",
      "@LASTDATE(", "@ADDRESS(",  "255",         "-3"};
  EngineFixture f;
  f.Defines("%A=\"@A(LEFT,*)@B(RIGHT,3)\"\n%B=\"@?IN=@A(LEFT,*)@CPS(LEFT,*)\"\n");
  f.model.links.resize(1);
  f.model.links[0].Sysop = "@A(LEFT,*)";
  f.model.lastCalls.resize(1);
  f.report.statLine = "@B(LEFT,*)";
  f.report.lineLength = 9;
  f.report.currentSession.incoming = true;
  std::mt19937 random(20261207);
  std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
  for (int i = 0; i < 1500; ++i) {
    std::string line;
    for (int n = 0; n < 24; ++n) line += pieces[pick(random)];
    for (uint8_t kind = 1; kind <= 13; ++kind) {
      for (int pass = 1; pass <= 3; ++pass) {
        ASSERT_LE(f.Expand(line, pass, kind).size(), 255u) << line;
      }
    }
  }
}

}  // namespace
}  // namespace zentrak
