// The joined single file is replaced as a whole: a failure while making it
// leaves the previous joined file as it was, and never half a new one.
#include <gtest/gtest.h>

#include "console/run_stop.h"
#include "report_test_fixture.h"
#include "reports/single_file.h"

namespace zentrak {
namespace {

using testing::FileExists;
using testing::ReadTextFile;
using testing::ReportFixture;
using testing::TestPlatform;
using testing::WriteFile;

TEST(SingleFileAtomicTest, OldJoinedFileSurvivesAFailedReplaceAndALeftoverIsOverwritten) {
  struct Row {
    bool failReplace;
    const char* leftover;  // a temporary file of an earlier, interrupted run
    const char* want;
    int status;  // -1: the run went on
  } rows[] = {
      {true, nullptr, "old joined\n", 1},
      {true, "half a joi", "old joined\n", 1},
      {false, "half a joi", "S\n\n", -1},
  };
  for (const Row& row : rows) {
    ReportFixture fixture;
    TestPlatform platform;
    platform.failReplace = row.failReplace;
    WriteFile(fixture.dir.File("sessions.out"), "S\n");
    WriteFile(fixture.dir.File("all.txt"), "old joined\n");
    if (row.leftover != nullptr) WriteFile(fixture.dir.File("all.txt.$$$"), row.leftover);
    ReportContext ctx = fixture.Context(platform);
    int status = -1;
    try {
      MakeSingleFile(SingleFileEntry{"all.txt", {1}}, ctx);
    } catch (const RunStop& stop) {
      status = stop.exitStatus;
    }
    EXPECT_EQ(status, row.status);
    EXPECT_EQ(ReadTextFile(fixture.dir.File("all.txt")), row.want);
    EXPECT_FALSE(FileExists(fixture.dir.File("all.txt.$$$")));
    if (row.status == 1) {
      EXPECT_NE(fixture.console.Masked().find("Unable to make single stat file: (all.txt)"),
                std::string::npos);
    }
  }
}

}  // namespace
}  // namespace zentrak
