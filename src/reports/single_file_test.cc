// Single statistics files: what is joined, what is erased, what each skipped
// report says, and the end of the run when the joined file cannot be made.
#include "reports/single_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "console/run_stop.h"
#include "report_test_fixture.h"

namespace zentrak {
namespace {

using testing::FileExists;
using testing::ReportFixture;
using testing::WriteFile;

SingleFileEntry Entry(std::string name, std::vector<int> codes) {
  return SingleFileEntry{std::move(name), std::move(codes)};
}

TEST(SingleFileTest, JoinsReportsEachFollowedByAnEmptyLine) {
  struct Row {
    std::vector<int> codes;
    bool linksRemain;
    const char* console;
  } rows[] = {
      {{1, 2},
       true,
       ". STAMP Making single file: all.txt\n"
       ". STAMP   Adding sessions.out\n"
       ". STAMP   Adding link.out\n"
       ". STAMP   Totally added: 2 stats\n"},
      {{1, -2},
       false,
       ". STAMP Making single file: all.txt\n"
       ". STAMP   Adding sessions.out\n"
       ". STAMP   Adding link.out and erasing it\n"
       ". STAMP   Totally added: 2 stats\n"},
  };
  for (const Row& row : rows) {
    ReportFixture fixture;
    WriteFile(fixture.dir.File("sessions.out"), "S1\nS2\n");
    WriteFile(fixture.dir.File("link.out"), "L1\n");
    ReportContext ctx = fixture.Context();
    MakeSingleFile(Entry("all.txt", row.codes), ctx);
    EXPECT_EQ(fixture.Output("all.txt"), "S1\nS2\n\nL1\n\n");
    EXPECT_EQ(FileExists(fixture.dir.File("link.out")), row.linksRemain);
    EXPECT_TRUE(FileExists(fixture.dir.File("sessions.out")));
    EXPECT_EQ(fixture.console.Masked(), row.console);
  }
}

TEST(SingleFileTest, SkippedReportsAreNamedAndAnEmptyJoinedFileIsRemoved) {
  ReportFixture fixture;
  fixture.settings.MAKESTAT_SESSIONS = false;
  fixture.settings.MAKESTAT_LINKS = false;
  WriteFile(fixture.dir.File("link.out"), "stale\n");
  WriteFile(fixture.dir.File("sessions.out"), "old\n");
  ReportContext ctx = fixture.Context();
  MakeSingleFile(Entry("all.txt", {1, -2, 13}), ctx);
  EXPECT_EQ(fixture.console.Masked(),
            ". STAMP Making single file: all.txt\n"
            "! STAMP   According to config you are not making sessions.out\n"
            "! STAMP   According to config you are not making link.out\n"
            "! STAMP   Cannot open " +
                fixture.dir.File("lastcall.out") +
                "\n"
                "* STAMP   There are no stats to add in the single file..\n");
  EXPECT_FALSE(FileExists(fixture.dir.File("all.txt")));
}

// A report that failed kept its old copy; the joined file is not made without
// it, so the one published before stays whole, and no report is erased.
TEST(SingleFileTest, AFailedPartLeavesTheJoinedFileAsItWas) {
  for (bool earlier : {true, false}) {
    ReportFixture fixture;
    fixture.outcomes.MarkFailed(kLinksReport);
    WriteFile(fixture.dir.File("sessions.out"), "new\n");
    WriteFile(fixture.dir.File("link.out"), "stale\n");
    if (earlier) WriteFile(fixture.dir.File("all.txt"), "published before\n");
    ReportContext ctx = fixture.Context();
    MakeSingleFile(Entry("all.txt", {-1, 2}), ctx);
    EXPECT_EQ(fixture.console.Masked(),
              ". STAMP Making single file: all.txt\n"
              "! STAMP   According to config you are not making link.out\n"
              "! STAMP   all.txt " +
                  std::string(earlier ? "is left as it was" : "is not made") +
                  ": a report it joins failed\n");
    EXPECT_EQ(FileExists(fixture.dir.File("all.txt")), earlier);
    if (earlier) {
      EXPECT_EQ(fixture.Output("all.txt"), "published before\n");
    }
    EXPECT_EQ(fixture.Output("sessions.out"), "new\n");
  }
}

TEST(SingleFileTest, ReportsAreCopiedWholeAndAnErasedReportIsGoneForLaterCodes) {
  ReportFixture fixture;
  std::string joinedLine(600, 'x');  // a line joined with @NOEND(), no line end at all
  WriteFile(fixture.dir.File("graphic.out"), "top\n" + joinedLine);
  WriteFile(fixture.dir.File("summary.out"), "a\r\nb\r\n");
  ReportContext ctx = fixture.Context();
  MakeSingleFile(Entry("all.txt", {-10, 11, 10}), ctx);
  // The summary as a text file of this system reads it: on POSIX its CRs are
  // data and must survive; on Windows CR LF is its line end.
  EXPECT_EQ(fixture.Output("all.txt"),
            "top\n" + joinedLine + "\n\n" + fixture.Output("summary.out") + "\n");
  EXPECT_EQ(fixture.console.Masked(),
            ". STAMP Making single file: all.txt\n"
            ". STAMP   Adding graphic.out and erasing it\n"
            ". STAMP   Adding summary.out\n"
            "! STAMP   Cannot open " +
                fixture.dir.File("graphic.out") +
                "\n"
                ". STAMP   Totally added: 2 stats\n");
}

TEST(SingleFileTest, AJoinedFileNamedLikeOneOfItsReportsDoesNotCopyItself) {
  ReportFixture fixture;
  WriteFile(fixture.dir.File("summary.out"), std::string(200000, 's'));
  WriteFile(fixture.dir.File("disk.out"), "D\n");
  ReportContext ctx = fixture.Context();
  MakeSingleFile(Entry("summary.out", {11, 12}), ctx);
  EXPECT_EQ(fixture.Output("summary.out"), "D\n\n");
}

// The reports are written; only the joined files are missing: status 2.
TEST(SingleFileTest, AJoinedFileThatCannotBeCreatedEndsTheRunWithStatusTwo) {
  ReportFixture fixture;
  WriteFile(fixture.dir.File("sessions.out"), "S\n");
  fixture.settings.SingleFileTable = {Entry("no/such/dir.txt", {1}), Entry("later.txt", {1})};
  ReportContext ctx = fixture.Context();
  try {
    MakeSingleFiles(ctx);
    FAIL() << "the run went on";
  } catch (const RunStop& stop) {
    EXPECT_EQ(stop.exitStatus, 2);
  }
  EXPECT_EQ(fixture.console.Masked(),
            "! STAMP Unable to make single stat file: (no/such/dir.txt)\n! STAMP " +
                std::string(std::strerror(ENOENT)) + "\n");
  EXPECT_FALSE(FileExists(fixture.dir.File("later.txt")));
}

TEST(SingleFilesTest, EntriesRunInOrderAndOnlyWhileSomeReportIsOn) {
  struct Row {
    bool anyReportOn;
    const char* console;
  } rows[] = {
      {true,
       "! STAMP There are no statistics to add in empty.txt\n"
       ". STAMP Making single file: one.txt\n"
       ". STAMP   Adding sessions.out\n"
       ". STAMP   Totally added: 1 stats\n"},
      {false, ""},
  };
  for (const Row& row : rows) {
    ReportFixture fixture;
    WriteFile(fixture.dir.File("sessions.out"), "S\n");
    for (const ReportRow& report : kReportTable) fixture.settings.*report.makeStat = false;
    fixture.settings.MAKESTAT_SESSIONS = row.anyReportOn;
    fixture.settings.SingleFileTable = {Entry("empty.txt", {}), Entry("one.txt", {1})};
    ReportContext ctx = fixture.Context();
    MakeSingleFiles(ctx);
    EXPECT_EQ(fixture.console.Masked(), row.console);
    EXPECT_EQ(FileExists(fixture.dir.File("one.txt")), row.anyReportOn);
  }
}

}  // namespace
}  // namespace zentrak
