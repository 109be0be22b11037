#include "config/mailer_config.h"

#include <gtest/gtest.h>

#include "console/run_stop.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::TempDir;
using testing::TestConsole;

struct MailerRun {
  MailerRun(const std::string& text, Settings start = SetDefaults()) : settings(std::move(start)) {
    LineReader lines(text);
    try {
      ReadMailerConfigLines(lines, settings, tc.console, '/');
    } catch (const RunStop& stop) {
      stopStatus = stop.exitStatus;
    }
  }
  TestConsole tc;
  Settings settings;
  int stopStatus = -1;
};

Settings WithLine(const std::string& line, const std::string& mailerCfg = "") {
  Settings s = SetDefaults();
  s.LINE = line;
  s.MAILER_CFG = mailerCfg;
  return s;
}

TEST(MailerConfig, LineSyntax) {
  MailerRun run(
      " sysop   John Smith ; comment\n"
      "\tStation\tBlue\tBox\t\n"
      "ADDRESS ;no value\n"
      "ADDRESS\n"
      "; ADDRESS 9:9/9\n"
      "ADDRESS 2:5020/1984\n"
      "Modem ATZ\n"
      "LOG /var/log/m.log\n");
  EXPECT_EQ(run.settings.SYSOP, "John Smith");
  EXPECT_EQ(run.settings.STATION, "Blue Box");
  EXPECT_EQ(run.settings.ADDRESS, "2:5020/1984");
  EXPECT_EQ(run.tc.Masked(), "");
  EXPECT_EQ(MailerRun("SYSOP " + std::string(100, 's') + "\nLOG x").settings.SYSOP.size(), 80u);
}

TEST(MailerConfig, LinePrefixesSelectTheMailerLine) {
  struct Row {
    std::string line;
    std::string text;
    std::string wantLog;
  };
  const Row rows[] = {
      {"2", "[2] LOG /m/line2.log\n[1] LOG /m/line1.log", "/m/line2.log"},
      {"2", "[1] LOG /m/line1.log\n[2] LOG /m/line2.log", "/m/line2.log"},
      {"ab", "[AB] LOG /m/ab.log", "/m/ab.log"},
      {"2", "[2 LOG /m/open.log", "/m/open.log"},
      {"2", "[2]   log   /m/spaced.log ; comment", "/m/spaced.log"},
      {"1", "[2] LOG /m/2.log\nLOG /m/all.log", "/m/all.log"},
  };
  for (const Row& row : rows) {
    MailerRun run(row.text, WithLine(row.line));
    EXPECT_EQ(run.settings.LOG, row.wantLog) << row.text;
  }
  MailerRun other("[1] SYSOP Not Us\n[2] SYSOP Us\nLOG /x", WithLine("2"));
  EXPECT_EQ(other.settings.SYSOP, "Us");
}

TEST(MailerConfig, LogPathRules) {
  struct Row {
    Settings start;
    std::string text;
    std::string want;
  };
  Settings mainLog = SetDefaults();
  mainLog.LOG = "/main/given.log";
  const Row rows[] = {
      {WithLine("", "/etc/mailer/mailer.cfg"), "LOG mailer.log", "/etc/mailer/mailer.log"},
      {WithLine("", "mailer.cfg"), "LOG mailer.log", "mailer.log"},
      {WithLine("", "/etc/mailer/mailer.cfg"), "LOG logs/m.log", "logs/m.log"},
      {WithLine("", "/etc/m.cfg"), "LOG /a.log\nLOG /b.log", "/a.log"},
      {mainLog, "LOG /a.log", "/main/given.log"},
      {WithLine("", "/etc/m.cfg"), "DEFINE D /fido\nLOG %D%/m.log", "/fido/m.log"},
  };
  for (const Row& row : rows) {
    MailerRun run(row.text, row.start);
    EXPECT_EQ(run.settings.LOG, row.want) << row.text;
  }
}

TEST(MailerConfig, AliasesAndDefines) {
  MailerRun run(
      "ADDRESS 2:5020/100\n"
      "ALIAS /200 Boss\n"
      "ALIAS 300 Hub\n"
      "ALIAS 1:1/1 Far Away\n"
      "ALIAS lonely\n"
      "DEFINE NODE 400\n"
      "DEFINE SELF %NODE%.1\n"
      "ALIAS %SELF% My %NODE%\n"
      "SYSOP %NODE%\n"
      "LOG /l");
  EXPECT_EQ(run.settings.AliasList,
            (std::vector<std::string>{"Boss=2:5020/200", "Hub=2:5020/300", "Far Away=1:1/1",
                                      "My %NODE%=2:5020/400.1"}));
  EXPECT_EQ(run.settings.SYSOP, "400");
  EXPECT_EQ(run.settings.DefineList, (std::vector<std::string>{"%NODE%=400", "%SELF%=400.1"}));
}

TEST(MailerConfig, FatalErrors) {
  MailerRun format("LOG_FORMAT #i #d #m #h:#n:#s #p #q ; default\nLOG /l");
  EXPECT_EQ(format.stopStatus, -1);
  MailerRun bad("DEFINE F #d\nLOG_FORMAT %F% #i");
  EXPECT_EQ(bad.stopStatus, 1);
  EXPECT_EQ(bad.tc.Masked(),
            "! STAMP Unsupported log format (#d #i)\n"
            "! STAMP Supported only DEFAULT (#i #d #m #h:#n:#s #p #q)\n"
            "! STAMP    or binkd for binkd's log (LOG_FORMAT binkd), with nothing after it on the "
            "line, not even a comment\n");
  MailerRun noLog("SYSOP x");
  EXPECT_EQ(noLog.stopStatus, 1);
  EXPECT_EQ(noLog.tc.Masked(), "! STAMP There is no log file in config..\n");
}

TEST(MailerConfig, ReadsTheNamedFile) {
  TempDir dir;
  TestConsole tc;
  Settings settings = SetDefaults();
  settings.MAILER_CFG = dir.File("mailer.cfg");
  try {
    ReadMailerConfig(settings, tc.console, NativePlatform());
    ADD_FAILURE() << "a missing file must stop the run";
  } catch (const RunStop& stop) {
    EXPECT_EQ(stop.exitStatus, 1);
  }
  EXPECT_EQ(tc.Masked(), "! STAMP Unable to open mailer cfg file (" + settings.MAILER_CFG +
                             ")\n! STAMP No such file or directory\n");
  tc.Clear();
  testing::WriteFile(settings.MAILER_CFG, "LOG mailer.log\r\n");
  // The test platform's "/" on every host, as the temporary folder's path has it.
  testing::TestPlatform platform;
  ReadMailerConfig(settings, tc.console, platform);
  EXPECT_EQ(tc.Masked(), "% STAMP Reading mailer cfg file (" + settings.MAILER_CFG + ")\n");
  EXPECT_EQ(settings.LOG, dir.File("mailer.log"));
}

}  // namespace
}  // namespace zentrak
