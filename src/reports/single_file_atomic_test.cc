// The joined single file is replaced as a whole: a failure while making it
// leaves the previous joined file as it was, and never half a new one; the
// copy another run left behind is not this run's to take or remove. A report
// marked for erasing goes only once the joined file holding it is in place.
#include <gtest/gtest.h>

#include "console/run_stop.h"
#include "report_test_fixture.h"
#include "reports/single_file.h"
#include "support/temporary_path.h"

namespace zentrak {
namespace {

using testing::FileExists;
using testing::ReadTextFile;
using testing::ReportFixture;
using testing::TestPlatform;
using testing::WriteFile;

TEST(SingleFileAtomicTest, OldJoinedFileSurvivesAFailedReplaceAndALeftoverIsKept) {
  struct Row {
    bool failReplace;
    const char* leftover;  // a temporary file of an earlier, interrupted run
    const char* want;
    int status;  // -1: the run went on
  } rows[] = {
      {true, nullptr, "old joined\n", 2},
      {true, "half a joi", "old joined\n", 2},
      {false, "half a joi", "S\n\n", -1},
  };
  for (const Row& row : rows) {
    ReportFixture fixture;
    TestPlatform platform;
    platform.failReplace = row.failReplace;
    WriteFile(fixture.dir.File("sessions.out"), "S\n");
    WriteFile(fixture.dir.File("all.txt"), "old joined\n");
    std::string leftover = fixture.dir.File("all.txt.1.$$$");
    if (row.leftover != nullptr) WriteFile(leftover, row.leftover);
    ReportContext ctx = fixture.Context(platform);
    int status = -1;
    try {
      MakeSingleFile(SingleFileEntry{"all.txt", {-1}}, ctx);
    } catch (const RunStop& stop) {
      status = stop.exitStatus;
    }
    EXPECT_EQ(status, row.status);
    EXPECT_EQ(ReadTextFile(fixture.dir.File("all.txt")), row.want);
    EXPECT_EQ(FileExists(fixture.dir.File("sessions.out")), row.failReplace);
    EXPECT_FALSE(FileExists(TemporaryPathFor(fixture.dir.File("all.txt"), platform)));
    if (row.leftover != nullptr) {
      EXPECT_EQ(testing::ReadFile(leftover), row.leftover);
    }
    if (row.status == 2) {
      EXPECT_NE(fixture.console.Masked().find("Unable to make single stat file: (all.txt)"),
                std::string::npos);
    }
  }
}

}  // namespace
}  // namespace zentrak
