#include "config/main_config.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/config_lines.h"
#include "console/run_stop.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::TempDir;
using testing::TestConsole;
using testing::TestPlatform;

// Reads configuration text; the two lines that make a configuration complete
// are appended so that line numbers of the text stay as written.
struct ConfigRun {
  explicit ConfigRun(std::string text, bool complete = true) {
    if (complete) {
      if (!text.empty() && text.back() != '\n') text += '\n';
      text += "MAILER_CFG mailer.cfg\nLNGFILE english.lng\n";
    }
    LineReader lines(text);
    try {
      ReadMainConfigLines(lines, settings, tc.console, platform);
    } catch (const RunStop& stop) {
      stopStatus = stop.exitStatus;
    }
  }
  std::string Console() const { return tc.Masked(); }

  TestConsole tc;
  TestPlatform platform;
  Settings settings = SetDefaults();
  int stopStatus = -1;
};

TEST(MainConfig, LineSyntaxAndTextKeywords) {
  struct Row {
    std::string text;
    std::function<std::string(const Settings&)> field;
    std::string want;
  };
  const std::string long90(90, 'x');
  const Row rows[] = {
      {"sessions_file Daily.OUT", [](auto& s) { return s.SESSIONS_FILE; }, "Daily.OUT"},
      {"\tLINKS_FILE\tweek.out \t", [](auto& s) { return s.LINKS_FILE; }, "week.out"},
      {"CPS_FILE  cps.txt ;comment", [](auto& s) { return s.CPS_FILE; }, "cps.txt "},
      {"CPS_FILE ;only a comment", [](auto& s) { return s.CPS_FILE; }, "cps.out"},
      {"; CPS_FILE x", [](auto& s) { return s.CPS_FILE; }, "cps.out"},
      {"CPS_FILE", [](auto& s) { return s.CPS_FILE; }, "cps.out"},
      {"CPS_FILE a\nCPS_FILE b", [](auto& s) { return s.CPS_FILE; }, "b"},
      {"TIME_FILE " + long90, [](auto& s) { return s.TIME_FILE; }, std::string(80, 'x')},
      {"SYSOPS_FILE " + long90, [](auto& s) { return s.SYSOPS_FILE; }, std::string(78, 'x')},
      {"LOGFILE /var/log/mailer.log", [](auto& s) { return s.LOG; }, "/var/log/mailer.log"},
      {"OUTPUT /srv/stat", [](auto& s) { return s.OUTPUT; }, "/srv/stat/"},
      {"TEMPLATE tpl/", [](auto& s) { return s.TEMPLATE; }, "tpl/"},
      {"OUTPUT " + long90, [](auto& s) { return s.OUTPUT; }, std::string(79, 'x') + "/"},
      {"LINE NONE", [](auto& s) { return s.LINE; }, "no"},
      {"LINE none", [](auto& s) { return s.LINE; }, "none"},
      {"LINE 2", [](auto& s) { return s.LINE; }, "2"},
      {"LINE 12345678901234", [](auto& s) { return s.LINE; }, "1234567890"},
      {"FILE_CASE up", [](auto& s) { return s.FILE_CASE; }, "UP"},
      {"FILE_CASE Low", [](auto& s) { return s.FILE_CASE; }, "LOW"},
      {"FILE_CASE lower", [](auto& s) { return s.FILE_CASE; }, "ASIS"},
      {"DISKS CDE ;drives", [](auto& s) { return s.DISKS; }, "CDE"},
      {"GRAPHIC_TIME 08:00-20:00", [](auto& s) { return s.GRAPHIC_TIME; }, "08:00-20:00"},
      {"DEFINE DIR /fido\nLOG %DIR%/mailer.log", [](auto& s) { return s.LOG; }, "/fido/mailer.log"},
      {"DEFINE DIR /fido\nLOG %dir%/mailer.log", [](auto& s) { return s.LOG; }, "%dir%/mailer.log"},
      {"LOG %DIR%/a\nDEFINE DIR /fido", [](auto& s) { return s.LOG; }, "%DIR%/a"},
      {"DEFINE  NAME   two words \nSYSOP %NAME%", [](auto& s) { return s.SYSOP; }, "two words"},
      {"DEFINE LONELY\nSYSOP %LONELY%", [](auto& s) { return s.SYSOP; }, "%LONELY%"},
      {"EXCLUDE_ADDRESS 2:5020/1@fidonet", [](auto& s) { return s.ExcludeAddressList.at(0); },
       "2:5020/1"},
  };
  for (const Row& row : rows) {
    ConfigRun run(row.text);
    EXPECT_EQ(row.field(run.settings), row.want) << row.text;
    EXPECT_EQ(run.Console(), "") << row.text;
  }
}

