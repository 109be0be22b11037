#include "template/template_engine.h"

#include <gtest/gtest.h>

#include "template_test_fixture.h"

namespace zentrak {
namespace {

using testing::EngineFixture;

struct Row {
  std::string input;
  std::string output;
};

TEST(TemplateGrammar, EachRowOfTheGrammarFirstMatchWins) {
  const Row rows[] = {
      {"; comment\nH\n@STARTCIRCLE()\n@ENDCIRCLE()\n", "H\n"},
      {"; @STARTCIRCLE() in a comment\nH\n@STARTCIRCLE()\n@ENDCIRCLE()\n", "H\n"},
      {"% X = \"v\" @STARTCIRCLE()\n@X(LEFT,*)\n@STARTCIRCLE()\n@ENDCIRCLE()\n",
       "v @STARTCIRCLE()\n"},
      {"!@STARTCIRCLE() ends the header\nB\n@ENDCIRCLE()\nF\n", "B\nF\n"},
      {"text @STARTCIRCLE() text\nB\ntext @ENDCIRCLE() text\nF\n", "B\nF\n"},
      {"H\n\n@STARTCIRCLE()\n\n@ENDCIRCLE()\n\n", "H\n\n\n\n"},
      {"!@THISSYSOP @CPS(LEFT,*)\n@STARTCIRCLE()\n!@NOEND()\n@ENDCIRCLE()\n!x\n",
       "!@THISSYSOP @CPS(LEFT,*)\n!@NOEND()\n!x\n"},
      {"@STARTCIRCLE()\n; dropped\n% D=\"dropped\"\nB\n!@ENDCIRCLE()\nF\n", "B\nF\n"},
      {"@STARTCIRCLE()\n@ENDCIRCLE()\n; kept\n% kept\nF\n", "; kept\n% kept\nF\n"},
      {"; c\n\n@STARTCIRCLE()\n@ENDCIRCLE()\n", "\n"},
      {"@STARTCIRCLE()\n@ENDCIRCLE()\n", ""},
  };
  for (const Row& row : rows) {
    EngineFixture f;
    EXPECT_EQ(f.Run(row.input), row.output) << row.input;
  }
}

TEST(TemplateGrammar, QuestionMarkAndEmptyResultWritingRule) {
  const Row rows[] = {
      {"?;note\n", ";note\n"},    {"?\n", ""},
      {"??x\n", "?x\n"},          {"@X(LEFT,0)\n", ""},
      {"a@NOEND()\nb\n", "ab\n"}, {"@NOEND()a@NOEND()\n@NOEND()\n", "a"},
  };
  for (const Row& row : rows) {
    EngineFixture f;
    EXPECT_EQ(f.Run("%X=\"x\"\n" + row.input + "@STARTCIRCLE()\n@ENDCIRCLE()\n"), row.output)
        << row.input;
  }
}

TEST(TemplateGrammar, LoopBodyIsWrittenOncePerRecordFromTheSameText) {
  EngineFixture f;
  f.report.reportKind = kLinksReport;
  f.model.links.resize(2);
  f.model.links[0].Sysop = "Ann";
  f.model.links[1].Sysop = "Bob";
  ASSERT_TRUE(f.Header("H\n@STARTCIRCLE()\n[@SYSOP(LEFT,4)]\n@ENDCIRCLE()\nF\n"));
  for (int i = 0; i < 2; ++i) {
    f.report.currentIndex = i;
    f.engine.TemplateBody();
  }
  f.engine.TemplateFooter();
  EXPECT_EQ(f.Output(), "H\n[Ann ]\n[Bob ]\nF\n");
}

TEST(TemplateGrammar, MissingLoopMarkersGiveTheirMessages) {
  struct Case {
    std::string input;
    std::string console;
  };
  const std::string start = "! STAMP There is no @startcircle() parametr in test template..\n";
  const std::string end = "! STAMP There is no @endcircle() parameter in test template.\n";
  const Case cases[] = {
      {"", start},
      {"H\n", start},
      {"H\n; last line a comment\n", start},
      {"H\n% X=\"1\"\n", start},
      {"H\n@STARTCIRCLE()\n", end},
      {"@STARTCIRCLE()\nB\n", end},
      {"@STARTCIRCLE()\nB\n; @ENDCIRCLE()\n", end},
  };
  for (const Case& c : cases) {
    EngineFixture f;
    EXPECT_FALSE(f.Header(c.input)) << c.input;
    EXPECT_EQ(f.console.Masked(), c.console) << c.input;
  }
}

TEST(Definitions, ParsingAndBothErrorMessages) {
  struct Case {
    std::string line;
    std::string name;
    std::string value;
    std::string console;
  };
  const Case cases[] = {
      {"%NAME=\"value\"", "@NAME", "value", ""},
      {"%  MY NAME  =  \"v\"", "@MYNAME", "v", ""},
      {"%X=\"x\" y", "@X", "x y", ""},
      {"%X=\"a=b\"", "@X", "a=b", ""},
      {"%X=\"\"", "@X", "", ""},
      {"%X \"v\"", "", "", "! STAMP Bad macros definition line: %X \"v\"\n"},
      {"%X=v", "", "", "! STAMP Bad macros definition line: %X=v\n"},
      {"%X=\"a", "", "", "! STAMP Bad macros definition line: a\n"},
      {"%" + std::string(60, 'N') + "=\"v\"", "@" + std::string(49, 'N'), "v", ""},
  };
  for (const Case& c : cases) {
    EngineFixture f;
    ASSERT_TRUE(f.Header(c.line + "\n@STARTCIRCLE()\n@ENDCIRCLE()\n")) << c.line;
    EXPECT_EQ(f.console.Masked(), c.console) << c.line;
    if (c.name.empty()) {
      EXPECT_TRUE(f.engine.Definitions().empty()) << c.line;
      continue;
    }
    ASSERT_EQ(f.engine.Definitions().size(), 1u) << c.line;
    EXPECT_EQ(f.engine.Definitions()[0].name, c.name) << c.line;
    EXPECT_EQ(f.engine.Definitions()[0].value, c.value) << c.line;
  }
}

TEST(Definitions, BareNamesAndEarlierDefinitionsAreSubstituted) {
  EngineFixture f;
  f.settings.SYSOP = "Joe";
  f.settings.STATION = "Node";
  f.model.PeriodFrom = CalendarDate{3, 2, 2026};
  f.settings.graphicStart = 3600;
  f.report.reportKind = kLinksReport;
  ASSERT_TRUE(
      f.Header("%A=\"@THISSYSOP at @THISSTATION\"\n"
               "%B=\"[@A] @DAYFROM.@MONTHFROM.@YEARFROM\"\n"
               "%C=\"@VERSION @GRAPHICSTARTTIME\"\n"
               "%A=\"second\"\n"
               "@STARTCIRCLE()\n@ENDCIRCLE()\n"));
  const auto& defs = f.engine.Definitions();
  ASSERT_EQ(defs.size(), 4u);
  EXPECT_EQ(defs[0].value, "Joe at Node");
  EXPECT_EQ(defs[1].value, "[Joe at Node] 03.02.2026");
  // The graphic window exists only in the graphic report.
  EXPECT_EQ(defs[2].value, "2.7.2-20030225 GRAPHICSTARTTIME");
  // A name defined twice: the first entry wins in lookups.
  EXPECT_EQ(f.engine.ExpandLine("@A(LEFT,*)", 1), "Joe at Node");
}

TEST(Definitions, SpecialNamesSetLineLengthAndSymbols) {
  struct Case {
    std::string value;
    int32_t lineLength;
  };
  // Only a whole number sets the length; text after the number makes it none.
  const Case cases[] = {{"40", 40}, {" 12", 12}, {"300", 255}, {"255", 255}, {"abc", -1}, {"0", -1},
                        {"-5", -1}, {"40x", -1}, {"40 ", -1},  {"4.0", -1},  {" 12x", -1}};
  for (const Case& c : cases) {
    EngineFixture f;
    ASSERT_TRUE(f.Header("%LINELENGTH=\"" + c.value + "\"\n@STARTCIRCLE()\n@ENDCIRCLE()\n"));
    EXPECT_EQ(f.report.lineLength, c.lineLength) << c.value;
    EXPECT_TRUE(f.engine.Definitions().empty());
  }
  EngineFixture f;
  ASSERT_TRUE(
      f.Header("%DRAWSYMBOL=\"#x\"\n%BACKGROUND=\".\"\n%GRAPHICINSYMBOL=\"I\"\n"
               "%GRAPHICOUTSYMBOL=\"O\"\n%GRAPHICBBSSYMBOL=\"B\"\n%GRAPHICCALLSYMBOL=\"C\"\n"
               "%drawsymbol=\"d\"\n@STARTCIRCLE()\n@ENDCIRCLE()\n"));
  EXPECT_EQ(f.report.cpsDrawSymbol, '#');
  EXPECT_EQ(f.report.histBackgroundSymbol, '.');
  EXPECT_EQ(std::string(f.report.graphicSymbols, 4), "IOBC");
  // The graphic symbols are stored as macros too; the name match is case-sensitive.
  ASSERT_EQ(f.engine.Definitions().size(), 5u);
  EXPECT_EQ(f.engine.Definitions()[0].name, "@GRAPHICINSYMBOL");
  EXPECT_EQ(f.engine.Definitions()[4].name, "@drawsymbol");
}

TEST(Definitions, SurplusDefinitionsAndLoopLinesAreRefusedWithAMessage) {
  EngineFixture f;
  std::string text;
  for (int i = 0; i < 101; ++i) text += "%M" + std::to_string(i) + "=\"v\"\n";
  text += "@STARTCIRCLE()\n";
  for (int i = 0; i < 101; ++i) text += "L" + std::to_string(i) + "\n";
  text += "@ENDCIRCLE()\n";
  ASSERT_TRUE(f.Header(text));
  EXPECT_EQ(f.engine.Definitions().size(), 100u);
  EXPECT_EQ(f.console.Masked(),
            "! STAMP Too many macro definitions in test template, ignoring: %M100=\"v\"\n"
            "! STAMP Too many lines in the loop region of test template, ignoring: L100\n");
  EXPECT_EQ(f.engine.AddGeneratedMacro("@G", "g"), -1);
  f.engine.TemplateBody();
  f.engine.TemplateFooter();
  std::string out = f.Output();
  EXPECT_EQ(out.substr(out.size() - 8), "L98\nL99\n");
}

TEST(Definitions, VisibleAfterTheirOwnLineOnly) {
  EngineFixture f;
  EXPECT_EQ(f.Run("@X(LEFT,*)\n%X=\"x\"\n@X(LEFT,*)\n@STARTCIRCLE()\n@X(LEFT,*)\n@ENDCIRCLE()\n"
                  "@X(LEFT,*)\n"),
            "@X(LEFT,*)\nx\nx\nx\n");
}

TEST(GeneratedMacros, BehaveAsUserMacrosButTheirValuesAreLiteral) {
  EngineFixture f;
  f.report.reportKind = kFilesReport;
  f.report.fileLine.isFileLine = true;
  ASSERT_TRUE(
      f.Header("@STARTCIRCLE()\n@FILENAME(LEFT,6)|@?FILENAME=@FILENAME(RIGHT,6)|\n"
               "@ENDCIRCLE()\n"));
  int index = f.engine.AddGeneratedMacro("@FILENAME", "a.zip");
  ASSERT_EQ(index, 0);
  f.engine.TemplateBody();
  f.engine.SetMacroValue(index, "@CPS(LEFT,*)");
  f.engine.TemplateBody();
  f.engine.TemplateFooter();
  EXPECT_EQ(f.Output(), "a.zip | a.zip|\n@CPS(L|@CPS(L|\n");
}

TEST(SecondLoopMode, ContinuesAfterTheFirstLoopAndKeepsDefinitions) {
  EngineFixture f;
  f.report.reportKind = kMailersReport;
  ASSERT_TRUE(
      f.Header("%A=\"a\"\nH1\n@STARTCIRCLE()\n1:@A(LEFT,*)\n@ENDCIRCLE()\n"
               "%B=\"b\"\nH2\n@STARTCIRCLE()\n2:@A(LEFT,*)@B(LEFT,*)\n@ENDCIRCLE()\nF\n"));
  f.engine.TemplateBody();
  f.engine.FlushOutput();
  f.engine.secondLoopMode = true;
  ASSERT_TRUE(f.engine.TemplateHeader(""));
  f.engine.TemplateBody();
  f.engine.TemplateBody();
  f.engine.TemplateFooter();
  EXPECT_EQ(f.Output(), "H1\n1:a\nH2\n2:ab\n2:ab\nF\n");
  EXPECT_EQ(f.engine.Definitions().size(), 0u);
}

TEST(SecondLoopMode, WithoutASecondLoopWritesTheLastLineAndCloses) {
  EngineFixture f;
  ASSERT_TRUE(f.Header("H1\n@STARTCIRCLE()\nB\n@ENDCIRCLE()\nX @CPS(LEFT,1)\nlast @CPS(LEFT,1)\n"));
  f.engine.TemplateBody();
  f.engine.secondLoopMode = true;
  EXPECT_FALSE(f.engine.TemplateHeader(""));
  EXPECT_FALSE(f.engine.secondLoopMode);
  EXPECT_EQ(f.Output(), "H1\nB\nX @CPS(LEFT,1)\nlast @CPS(LEFT,1)\n");
  EXPECT_EQ(f.console.Masked(), "! STAMP There is no @startcircle() parametr in  template..\n");
  // The next report starts afresh.
  EngineFixture g;
  g.engine.secondLoopMode = false;
  EXPECT_EQ(g.Run("%A=\"a\"\n@STARTCIRCLE()\n@ENDCIRCLE()\n@A(LEFT,*)\n"), "a\n");
}

TEST(SeveralLoops, EachLoopAfterTheOtherThenTheFooterAndCharts) {
  EngineFixture f;
  std::vector<std::string> asked;
  f.engine.SetChartSource([&](std::string_view name, std::string& markup) {
    asked.emplace_back(name);
    markup = "<svg>" + std::string(name) + "</svg>\n";
    return name != "NONE";
  });
  ASSERT_TRUE(
      f.Header("%K=\"days\"\n  @CHART(DAYS)  \n@STARTCIRCLE()\nd\n@ENDCIRCLE()\n"
               "%K=\"months\"\nbetween\n@CHART(NONE)\n@STARTCIRCLE()\nm\n@ENDCIRCLE()\n"
               "end @CHART(X)\n@CHART(Y)\n"));
  EXPECT_EQ(f.engine.Definitions().back().value, "days");
  f.engine.TemplateBody();
  ASSERT_TRUE(f.engine.NextLoop());
  EXPECT_EQ(f.engine.Definitions().back().value, "months");
  f.engine.TemplateBody();
  f.engine.TemplateBody();
  EXPECT_FALSE(f.engine.NextLoop());
  f.engine.TemplateFooter();  // nothing left to write
  // A chart the report does not draw, or one not alone on its line, stays text.
  EXPECT_EQ(f.Output(),
            "<svg>DAYS</svg>\nd\nbetween\n@CHART(NONE)\nm\nm\nend @CHART(X)\n<svg>Y</svg>\n");
  EXPECT_EQ(asked, (std::vector<std::string>{"DAYS", "NONE", "Y"}));
}

TEST(Output, TheGuideExampleWritesALinksReport) {
  EngineFixture f;
  f.settings.SYSOP = "Joe";
  f.model.PeriodFrom = CalendarDate{1, 12, 2026};
  f.model.links = {TLink{"2:5020/1", "", "", "Ann", "", true, 10, 20, 0, 0, 42},
                   TLink{"2:5020/22", "", "", "Bob", "", false, 5, 0, 0, 0, 9}};
  f.model.TotalReceived = 15;
  f.model.TotalSent = 1000;
  f.report.reportKind = kLinksReport;
  ASSERT_TRUE(f.Header(
      "; links.tpl\n%PW = \"*\"\n%ME = \"@THISSYSOP\"\n"
      "Links of @ME(LEFT,*), @DAYFROM(LEFT,2).@MONTHFROM(LEFT,2).@YEARFROM(LEFT,4)\n"
      "Address              Sysop                     Cps\n@STARTCIRCLE()\n"
      "@ADDRESS(LEFT,20) @SYSOP(LEFT,24)@?PROTECTED=@PW(LEFT,1) @CPS(RIGHT,5)\n@ENDCIRCLE()\n"
      "?; @NUMBEROFLINKS(LEFT,*) links, @TOTALTRAFFIC(LEFT,*) bytes\n"));
  for (int i = 0; i < 2; ++i) {
    f.report.currentIndex = i;
    f.engine.TemplateBody();
  }
  f.engine.TemplateFooter();
  EXPECT_EQ(f.Output(),
            "Links of Joe, 01.12.2026\n"
            "Address              Sysop                     Cps\n"
            "2:5020/1             Ann                     *    42\n"
            "2:5020/22            Bob                          9\n"
            "; 2 links, 1,015 bytes\n");
}

TEST(Output, AFailedWriteIsReported) {
  EngineFixture f;
  f.platform.faults.writeLimit = 3;
  ASSERT_TRUE(f.Header("H\n@STARTCIRCLE()\nB\n@ENDCIRCLE()\nF\n"));
  f.engine.TemplateBody();
  f.engine.TemplateFooter();
  EXPECT_TRUE(f.engine.OutputFailed());
  f.platform.faults.writeLimit.reset();
  f.Run("H\n@STARTCIRCLE()\n@ENDCIRCLE()\n");
  EXPECT_FALSE(f.engine.OutputFailed());
}

// Lines reach the output in large pieces: a report many times their size
// comes out whole and in order, and a write that fails in the middle of it is
// still reported.
TEST(Output, LargeReportsArriveWholeAndFailuresShow) {
  std::string body;
  std::string expected = "H\n";
  for (int i = 0; i < 4000; ++i) {
    std::string line = "record " + std::to_string(i) + std::string(i % 40, '.');
    body += line + "\n";
    expected += line + "\n";
  }
  EngineFixture f;
  EXPECT_EQ(f.Run("H\n@STARTCIRCLE()\n@ENDCIRCLE()\n" + body), expected);
  EXPECT_FALSE(f.engine.OutputFailed());
  f.platform.faults.writeLimit = expected.size() / 2;
  f.Run("H\n@STARTCIRCLE()\n@ENDCIRCLE()\n" + body);
  EXPECT_TRUE(f.engine.OutputFailed());
}

TEST(Output, LongLinesAreCutAt255) {
  EngineFixture f;
  std::string longLine(300, 'x');
  EXPECT_EQ(f.Run(longLine + "\n@STARTCIRCLE()\n@ENDCIRCLE()\n"), std::string(255, 'x') + "\n");
}

// The escaping rule: fields are cut and padded on the raw value, then the value's
// bytes (and only those) are escaped; the author's text is written as it stands.
TEST(Escaping, ValueFieldAndDeclarationGiveTheOutputBytes) {
  struct Case {
    std::string sysop;
    std::string line;
    bool declared;
    std::string output;
  };
  const std::string hostile = "<b>&\"'";
  const Case cases[] = {
      {hostile, "@SYSOP(LEFT,*)", false, hostile},
      {hostile, "@SYSOP(LEFT,*)", true, "&lt;b&gt;&amp;&quot;&#39;"},
      {"a&b", "[@SYSOP(LEFT,2)]", true, "[a&amp;]"},
      {"a&b", "[@SYSOP(RIGHT,5)]", true, "[  a&amp;b]"},
      {"<", "[@SYSOP(CENTER,4)]", true, "[ &lt;  ]"},
      {"<<<<", "[@SYSOP(LEFT,3)]", true, "[&lt;&lt;&lt;]"},
      {"&amp;", "@SYSOP(LEFT,*)", true, "&amp;amp;"},
      {"\xe9t\xe9", "@SYSOP(LEFT,*)", true, "\xe9t\xe9"},
      {"<", "?@SYSOP(LEFT,*)", true, "&lt;"},
      {"<", "<td class=\"s\">@SYSOP(LEFT,*)</td>", true, "<td class=\"s\">&lt;</td>"},
      {"<", "!<i>@SYSOP(LEFT,*)</i>", true, "!<i>@SYSOP(LEFT,*)</i>"},
      {"<", "@WRAP(LEFT,*)", true, "<b>&lt;</b>"},
      {"<", "@WRAP(LEFT,*)", false, "<b><</b>"},
      {"<", "@STATION(LEFT,*)", true, "<i>&quot;Q&quot; &amp; Co</i>"},
      {"<", "@?PROTECTED=@WRAP(LEFT,*)", true, "<b>&lt;</b>"},
      {"<", "@GEN(LEFT,*)", true, "x&lt;y"},
  };
  for (const Case& c : cases) {
    EngineFixture f;
    f.settings.STATION = "\"Q\" & Co";
    f.report.reportKind = kLinksReport;
    f.model.links = {TLink{"2:5020/1", "", "", c.sysop, "", true, 1, 1, 1, 1, 1}};
    ASSERT_TRUE(f.Header(std::string(c.declared ? "%ESCAPE=\"HTML\"\n" : "") +
                         "%WRAP=\"<b>@SYSOP(LEFT,*)</b>\"\n%STATION=\"<i>@THISSTATION</i>\"\n"
                         "@STARTCIRCLE()\n" +
                         c.line + "\n@ENDCIRCLE()\n"));
    f.engine.AddGeneratedMacro("@GEN", "x<y");
    f.engine.TemplateBody();
    f.engine.TemplateFooter();
    EXPECT_EQ(f.Output(), c.output + "\n") << c.line << (c.declared ? " declared" : "");
  }
}

TEST(Escaping, OnlyTheHtmlValueDeclaresAndOnlyFromItsLineOn) {
  struct Case {
    std::string header;
    std::string output;
    std::string console;
  };
  const std::string late =
      "! STAMP Values written above the %ESCAPE line of test template are not escaped\n";
  const Case cases[] = {
      {"%ESCAPE = \" html \"\n@V(LEFT,*)\n", "&lt;\n", ""},
      {"%ESCAPE=\"NONE\"\n@V(LEFT,*)\n", "<\n", ""},
      {"%escape=\"HTML\"\n@V(LEFT,*)\n", "<\n", ""},
      {"<p>\n%ESCAPE=\"HTML\"\n@V(LEFT,*)\n", "<p>\n&lt;\n", ""},
      {"@V(LEFT,*)\n%ESCAPE=\"HTML\"\n@V(LEFT,*)\n", "<\n&lt;\n", late},
      {"%ESCAPE=\"HTML\"\n[@ESCAPE(LEFT,*)]\n", "[HTML]\n", ""},
  };
  for (const Case& c : cases) {
    EngineFixture f;
    f.settings.SYSOP = "<";
    f.report.reportKind = kLinksReport;
    EXPECT_EQ(f.Run("%V=\"@THISSYSOP\"\n" + c.header + "@STARTCIRCLE()\n@ENDCIRCLE()\n"), c.output)
        << c.header;
    EXPECT_EQ(f.console.Masked(), c.console) << c.header;
  }
  // The next report starts unescaped.
  EngineFixture f;
  f.settings.SYSOP = "<";
  f.report.reportKind = kLinksReport;
  f.Run("%ESCAPE=\"HTML\"\n@STARTCIRCLE()\n@ENDCIRCLE()\n");
  EXPECT_EQ(f.Run("%V=\"@THISSYSOP\"\n@V(LEFT,*)\n@STARTCIRCLE()\n@ENDCIRCLE()\n"), "<\n");
}

// Converted text stays text: escaping applies to what the conversion made, a
// field cut inside a multi-byte character gives a replacement character, and
// text reports keep their bytes unless REMOTE_CHARSET says "TEXT".
TEST(Escaping, RemoteTextsAreConvertedThenEscaped) {
  struct Case {
    std::string charset;
    bool inText;
    bool declared;
    std::string sysop;
    std::string line;
    std::string output;
  };
  const Case cases[] = {
      // CP866 "Иван" and KOI8-R "Иван".
      {"CP866", false, true, "\x88\xa2\xa0\xad <&>", "@SYSOP(LEFT,*)",
       "\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd &lt;&amp;&gt;"},
      {"KOI8-R", false, true, "\xe9\xd7\xc1\xce", "[@SYSOP(LEFT,6)]",
       "[\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd  ]"},
      {"CP866", false, false, "\x88\xa2\xa0\xad", "@SYSOP(LEFT,*)", "\x88\xa2\xa0\xad"},
      {"CP866", true, false, "\x88<", "@SYSOP(LEFT,*)", "\xd0\x98<"},
      // A UTF-8 name cut by its field through "И", and bytes that are no UTF-8.
      {"UTF-8", false, true, "a\xd0\x98", "[@SYSOP(LEFT,2)]", "[a\xef\xbf\xbd]"},
      {"UTF-8", false, true, "\xff<\xc3", "@SYSOP(LEFT,*)", "\xef\xbf\xbd&lt;\xef\xbf\xbd"},
      {"", false, true, "\x88<", "@SYSOP(LEFT,*)", "\x88&lt;"},

  };
  for (const Case& c : cases) {
    EngineFixture f;
    f.settings.REMOTE_CHARSET = c.charset;
    f.settings.remoteCharsetInText = c.inText;
    f.report.reportKind = kLinksReport;
    f.model.links = {TLink{"2:5020/1", "", "", c.sysop, "", true, 1, 1, 1, 1, 1}};
    ASSERT_TRUE(f.Header(std::string(c.declared ? "%ESCAPE=\"HTML\"\n" : "") +
                         "<p>\n@STARTCIRCLE()\n" + c.line + "\n@ENDCIRCLE()\n"));
    f.engine.TemplateBody();
    f.engine.TemplateFooter();
    EXPECT_EQ(f.Output(), "<p>\n" + c.output + "\n") << c.charset << " " << c.line;
  }
}

}  // namespace
}  // namespace zentrak
