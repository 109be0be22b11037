#include "app/run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "app/quiet_output.h"
#include "test_support.h"

namespace zentrak {
namespace {

std::string MaskClock(const std::string& text) {
  static const std::regex kClock("([0-9]{2} [A-Z][a-z]{2}) [0-9]{2}:[0-9]{2}:[0-9]{2}");
  return std::regex_replace(text, kClock, "$1 HH:MM:SS");
}

TEST(Run, QuestionMarkPrintsTheSyntaxLineOnly) {
  for (std::string argument : {"/?", "-?", "a?b"}) {
    testing::TestPlatform platform;
    std::ostringstream out;
    EXPECT_EQ(zentrak::Run({"zentrak", argument}, platform, out), 0);
    EXPECT_EQ(MaskClock(out.str()),
              "% 07 Dec HH:MM:SS Zentrak 2.7.2-20030225 /LNX by Quillorn started\n"
              "* Syntax: zentrak [config_file]   (default = zentrak.cfg)\n"
              "* Without config_file: zentrak.cfg beside the program\n");
  }
}

TEST(Run, HelpAndVersionPrintNoBanner) {
  testing::TestPlatform platform;
  std::ostringstream out;
  EXPECT_EQ(zentrak::Run({"zentrak", "--version", "missing.cfg"}, platform, out), 0);
  EXPECT_EQ(out.str(), "Zentrak 2.7.2-20030225 /LNX\n");
  out.str("");
  EXPECT_EQ(zentrak::Run({"zentrak", "-h"}, platform, out), 0);
  EXPECT_EQ(out.str().rfind("Usage: zentrak [options] [--] [config_file]\n", 0), 0u);
}

TEST(Run, UnknownOptionIsAnErrorWithTheSyntaxLineEvenWhenQuiet) {
  testing::TestPlatform platform;
  std::ostringstream out;
  EXPECT_EQ(zentrak::Run({"zentrak", "-q", "--chek", "my.cfg"}, platform, out), 1);
  EXPECT_EQ(MaskClock(out.str()),
            "% 07 Dec HH:MM:SS Zentrak 2.7.2-20030225 /LNX by Quillorn started\n"
            "! 07 Dec HH:MM:SS Unknown option (--chek)\n"
            "* Syntax: zentrak [config_file]   (default = zentrak.cfg)\n"
            "* Without config_file: zentrak.cfg beside the program\n");
}

TEST(Run, QuietRunPrintsOnlyTheErrorLines) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("zentrak.cfg"), "ALIAS 2:5020/1 ! Boss\nSYSOP x\n");
  testing::TestPlatform platform;
  std::ostringstream out;
  EXPECT_EQ(zentrak::Run({"zentrak", dir.File("zentrak.cfg"), "--quiet"}, platform, out), 1);
  // The alias dump is bare, even for an alias named like a warning.
  EXPECT_EQ(MaskClock(out.str()), "! 07 Dec HH:MM:SS There is no mailer.cfg in config...\n");
}

TEST(QuietOutput, TellsStampedWarningsFromOtherLines) {
  EXPECT_TRUE(IsStampedWarning("! 07 Dec 10:43:09 Unable to open config file (x)\n"));
  EXPECT_FALSE(IsStampedWarning("% 07 Dec 10:43:09 Zentrak started\n"));
  EXPECT_FALSE(IsStampedWarning("! Boss=2:5020/1\n"));
  EXPECT_FALSE(IsStampedWarning("! 07 Dec\n"));
}

TEST(Run, ProgramDirEndsInTheSeparator) {
  EXPECT_EQ(ProgramDirOf("/opt/zentrak/zentrak", '/'), "/opt/zentrak/");
  EXPECT_EQ(ProgramDirOf("c:\\fido\\zentrak.exe", '\\'), "c:\\fido\\");
  EXPECT_EQ(ProgramDirOf("zentrak", '/'), "");
}

