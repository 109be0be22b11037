// Compiled loop lines against the expander itself, on random lines, records
// and definitions: the same bytes, the same marks, the same line end.
#include "template/compiled_line.h"

#include <gtest/gtest.h>

#include <random>

#include "template_test_fixture.h"

namespace zentrak {
namespace {

struct Oracle : testing::EngineFixture {
  std::vector<MacroDefinition> definitions;
  std::string scratch;

  // Expands with the expander; false when the line's end flag differs.
  MarkedLine Expand(std::string_view text, int pass, bool& noLineEnd) {
    MarkedLine line;
    line.Assign(text);
    noLineEnd = false;
    ExpandContext context{sources, definitions, noLineEnd, scratch};
    ExpandMarkedLine(line, pass, context);
    return line;
  }

  MacroSources sources{settings, model, report, console.console, testing::kTestToday};
};

template <size_t N>
std::string Pick(std::mt19937& random, const char* const (&pieces)[N]) {
  return pieces[random() % N];
}

TEST(CompiledLine, WritesWhatTheExpanderWrites) {
  // Whole macros, so that many lines compile, and pieces that break them.
  const char* const pieces[] = {"@STARTTIME(LEFT,8)",
                                "@ENDTIME(RIGHT,9)",
                                "@?IN=@ARROW(LEFT,4)",
                                "@?OUT=@B(RIGHT,3)",
                                "@?COMPLETE=@U(CENTER,7)",
                                "@?ABORTED=@NONE(LEFT,5)",
                                "@CONNECT(RIGHT,6)",
                                "@ADDRESS(LEFT,16)",
                                "@RECEIVED(RIGHT,10)",
                                "@SENT(LEFT,*)",
                                "@CPS(CENTER,4)",
                                "@SYSOP(LEFT,0)",
                                "@?ZMODEM=@A(LEFT,*)",
                                "@?PROTECTED=@ARROW(RIGHT,2)",
                                "@A(LEFT,3)",
                                "@B(X,*)",
                                "@ARROW(RIGHT,120)",
                                "@NOEND()",
                                "@MAILER(LEFT,30)",
                                "@STATLINE(LEFT,9)",
                                "@LINKTIME(RIGHT,9)",
                                "@?IN=@A(LEFT,0)",
                                "@DRIVE(LEFT,3)",
                                "@?BBSUSED=@A(LEFT,2)",
                                "@?IN=@CPS(LEFT,2)",
                                "@TOTALTIME(LEFT,5)",
                                "@MOSTPOPULAR(LEFT,3)",
                                "@LINELENGTH",
                                "@CPS(LEFT,-3)",
                                "@CPS(left,3)",
                                "@NOEND(x)",
                                "@",
                                "(",
                                ")",
                                ",",
                                "=",
                                "x",
                                " ",
                                "?",
                                "LEFT",
                                "@CPS(",
                                "@?IN=",
                                "@A",
                                "-> ",
                                "                                             "};
  const char* const values[] = {"",
                                "->",
                                "x",
                                "@CPS(LEFT,3)",
                                " @CPS(RIGHT,4)",
                                "@STARTTIME(CENTER,9)-@SENT(LEFT,0)",
                                "@ADDRESS(LEFT,40)@ADDRESS(LEFT,40)@ADDRESS(LEFT,40)",
                                "@NOEND()",
                                "(",
                                ")",
                                ",",
                                "@A(LEFT,*)",
                                "@",
                                "0123456789012345678901234567890123456789"};
  const char* const names[] = {"@A", "@B", "@ARROW", "@U", "@CPS", "@A"};
  const char* const texts[] = {"2:5020/1", "", "@SYSOP(LEFT,*)", "Ann <b>",
                               "a long name of a sysop that goes on and on and on"};
  std::mt19937 random(17);
  Oracle f;
  f.model.links.resize(1);
  size_t compiled = 0, written = 0;
  for (int round = 0; round < 30000; ++round) {
    f.definitions.clear();
    for (int d = static_cast<int>(random() % 6); d > 0; --d) {
      std::string value = Pick(random, values);
      // Template text, or a report's generated value.
      std::string marks(value.size(), random() % 3 == 0 ? '\1' : '\0');
      f.definitions.push_back(MacroDefinition{Pick(random, names), value, marks});
    }
    std::string text;
    for (int n = 1 + static_cast<int>(random() % 9); n > 0; --n) text += Pick(random, pieces);
    uint8_t kind = static_cast<uint8_t>(1 + random() % 13);
    int pass = 1 + static_cast<int>(random() % 3);
    f.report.reportKind = kind;
    CompiledLine line(text, pass, kind, f.definitions);
    compiled += line.Usable();
    // Several records for one compiled line, as a report's loop has.
    for (int record = 0; record < 4; ++record) {
      CurrentSession& s = f.report.currentSession;
      s.startTime = static_cast<int32_t>(random() % 90000);
      s.incoming = random() % 2;
      s.aborted = random() % 2;
      s.protocol = static_cast<int32_t>(random() % 5);
      s.address = Pick(random, texts);
      s.received = static_cast<int64_t>(random() % 100000);
      s.cps = static_cast<int32_t>(random() % 10000);
      f.model.links[0].Sysop = Pick(random, texts);
      f.model.links[0].Mailer = Pick(random, texts);
      f.model.links[0].Protected = random() % 2;
      f.report.statLine = std::string(random() % 12, '#');
      bool oracleEnd = false;
      MarkedLine expected = f.Expand(text, pass, oracleEnd);
      bool noLineEnd = false;
      ExpandContext context{f.sources, f.definitions, noLineEnd, f.scratch};
      MarkedLine got;
      if (!line.Expand(got, context)) continue;
      ++written;
      ASSERT_EQ(got.View(), expected.View()) << text << " kind " << int{kind} << " pass " << pass;
      ASSERT_EQ(got.Marks(), expected.Marks()) << text;
      ASSERT_EQ(noLineEnd, oracleEnd) << text;
    }
  }
  // The comparison means something only if many lines took the compiled way.
  EXPECT_GT(compiled, 2000u);
  EXPECT_GT(written, 5000u);
}

TEST(CompiledLine, LeavesLinesWhoseOrderShowsToTheExpander) {
  const std::vector<MacroDefinition> definitions = {{"@A", "a", ""}, {"@IN", "In", ""}};
  struct Row {
    const char* text;
    uint8_t kind;
    bool usable;
  };
  const Row rows[] = {
      // The example station's session lines.
      {"@STARTTIME(LEFT,8) @?IN=@IN(LEFT,4)@?OUT=@A(LEFT,4)@NOEND()", kSessionsReport, true},
      {"@CONNECT(RIGHT,6) @ADDRESS(LEFT,16) @CPS(RIGHT,4) @NOEND()", kSessionsReport, true},
      {"@ADDRESS(LEFT,0)@A(RIGHT,*)", kLinksReport, true},
      // Replaced once per line: the second one stays.
      {"@DRIVE(LEFT,3) @DRIVE(LEFT,3)", kDiskReport, false},
      // Width 0 on a condition empties the rest of the line.
      {"@?IN=@A(LEFT,0) @CPS(LEFT,3)", kSessionsReport, false},
      {"@?BBSUSED=@A(LEFT,2)", kSummaryReport, false},
      // A user name that is a built-in's is replaced as the built-in first.
      {"@?IN=@CPS(LEFT,3)", kSessionsReport, false},
      // "@" that is no macro here: text, a misplaced or absent macro, a width to come.
      {"mail sysop@example.org", kSessionsReport, false},
      {"@SYSOP(LEFT,9)", kSessionsReport, false},
      {"@STARTTIME(LEFT,8)", kSessionsReport, true},
      {"@B(LEFT,8)", kSessionsReport, false},
      {"@STATLINE(LEFT,@LINELENGTH)", kCpsReport, false},
      {"@CPS(left,3)", kCpsReport, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CompiledLine(row.text, 2, row.kind, definitions).Usable(), row.usable) << row.text;
  }
}

// The line grows past the bound before the later macro's turn and cuts its
// closing parenthesis away: the expander shows it as text, which no plain
// filling of the slots would.
TEST(CompiledLine, ARecordThatCouldReachTheBoundGoesToTheExpander) {
  Oracle f;
  f.report.reportKind = kSessionsReport;
  f.report.currentSession.cps = 1234;
  const std::string near = "@STARTTIME(CENTER,240)xx@CPS(RIGHT,9)";
  const std::string over = "@STARTTIME(CENTER,245)xx@CPS(RIGHT,9)";
  bool noLineEnd = false;
  ExpandContext context{f.sources, f.definitions, noLineEnd, f.scratch};
  MarkedLine got;
  CompiledLine nearLine(near, 2, kSessionsReport, f.definitions);
  ASSERT_TRUE(nearLine.Expand(got, context));
  bool end = false;
  EXPECT_EQ(got.View(), f.Expand(near, 2, end).View());
  CompiledLine overLine(over, 2, kSessionsReport, f.definitions);
  ASSERT_TRUE(overLine.Usable());
  EXPECT_FALSE(overLine.Expand(got, context));
  EXPECT_EQ(f.Expand(over, 2, end).View().substr(245), "xxCPS(RIG");

  // The same through a user value whose fields grow after it was put in.
  f.definitions = {{"@G", "@ADDRESS(LEFT,100)@ADDRESS(LEFT,100)", std::string(38, '\0')},
                   {"@H", "hhhhh", "\0\0\0\0\0"}};
  const std::string grown = "@G(LEFT,*)" + std::string(50, 'x') + "@H(LEFT,5)";
  CompiledLine grownLine(grown, 2, kSessionsReport, f.definitions);
  ASSERT_TRUE(grownLine.Usable());
  EXPECT_FALSE(grownLine.Expand(got, context));
  EXPECT_EQ(f.Expand(grown, 2, end).View().substr(250), "H(LE");
}

}  // namespace
}  // namespace zentrak
