#include "config/binkd_config.h"

#include <gtest/gtest.h>

#include "config/mailer_config.h"
#include "console/run_stop.h"
#include "test_support.h"

namespace zentrak {
namespace {

TEST(BinkdConfig, WordsQuotesAndComments) {
  struct Row {
    std::string line;
    std::vector<std::string> words;
  } rows[] = {
      {"address 2:5020/1@fidonet\t2:5020/1.1@fidonet",
       {"address", "2:5020/1@fidonet", "2:5020/1.1@fidonet"}},
      {"sysname \"Blue Box\" # the name", {"sysname", "Blue Box"}},
      {"  # only a comment", {}},
      {"sysop \"open quote", {"sysop", "open quote"}},
      {"log c:/binkd/binkd.log#x", {"log", "c:/binkd/binkd.log"}},
  };
  for (const Row& row : rows) EXPECT_EQ(BinkdConfigWords(row.line), row.words) << row.line;
}

// Zentrak's own lines come first; binkd.conf then names the station, and its
// log fills LOG only when Zentrak's configuration left it empty.
TEST(BinkdConfig, StationAddressLogAndIncludes) {
  testing::TempDir dir;
  testing::TestPlatform platform;
  testing::WriteFile(dir.File("binkd.conf"),
                     "domain fidonet /spool/out 2\n"
                     "address 5020/9999@fidonet 2:5020/9999.1@fidonet\n"
                     "sysname \"Blue Box\"\n"
                     "include nodes.inc\n"
                     "log binkd.log\n"
                     "loglevel 4\n");
  testing::WriteFile(dir.File("nodes.inc"),
                     "sysop Ivan Example\naddress 2:5020/1@fidonet\nlog older.log\n");
  for (bool ownLog : {false, true}) {
    testing::TestConsole tc;
    Settings settings = SetDefaults();
    settings.logFormat = LogFormat::kBinkd;
    settings.MAILER_CFG = dir.File("binkd.conf");
    settings.SYSOP = "From zentrak.cfg";
    if (ownLog) settings.LOG = "mine.log";
    ReadMailerConfig(settings, tc.console, platform);
    EXPECT_EQ(settings.ADDRESS, "2:5020/9999");
    EXPECT_EQ(settings.STATION, "Blue Box");
    EXPECT_EQ(settings.SYSOP, "Ivan Example");
    EXPECT_EQ(settings.LOG, ownLog ? "mine.log" : dir.File("binkd.log"));
    EXPECT_EQ(tc.Masked(), "% STAMP Reading mailer cfg file (" + dir.File("binkd.conf") +
                               ")\n% STAMP Reading mailer cfg file (" + dir.File("nodes.inc") +
                               ")\n");
  }
}

TEST(BinkdConfig, IncludeLoopAndMissingLog) {
  testing::TempDir dir;
  testing::TestPlatform platform;
  testing::WriteFile(dir.File("loop.conf"), "include loop.conf\n");
  testing::TestConsole tc;
  Settings settings = SetDefaults();
  settings.logFormat = LogFormat::kBinkd;
  settings.MAILER_CFG = dir.File("loop.conf");
  int status = -1;
  try {
    ReadMailerConfig(settings, tc.console, platform);
  } catch (const RunStop& stop) {
    status = stop.exitStatus;
  }
  EXPECT_EQ(status, 1);
  std::string console = tc.Masked();
  EXPECT_NE(console.find("! STAMP Too deep includes in mailer cfg file"), std::string::npos);
  EXPECT_TRUE(console.ends_with("! STAMP There is no log file in config..\n")) << console;
}

// Includes that loop through another file, go past the depth bound, name the
// same file twice or a missing one: each file is read at most once, and the
// run goes on with binkd.conf's own lines.
TEST(BinkdConfig, IncludesThatAreLoopsRepeatsOrMissing) {
  testing::TempDir dir;
  testing::TestPlatform platform;
  testing::WriteFile(dir.File("binkd.conf"),
                     "address 2:5020/1984@fidonet\ninclude a.conf\ninclude a.conf\n"
                     "include gone.conf\ninclude c1.conf\nlog binkd.log\n");
  testing::WriteFile(dir.File("a.conf"), "include b.conf\n");
  testing::WriteFile(dir.File("b.conf"), "include a.conf\nsysop Loop Sysop\n");
  for (int k = 1; k <= 9; ++k) {
    testing::WriteFile(dir.File("c" + std::to_string(k) + ".conf"),
                       "include c" + std::to_string(k + 1) + ".conf\n");
  }
  testing::TestConsole tc;
  Settings settings = SetDefaults();
  settings.logFormat = LogFormat::kBinkd;
  settings.MAILER_CFG = dir.File("binkd.conf");
  ReadMailerConfig(settings, tc.console, platform);
  EXPECT_EQ(settings.SYSOP, "Loop Sysop");
  EXPECT_EQ(settings.ADDRESS, "2:5020/1984");
  EXPECT_TRUE(tc.console.AnythingUnwritten());
  std::string console = tc.Masked();
  auto count = [&](const std::string& text) {
    size_t n = 0;
    for (size_t at = console.find(text); at != std::string::npos; at = console.find(text, at + 1)) {
      ++n;
    }
    return n;
  };
  EXPECT_EQ(count("Reading mailer cfg file (" + dir.File("a.conf") + ")"), 1u) << console;
  EXPECT_EQ(count("! STAMP Too deep includes in mailer cfg file (" + dir.File("b.conf") + ")"), 1u);
  EXPECT_EQ(count("! STAMP Too deep includes in mailer cfg file (" + dir.File("c7.conf") + ")"),
            1u);
  EXPECT_EQ(count("Reading mailer cfg file (" + dir.File("c8.conf") + ")"), 0u);
  EXPECT_EQ(
      count("! STAMP Include file " + dir.File("gone.conf") + " of " + dir.File("binkd.conf") +
            " cannot be read and is skipped\n! STAMP No such file or directory\n"),
      1u);
}

}  // namespace
}  // namespace zentrak