// Whatever another run holds (here: this process, through a second lock),
// the run stops with status 1 before it writes anything, and says what is busy.
TEST(Run, StopsWhenItsConfigOutputOrLogIsBusy) {
  testing::TempDir dir;
  std::string out = dir.File("out");
  testing::TestPlatform platform;
  ASSERT_TRUE(std::filesystem::create_directory(out));
  testing::WriteFile(dir.File("mailer.log"), "");
  testing::WriteFile(dir.File("zentrak.cfg"), "SYSOP S\nSTATION T\nADDRESS 2:5020/1\nLOG " +
                                                  dir.File("mailer.log") + "\nLNGFILE " +
                                                  dir.File("none.lng") + "\nOUTPUT " + out + "\n");
  struct Row {
    std::string locked;
    std::string message;
  };
  const Row rows[] = {
      {dir.File("zentrak.cfg"), "config file (" + dir.File("zentrak.cfg") + ")"},
      {out, "output folder (" + out + "/)"},
      {dir.File("mailer.log"), "log file (" + dir.File("mailer.log") + ")"},
  };
  for (const Row& row : rows) {
    LockAttempt other = platform.TryLock(row.locked);
    ASSERT_EQ(other.outcome, LockOutcome::kHeld) << row.locked;
    std::ostringstream console;
    EXPECT_EQ(zentrak::Run({"zentrak", dir.File("zentrak.cfg")}, platform, console), 1);
    std::string text = MaskClock(console.str());
    EXPECT_NE(text.find("! 07 Dec HH:MM:SS Another run is using the " + row.message + "\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("language file"), std::string::npos) << text;
  }
  // Once nothing is held the run gets as far as the language file.
  std::ostringstream console;
  zentrak::Run({"zentrak", dir.File("zentrak.cfg")}, platform, console);
  EXPECT_NE(console.str().find("language file"), std::string::npos) << console.str();
}

// What a sysop meets when binkd.conf and Zentrak's configuration do not agree
// yet: each row a whole run, the lines it must print and those it must not.
TEST(Run, MessagesThatPointTheWay) {
  testing::TempDir dir;
  const std::string conf = dir.File("binkd.conf");
  const std::string cfg = dir.File("zentrak.cfg");
  const std::string session =
      "+ 06 Dec 03:12:01 [4711] call to 2:5020/52@fidonet\n"
      "+ 06 Dec 03:12:03 [4711] addr: 2:5020/52@fidonet\n"
      "+ 06 Dec 03:12:06 [4711] done (to 2:5020/52@fidonet, OK, S/R: 0/0 (0/0 bytes))\n";
  const std::string quiet =
      "MAKESTAT_SESSIONS NO\nMAKESTAT_LINKS NO\nMAKESTAT_SYSOPS NO\nMAKESTAT_CPS NO\n"
      "MAKESTAT_TRAFFIC NO\nMAKESTAT_TIME NO\nMAKESTAT_MAILERS NO\nMAKESTAT_FILES NO\n"
      "MAKESTAT_HISTOGRAM NO\nMAKESTAT_GRAPHIC NO\nMAKESTAT_SUMMARY NO\nMAKESTAT_DISK NO\n"
      "MAKESTAT_LASTCALL NO\nTIME 1.00:00-0.00:00\nHISTFILE " +
      dir.File("lastcall.bin") + "\n";
  const std::string binkdConf = "sysname \"Blue Box\"\nsysop Alex\nlog " + dir.File("binkd") + "\n";
  const std::string binkd = "LOG_FORMAT binkd\nMAILER_CFG " + conf + "\n" + quiet;
  const std::string addBinkd = "! 07 Dec HH:MM:SS The mailer cfg file (" + conf +
                               ") reads as binkd.conf: add the line LOG_FORMAT binkd to the "
                               "config file";
  const std::string allowed =
      "! 07 Dec HH:MM:SS Supported only DEFAULT (#i #d #m #h:#n:#s #p #q)\n"
      "! 07 Dec HH:MM:SS    or binkd for binkd's log (LOG_FORMAT binkd), with nothing after it "
      "on the line, not even a comment";
  struct Row {
    const char* what;
    std::string config, binkdConf, log;  // no binkd.conf when its text is empty
    int status;
    std::vector<std::string> lines, absent;
  };
  const Row rows[] = {
      {"binkd.conf as the mailer's, no language file",
       "MAILER_CFG " + conf + "\n" + quiet,
       binkdConf,
       session,
       1,
       {addBinkd},
       {"language file"}},
      {"binkd.conf as the mailer's, a language file",
       "MAILER_CFG " + conf + "\nLNGFILE " + dir.File("e.lng") + "\n" + quiet,
       binkdConf,
       session,
       1,
       {addBinkd},
       {"language file"}},
      {"a typo",
       "LOG_FORMAT binkp\n" + quiet,
       binkdConf,
       session,
       1,
       {"! 07 Dec HH:MM:SS Unsupported log format (binkp)\n" + allowed},
       {"two log formats"}},
      {"a comment after the value",
       "LOG_FORMAT binkd ; binkd's own\n" + quiet,
       binkdConf,
       session,
       1,
       {"! 07 Dec HH:MM:SS Unsupported log format (binkd )\n" + allowed},
       {}},
      {"a configuration that is not there",
       binkd,
       "",
       session,
       1,
       {"! 07 Dec HH:MM:SS Unable to open mailer cfg file (" + conf +
        ")\n! 07 Dec HH:MM:SS No such file or directory"},
       {}},
      {"an include that cannot be read",
       binkd,
       "address 2:5020/1984@fidonet\ninclude nodes.conf\n" + binkdConf,
       session,
       2,
       {"! 07 Dec HH:MM:SS Include file " + dir.File("nodes.conf") + " of " + conf +
            " cannot be read and is skipped\n! 07 Dec HH:MM:SS No such file or directory",
        "% 07 Dec HH:MM:SS Zentrak 2.7.2-20030225 /LNX by Quillorn ended"},
       {}},
      {"a short alias before binkd.conf names the address",
       "ALIAS /52 Hub\n" + binkd,
       "address 2:5020/1984@fidonet\n" + binkdConf,
       session,
       0,
       {"Hub=2:5020/52\nHub   2:5020/52"},
       {}},
      {"a short alias that nothing completes",
       "ALIAS 52 Hub\n" + binkd,
       binkdConf,
       session,
       0,
       {"! 07 Dec HH:MM:SS Short address 52 of ALIAS Hub left as written: the station's own "
        "ADDRESS is not known\n"},
       {}},
  };
  for (const Row& row : rows) {
    std::filesystem::remove(conf);
    if (!row.binkdConf.empty()) testing::WriteFile(conf, row.binkdConf);
    testing::WriteFile(cfg, row.config);
    testing::WriteFile(dir.File("binkd"), row.log);
    testing::TestPlatform platform;
    std::ostringstream out;
    EXPECT_EQ(zentrak::Run({"zentrak", cfg}, platform, out), row.status) << row.what;
    std::string text = MaskClock(out.str());
    for (const std::string& line : row.lines) {
      EXPECT_NE(text.find(line), std::string::npos) << row.what << "\n" << text;
    }
    for (const std::string& line : row.absent) {
      EXPECT_EQ(text.find(line), std::string::npos) << row.what << "\n" << text;
    }
  }
}

TEST(EndRun, NormalEndPrintsBannerActiveTimeAndAliases) {
  testing::TestPlatform platform;
  std::ostringstream out;
  RunContext run(platform, out);
  run.runStartSecond = 23 * 3600 + 59 * 60 + 50;
  platform.clock.Set(LocalTime{2026, 12, 8, 0, 0, 5});
  run.settings.AliasList = {"Boss=2:5020/200", "Hub=2:5020/300"};
  EndRun(run, false);
  EXPECT_EQ(out.str(),
            "% 08 Dec 00:00:05 Zentrak 2.7.2-20030225 /LNX by Quillorn ended\n"
            "% 08 Dec 00:00:05 Active time: 00:00:15\n"
            "Boss=2:5020/200\nBoss   2:5020/200\nHub=2:5020/300\nHub   2:5020/300\n");
}

TEST(EndRun, AbnormalEndPrintsOnlyTheAliasDump) {
  testing::TestPlatform platform;
  std::ostringstream out;
  RunContext run(platform, out);
  run.settings.AliasList = {"Boss=2:5020/200"};
  EndRun(run, true);
  EXPECT_EQ(out.str(), "Boss=2:5020/200\nBoss   2:5020/200\n");
}

}  // namespace
}  // namespace zentrak
