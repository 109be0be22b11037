// Which files of a rotated log a window needs, in which order they are read,
// and what the console says of the parts no file holds.
#include "log/log_source.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace zentrak {
namespace {

std::string Day(const char* day) { return "+ " + std::string(day) + " 10:00:00 [1] line\n"; }

TEST(LogSource, FindsTheRotatedSiblingsNewestFirst) {
  testing::TempDir dir;
  for (const char* name :
       {"binkd", "binkd.1", "binkd.2.gz", "binkd.2", "binkd.10.gz", "binkd.3.xz", "binkd.old",
        "binkd.1x", "binkdx.1", "binkd-20261201.gz", "binkd-20261124", "other.1"}) {
    testing::WriteFile(dir.File(name), "");
  }
  std::string got;
  for (const LogPart& part : RotatedSiblings(dir.File("binkd"), NativePlatform())) {
    got += part.path.substr(part.path.rfind('/') + 1) + " ";
  }
  EXPECT_EQ(got, "binkd.1 binkd.2 binkd.3.xz binkd.10.gz binkd-20261201.gz binkd-20261124 ");
}

struct Opened {
  std::string text;
  std::string console;
  bool unwritten = false;
};

// The source for a window of 04 Dec to 06 Dec (today 07 Dec), read whole.
Opened Open(testing::TempDir& dir, const LogPeriod& period = {338, 340, 0, 86399}) {
  testing::TestConsole console;
  std::unique_ptr<LogSource> source =
      OpenLogSource(dir.File("binkd"), {period.firstDay, period.startTime}, period,
                    testing::kTestToday, console.console, NativePlatform());
  Opened out;
  if (!source) return out;
  char buffer[7];
  while (size_t got = source->Read(buffer, sizeof buffer)) out.text.append(buffer, got);
  source->ReportCompressed(console.console);
  out.console = console.Masked();
  out.unwritten = console.console.AnythingUnwritten();
  return out;
}

TEST(LogSource, InstantsAsTheConsoleWritesThem) {
  EXPECT_EQ(InstantText({340, 86399}, testing::kTestToday), "06 Dec 23:59:59");
  EXPECT_EQ(InstantText({0, 0}, testing::kTestToday), "31 Dec 00:00:00");
}

TEST(LogSource, ReadsTheFilesTheWindowNeedsOldestFirst) {
  struct Row {
    std::string name;
    std::vector<std::pair<std::string, std::string>> files;
    std::string text;
    std::string said;  // the console without the "Reading" lines
    bool unwritten;
  } rows[] = {
      {"live file enough",
       {{"binkd", Day("03 Dec") + Day("05 Dec")}, {"binkd.1", Day("01 Dec")}},
       Day("03 Dec") + Day("05 Dec"),
       "",
       false},
      {"just rotated",
       {{"binkd", ""},
        {"binkd.1", Day("03 Dec") + Day("06 Dec")},
        {"binkd.2.gz", testing::Gzip(Day("01 Dec"))}},
       Day("03 Dec") + Day("06 Dec"),
       "",
       false},
      {"through gzip, a last line without its end",
       {{"binkd", Day("06 Dec")},
        {"binkd.1", Day("05 Dec") + "+ 05 Dec 11:00"},
        {"binkd.2.gz", testing::Gzip(Day("02 Dec"))}},
       Day("02 Dec") + Day("05 Dec") + "+ 05 Dec 11:00\n" + Day("06 Dec"),
       "",
       false},
      {"a new log",
       {{"binkd", Day("05 Dec")}},
       Day("05 Dec"),
       "* STAMP The log begins STAMP: STAMP to STAMP of the window is not in it\n",
       false},
      {"a rotated file missing",
       {{"binkd", Day("06 Dec")}, {"binkd.2.gz", testing::Gzip(Day("01 Dec") + Day("03 Dec"))}},
       Day("01 Dec") + Day("03 Dec") + Day("06 Dec"),
       "! STAMP A rotated file of the log is missing (DIR/binkd.1): STAMP to STAMP is not read\n",
       true},
      {"compressed another way",
       {{"binkd", Day("06 Dec")}, {"binkd.1.xz", "xz"}},
       Day("06 Dec"),
       "! STAMP DIR/binkd.1.xz is compressed as xz, which Zentrak does not read: the log before it "
       "is not read\n",
       true},
      {"no live file",
       {{"binkd.1", Day("03 Dec") + Day("06 Dec")}},
       Day("03 Dec") + Day("06 Dec"),
       "* STAMP The log file DIR/binkd is not there (yet): its rotated files are read\n",
       false},
      {"gzip cut short",
       {{"binkd", ""},
        {"binkd.1.gz", testing::Gzip(Day("01 Dec") + std::string(5000, 'x')).substr(0, 40)}},
       "",
       "! STAMP DIR/binkd.1.gz ends inside its compressed data; it is read to byte ",
       true},
  };
  for (const Row& row : rows) {
    testing::TempDir dir;
    for (const auto& [name, bytes] : row.files) testing::WriteFile(dir.File(name), bytes);
    Opened got = Open(dir);
    if (row.name != "gzip cut short") EXPECT_EQ(got.text, row.text) << row.name;
    std::string said;
    size_t from = 0;
    while (from < got.console.size()) {
      size_t end = got.console.find('\n', from) + 1;
      std::string line = got.console.substr(from, end - from);
      if (line.find(" Reading log file (") == std::string::npos) said += line;
      from = end;
    }
    for (size_t at; (at = said.find(dir.File(""))) != std::string::npos;) {
      said.replace(at, dir.File("").size(), "DIR/");
    }
    EXPECT_TRUE(said.starts_with(row.said)) << row.name << "\n" << said;
    EXPECT_EQ(got.unwritten, row.unwritten) << row.name;
  }
}

}  // namespace
}  // namespace zentrak