TEST(MainConfig, YesNoSwitches) {
  struct Row {
    const char* text;
    bool want;
    bool warned;  // neither YES nor NO: taken as NO, with a warning
  };
  const Row rows[] = {
      {"MAKESTAT_LINKS yes", true, false},    {"MAKESTAT_LINKS Y", false, true},
      {"MAKESTAT_LINKS YES;on", true, false}, {"MAKESTAT_LINKS YES ;on", false, true},
      {"makestat_links NO", false, false},    {"MAKESTAT_LINKS YESS", false, true},
  };
  const std::string warning =
      "! STAMP Config file line 1: the value of MAKESTAT_LINKS is neither YES nor NO\n";
  for (const Row& row : rows) {
    ConfigRun run(row.text);
    EXPECT_EQ(run.settings.MAKESTAT_LINKS, row.want) << row.text;
    EXPECT_EQ(run.Console(), row.warned ? warning : "") << row.text;
  }
  ConfigRun all("");
  EXPECT_TRUE(all.settings.MAKESTAT_SESSIONS && all.settings.MAKESTAT_SUMMARY &&
              all.settings.MAKESTAT_FILES && all.settings.MAKESTAT_LASTCALL);
  ConfigRun options(
      "HIDE_NULL_SESSIONS YES\nTAKE_PHONE_FROM_CALLING NO\nDRAW_HISTOGRAM_VERTICAL_LINES no\n"
      "SHOW_ADDRESSES_IN_FILESSTAT No\nMAKESTAT_DISK NO");
  EXPECT_TRUE(options.settings.HIDE_NULL_SESSIONS);
  EXPECT_FALSE(options.settings.TAKE_PHONE_FROM_CALLING);
  EXPECT_FALSE(options.settings.DRAW_HISTOGRAM_VERTICAL_LINES);
  EXPECT_FALSE(options.settings.SHOW_ADDRESSES_IN_FILESSTAT);
  EXPECT_FALSE(options.settings.MAKESTAT_DISK);
}

TEST(MainConfig, CutLogTakesYesNoOrDays) {
  struct Row {
    const char* text;
    bool cutLog;
    int days;
    bool newAlg;
    const char* warnedKeyword = nullptr;
  };
  const Row rows[] = {
      {"CUT_LOG YES", true, 0, true},
      {"CUT_LOG 5", true, 5, true},
      {"CUT_LOG 5\nCUT_LOG NO", false, 5, true},
      {"CUT_LOG 0", false, 0, true},
      {"CUT_LOG -3", false, -3, true},
      {"CUT_LOG nope", false, 0, true, "CUT_LOG"},
      {"CUT_LOG_NEWALG no", false, 0, false},
      {"CUT_LOG_NEWALG 1", false, 0, true, "CUT_LOG_NEWALG"},
      {"CUT_LOG_NEWALG NO\nCUT_LOG_NEWALG YES", false, 0, true},
  };
  for (const Row& row : rows) {
    ConfigRun run(row.text);
    EXPECT_EQ(run.settings.CUT_LOG, row.cutLog) << row.text;
    EXPECT_EQ(run.settings.cutLogDays, row.days) << row.text;
    EXPECT_EQ(run.settings.CUT_LOG_NEWALG, row.newAlg) << row.text;
    std::string warning = row.warnedKeyword == nullptr
                              ? ""
                              : "! STAMP Config file line 1: the value of " +
                                    std::string(row.warnedKeyword) + " is neither YES nor NO\n";
    EXPECT_EQ(run.Console(), warning) << row.text;
  }
}

TEST(MainConfig, TimeOfDay) {
  struct Row {
    const char* text;
    std::optional<int32_t> want;
  };
  const Row rows[] = {
      {"0", 0},
      {"10", 36000},
      {"10:30", 37800},
      {"1:2:3", 3723},
      {"23:59:59", 86399},
      {"24", 86400},
      {"24:00:01", std::nullopt},
      {"25", std::nullopt},
      {"0:1440", 86400},
      {"", 0},
      // Parts too big to multiply (found by fuzzing): out of range, not overflow.
      {"5000000000000000000", std::nullopt},
      {"0:99999999999999999999", std::nullopt},
      {"-900000000000000000:-900000000000000000:-900000000000000000", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(TimeOfDay(row.text), row.want) << row.text;
}

TEST(MainConfig, TimeWindowValidity) {
  struct Row {
    const char* value;
    TimeWindow want;
  };
  const Row good[] = {
      {"1.00:00-0.00:00", {1, 0, 0, 0}},
      {"0.08:00-0.20:30", {0, 28800, 0, 73800}},
      {"2.22-1.06:00:30", {2, 79200, 1, 21630}},
      {"0.0-0.24:00", {0, 0, 0, 86400}},
  };
  for (const Row& row : good) {
    ConfigRun run(std::string("TIME ") + row.value);
    const TimeWindow& w = run.settings.timeWindow;
    EXPECT_EQ(run.stopStatus, -1) << row.value;
    EXPECT_EQ(w.startDaysBack, row.want.startDaysBack) << row.value;
    EXPECT_EQ(w.startTime, row.want.startTime) << row.value;
    EXPECT_EQ(w.endDaysBack, row.want.endDaysBack) << row.value;
    EXPECT_EQ(w.endTime, row.want.endTime) << row.value;
  }
  const char* bad[] = {"0.10:00-0.09:00", "0.00:00-1.00:00", "0.10:00-0.10:00", "1.00:00",
                       "1-0.00:00",       "1.25:00-0.00:00", "1.00:00-0.24:01", "1.00:00-0"};
  for (const char* value : bad) {
    ConfigRun run(std::string("TIME ") + value);
    EXPECT_EQ(run.stopStatus, 1) << value;
    EXPECT_EQ(run.Console(), "! STAMP Wrong time in config. Check it please..\n") << value;
  }
}

TEST(MainConfig, AliasCompletesShortAddresses) {
  struct Row {
    const char* address;
    const char* own;
    const char* want;
  };
  const Row rows[] = {
      {"/5", "2:5020/100", "2:5020/5"},
      {"33", "2:5020/100", "2:5020/33"},
      {"1:2/3", "2:5020/100", "1:2/3"},
      {"33.1", "2:5020/100.7", "2:5020/33.1"},
      {"33", "", "33"},
      {"/5", "2:5020", "/5"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CompleteAliasAddress(row.address, row.own), row.want) << row.address;
  }
  ConfigRun run(
      "ALIAS 7 Early\nADDRESS 2:5020/100\nALIAS /5 Some Name \nALIAS 1:2/3 Far\nALIAS lonely");
  EXPECT_EQ(run.settings.AliasList,
            (std::vector<std::string>{"Early=7", "Some Name=2:5020/5", "Far=1:2/3"}));
}

TEST(MainConfig, StatLines) {
  ConfigRun run("STAT all.out SES + lin+!sys+XYZ\nSTAT none.out XYZ+!ABC\nSTAT lonely.out");
  ASSERT_EQ(run.settings.SingleFileTable.size(), 2u);
  EXPECT_EQ(run.settings.SingleFileTable[0].name, "all.out");
  EXPECT_EQ(run.settings.SingleFileTable[0].codes, (std::vector<int>{1, 2, -3}));
  EXPECT_TRUE(run.settings.SingleFileTable[1].codes.empty());
  EXPECT_EQ(run.Console(),
            "! STAMP   Wrong parameter in single file stat (XYZ). Ignoring..\n"
            "! STAMP   Wrong parameter in single file stat (XYZ). Ignoring..\n"
            "! STAMP   Wrong parameter in single file stat (ABC). Ignoring..\n");
  ConfigRun every("STAT x.out ses+LIN+sys+cps+tr+tim+mlr+fil+his+gr+sum+dsk+!lcl+trd+flr");
  EXPECT_EQ(every.settings.SingleFileTable[0].codes,
            (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, -13, 14, 15}));
  ConfigRun longName("STAT " + std::string(90, 'n') + " SES");
  EXPECT_EQ(longName.settings.SingleFileTable[0].name.size(), 78u);
}

TEST(MainConfig, RemoteCharsetNamesAKnownCodePage) {
  struct Row {
    std::string line;
    std::string charset;
    bool inText;
    std::string console;
  } rows[] = {
      {"REMOTE_CHARSET cp866", "cp866", false, ""},
      {"REMOTE_CHARSET KOI8-R text", "KOI8-R", true, ""},
      {"REMOTE_CHARSET", "", false, ""},
      {"REMOTE_CHARSET no-such-page", "", false,
       "! STAMP   Unknown code page in REMOTE_CHARSET (no-such-page). Ignoring..\n"},
  };
  for (const Row& row : rows) {
    ConfigRun run(row.line);
    EXPECT_EQ(run.settings.REMOTE_CHARSET, row.charset) << row.line;
    EXPECT_EQ(run.settings.remoteCharsetInText, row.inText) << row.line;
    EXPECT_EQ(run.Console(), row.console) << row.line;
  }
  ConfigRun failures("MAKESTAT_FAILURES YES\nFAILURES_TEMPLATE f.tpl\nFAILURES_FILE f.html");
  EXPECT_TRUE(failures.settings.MAKESTAT_FAILURES);
  EXPECT_EQ(failures.settings.FAILURES_TEMPLATE, "f.tpl");
  EXPECT_EQ(failures.settings.FAILURES_FILE, "f.html");
}

TEST(MainConfig, ChangeRules) {
  ConfigRun run(
      "CHANGE U \"FidoNet\" \"FN\"\nCHANGE a \"x\" \"\"\nCHANGE U \"only\" \"three\n"
      "CHANGE X \"a\" \"b\"");
  ASSERT_EQ(run.settings.ChangeTable.size(), 2u);
  EXPECT_TRUE(run.settings.ChangeTable[0].caseInsensitive);
  EXPECT_EQ(run.settings.ChangeTable[0].search, "FidoNet");
  EXPECT_EQ(run.settings.ChangeTable[0].replacement, "FN");
  EXPECT_FALSE(run.settings.ChangeTable[1].caseInsensitive);
  EXPECT_EQ(run.settings.ChangeTable[1].replacement, "");
  EXPECT_EQ(run.Console(), "! STAMP Config file error in line 4\n");
  ConfigRun longer("CHANGE A \"" + std::string(90, 's') + "\" \"" + std::string(90, 'r') + "\"");
  EXPECT_EQ(longer.settings.ChangeTable[0].search.size(), 80u);
  EXPECT_EQ(longer.settings.ChangeTable[0].replacement.size(), 80u);
}

TEST(MainConfig, FileAliases) {
  ConfigRun run("FILE_ALIAS \"Nodelists\" *.nl? nodelist.*\nFILE_ALIAS \"Docs\"   *.txt   *.doc");
  ASSERT_EQ(run.settings.FileAliasTable.size(), 2u);
  EXPECT_EQ(run.settings.FileAliasTable[0].name, "Nodelists");
  EXPECT_EQ(run.settings.FileAliasTable[0].masks, (std::vector<std::string>{".nl", "nodelist."}));
  EXPECT_EQ(run.settings.FileAliasTable[1].masks, (std::vector<std::string>{".txt", ".doc"}));
}

// Every table keeps its capacity: the surplus is refused with the line's number.
TEST(MainConfig, TablesNeverGrowBeyondCapacity) {
  struct Row {
    std::string line;
    size_t capacity;
    std::function<size_t(const Settings&)> size;
  };
  const Row rows[] = {
      {"EXCLUDE_FROM_PHONE 8-800", kExcludePhoneCapacity,
       [](auto& s) { return s.ExcludePhoneList.size(); }},
      {"CHANGE A \"a\" \"b\"", kChangeCapacity, [](auto& s) { return s.ChangeTable.size(); }},
      {"STAT all.out SES", kSingleFileCapacity, [](auto& s) { return s.SingleFileTable.size(); }},
      {"FILE_ALIAS \"n\" *.zip", kFileAliasCapacity,
       [](auto& s) { return s.FileAliasTable.size(); }},
  };
  for (const Row& row : rows) {
    std::string text;
    for (size_t i = 0; i <= row.capacity; ++i) text += row.line + "\n";
    ConfigRun run(text);
    EXPECT_EQ(row.size(run.settings), row.capacity) << row.line;
    EXPECT_EQ(run.Console(),
              "! STAMP Config file error in line " + std::to_string(row.capacity + 1) + "\n")
        << row.line;
  }

  // Lines are cut at 255 characters, but definitions expand beyond that.
  std::string masks, codes;
  for (int i = 0; i < 101; ++i) masks += " m";
  for (int i = 0; i < 60; ++i) codes += "TR+";
  ConfigRun items("FILE_ALIAS \"many\"" + masks + "\nDEFINE C " + codes +
                  "\nSTAT all.out %C%%C%TR");
  EXPECT_EQ(items.settings.FileAliasTable[0].masks.size(), kFileAliasMaskCapacity);
  EXPECT_EQ(items.settings.SingleFileTable[0].codes.size(), kSingleFileCodeCapacity);
  EXPECT_EQ(items.Console(),
            "! STAMP Config file error in line 1\n! STAMP Config file error in line 3\n");
}

TEST(MainConfig, UnknownKeywordsAndLineNumbers) {
  ConfigRun run("; comment\n\n   \nFOO bar\nnoblank\n\tBAR baz\nCUTFILE onlyoneword");
  EXPECT_EQ(run.Console(),
            "! STAMP Config file error in line 4\n"
            "! STAMP Config file error in line 6\n"
            "! STAMP Config file error in line 7\n");
}

TEST(MainConfig, LogFormat) {
  ConfigRun good("LOG_FORMAT #i #d #m #h:#n:#s #p #q");
  EXPECT_EQ(good.stopStatus, -1);
  EXPECT_EQ(good.settings.logFormat, LogFormat::kMailer);
  // binkd's log in any case, and no language file to ask for.
  ConfigRun binkd("LOG_FORMAT bInKd\nMAILER_CFG binkd.conf\n", /*complete=*/false);
  EXPECT_EQ(binkd.stopStatus, -1);
  EXPECT_EQ(binkd.settings.logFormat, LogFormat::kBinkd);
  ConfigRun bad("LOG_FORMAT #d #m #i");
  EXPECT_EQ(bad.stopStatus, 1);
  EXPECT_EQ(bad.Console(),
            "! STAMP Unsupported log format (#d #m #i)\n"
            "! STAMP Supported only DEFAULT (#i #d #m #h:#n:#s #p #q)\n"
            "! STAMP    or binkd for binkd's log (LOG_FORMAT binkd), with nothing after it on the "
            "line, not even a comment\n");
}

TEST(MainConfig, EndOfFileChecks) {
  struct Row {
    const char* text;
    int status;
    const char* console;
  };
  const Row rows[] = {
      {"LNGFILE e.lng", 1, "! STAMP There is no mailer.cfg in config...\n"},
      {"SYSOP s\nSTATION st\nADDRESS 2:1/1\nLNGFILE e.lng", 1,
       "! STAMP There is no mailer.cfg in config...\n"},
      {"SYSOP s\nSTATION st\nADDRESS 2:1/1\nLOG m.log\nLNGFILE e.lng", -1, ""},
      {"MAILER_CFG m.cfg", 1, "! STAMP There is no language file in config...\n"},
      {"MAILER_CFG m.cfg\nLNGFILE e.lng", -1, ""},
  };
  for (const Row& row : rows) {
    ConfigRun run(row.text, false);
    EXPECT_EQ(run.stopStatus, row.status) << row.text;
    EXPECT_EQ(run.Console(), row.console) << row.text;
  }
}

TEST(MainConfig, GraphicWindow) {
  struct Row {
    const char* text;
    int32_t start;
    int32_t end;
  };
  const int32_t h = 3600;
  const Row rows[] = {
      {"", 0, 0},
      {"TIME 0.08:00-0.20:00", 8 * h, 20 * h},
      {"TIME 1.22:00-0.06:00", 22 * h, 6 * h},
      {"TIME 1.06:00-0.22:00", 22 * h, 22 * h},
      {"TIME 3.06:00-0.22:00", 22 * h, 22 * h},
      {"TIME 1.22:00-0.06:00\nGRAPHIC_TIME 12:00-05:00", 22 * h, 5 * h},
      {"TIME 1.22:00-0.06:00\nGRAPHIC_TIME 23:00-07:00", 23 * h, 6 * h},
      {"TIME 0.08:00-0.20:00\nGRAPHIC_TIME 10:00-12:00", 10 * h, 12 * h},
      {"TIME 0.08:00-0.20:00\nGRAPHIC_TIME 07:00-21:00", 8 * h, 20 * h},
      {"TIME 1.06:00-0.22:00\nGRAPHIC_TIME 05:00-23:00", 6 * h, 22 * h},
      {"TIME 3.06:00-0.22:00\nGRAPHIC_TIME 05:00-23:00", 5 * h, 22 * h},
      // Days back at the ends of the 32-bit range are far apart, never one night.
      {"TIME 2.06:00--99999999999.22:00", 22 * h, 22 * h},
      {"TIME 2147483647.22:00--2147483648.06:00", 6 * h, 6 * h},
      {"TIME -2147483647.22:00--2147483648.06:00", 22 * h, 6 * h},
  };
  for (const Row& row : rows) {
    ConfigRun run(row.text);
    EXPECT_EQ(run.settings.graphicStart, row.start) << row.text;
    EXPECT_EQ(run.settings.graphicEnd, row.end) << row.text;
    EXPECT_EQ(run.Console(), "") << row.text;
  }
  ConfigRun bad("TIME 0.08:00-0.20:00\nGRAPHIC_TIME 10:00");
  EXPECT_EQ(bad.settings.graphicStart, 8 * h);
  EXPECT_EQ(bad.Console(), "! STAMP Wrong graph time. Got time: 08:00:00-20:00:00\n");
  ConfigRun late("GRAPHIC_TIME 10:00-25:00");
  EXPECT_EQ(late.Console(), "! STAMP Wrong graph time. Got time: 00:00:00-00:00:00\n");
}

// Lines put together from keywords and awkward characters never crash the
// reader or overfill a table, whatever they stop or skip.
TEST(MainConfig, ArbitraryLinesKeepTheTablesBounded) {
  const char* pieces[] = {
      "CHANGE",  "FILE_ALIAS", "STAT", "TIME", "ALIAS", "DEFINE", "OUTPUT", "GRAPHIC_TIME",
      "CUT_LOG", "LINE",       " ",    " ",    "\"",    ";",      "%X%",    "-",
      ".",       ":",          "+",    "!",    "*",     "U",      "A",      "25",
      "1",       "\t",         "@"};
  uint32_t seed = 7;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int round = 0; round < 300; ++round) {
    std::string text = "DEFINE X A\n";
    for (int line = 0; line < 20; ++line) {
      for (uint32_t n = next() % 12; n > 0; --n) text += pieces[next() % std::size(pieces)];
      text += "\n";
    }
    ConfigRun run(text);
    EXPECT_LE(run.settings.ChangeTable.size(), kChangeCapacity);
    EXPECT_LE(run.settings.FileAliasTable.size(), kFileAliasCapacity);
    EXPECT_LE(run.settings.LINE.size(), 10u);
  }
}

TEST(MainConfig, ReadsAFileOrStopsTheRun) {
  TempDir dir;
  TestConsole tc;
  TestPlatform platform;
  Settings settings = SetDefaults();
  std::string path = dir.File("zentrak.cfg");
  try {
    ReadMainConfig(path, settings, tc.console, platform);
    ADD_FAILURE() << "a missing file must stop the run";
  } catch (const RunStop& stop) {
    EXPECT_EQ(stop.exitStatus, 1);
  }
  EXPECT_EQ(tc.Masked(), "! STAMP Unable to open config file (" + path +
                             ")\n! STAMP No such file or directory\n");

  tc.Clear();
  testing::WriteFile(path, "MAILER_CFG m.cfg\r\nLNGFILE e.lng\r\nSYSOP A B\r\n");
  ReadMainConfig(path, settings, tc.console, platform);
  EXPECT_EQ(tc.Masked(), "% STAMP Reading config file (" + path + ")\n");
  EXPECT_EQ(settings.SYSOP, "A B");
  EXPECT_EQ(settings.LNGFILE, "e.lng");
}

}  // namespace
}  // namespace zentrak
