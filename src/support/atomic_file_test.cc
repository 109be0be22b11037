// The atomic replace under every failure the platform can inject: the
// original keeps its bytes and no temporary file stays behind.
#include "support/atomic_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/temporary_path.h"
#include "test_support.h"

namespace zentrak {
namespace {

using testing::FileExists;
using testing::ReadFile;

TEST(AtomicFile, ReplacesTheOriginalOnlyWhenEveryStepSucceeds) {
  struct Row {
    const char* fault;
    void (*inject)(testing::TestPlatform&);
    int error;  // the reason the sysop is told: the first step's that failed
  } rows[] = {
      {"none", [](testing::TestPlatform&) {}, 0},
      {"full disk", [](testing::TestPlatform& p) { p.faults.writeLimit = 4; }, ENOSPC},
      {"sync", [](testing::TestPlatform& p) { p.faults.failSync = true; }, EIO},
      {"close", [](testing::TestPlatform& p) { p.faults.failClose = true; }, EIO},
      {"rename", [](testing::TestPlatform& p) { p.failReplace = true; }, EIO},
      {"full disk, then sync",
       [](testing::TestPlatform& p) {
         p.faults.writeLimit = 4;
         p.faults.failSync = true;
       },
       ENOSPC},
  };
  for (const Row& row : rows) {
    testing::TempDir dir;
    testing::TestPlatform platform;
    row.inject(platform);
    std::string path = dir.File("history.bin");
    testing::WriteFile(path, "old bytes");
    AtomicFile file(platform, path);
    ASSERT_TRUE(file.IsOpen()) << row.fault;
    file.Write("new ");
    file.Write("bytes");
    bool clean = std::string(row.fault) == "none";
    std::string copySeen;
    EXPECT_EQ(file.Commit([&](const std::string& copy) { copySeen = ReadFile(copy); }), clean)
        << row.fault;
    EXPECT_EQ(file.Error(), row.error) << row.fault;
    // Only a complete copy is shown before the rename.
    bool complete = row.error == 0 || std::string(row.fault) == "rename";
    EXPECT_EQ(copySeen, complete ? "new bytes" : "") << row.fault;
    EXPECT_EQ(ReadFile(path), clean ? "new bytes" : "old bytes") << row.fault;
    EXPECT_FALSE(FileExists(TemporaryPathFor(path, platform))) << row.fault;
    EXPECT_FALSE(file.LeftBehind()) << row.fault;
  }
}

TEST(AtomicFile, AbandonedOrUnremovableCopies) {
  testing::TempDir dir;
  testing::TestPlatform platform;
  std::string path = dir.File("report.out");
  testing::WriteFile(path, "old");
  {
    AtomicFile file(platform, path, FileMode::kWrite, dir.File("copy.tmp"));
    file.Write("half");
    EXPECT_TRUE(FileExists(dir.File("copy.tmp")));
  }  // going out of scope uncommitted abandons the copy
  EXPECT_FALSE(FileExists(dir.File("copy.tmp")));
  EXPECT_EQ(ReadFile(path), "old");

  platform.failReplace = platform.failRemove = true;
  AtomicFile stuck(platform, path);
  EXPECT_FALSE(stuck.Commit());
  EXPECT_TRUE(stuck.LeftBehind());
  EXPECT_EQ(ReadFile(path), "old");

  AtomicFile nowhere(platform, dir.File("no/such/dir/file"));
  EXPECT_FALSE(nowhere.IsOpen());
  EXPECT_EQ(nowhere.Error(), ENOENT);
  EXPECT_FALSE(nowhere.Commit());
}

// Two runs replacing the same file never share a copy: each names its own
// after its process, and one abandoning its copy leaves the other's alone.
TEST(AtomicFile, CopiesOfTwoProcessesNeverMeet) {
  struct OtherProcess : testing::TestPlatform {
    uint32_t ProcessId() const override { return 1; }
  };
  testing::TempDir dir;
  testing::TestPlatform platform;
  OtherProcess other;
  std::string path = dir.File("sessions.out");
  AtomicFile mine(platform, path);
  {
    AtomicFile theirs(other, path);
    ASSERT_NE(mine.TemporaryPath(), theirs.TemporaryPath());
    theirs.Write("theirs");
  }
  mine.Write("mine");
  EXPECT_TRUE(mine.Commit());
  EXPECT_EQ(ReadFile(path), "mine");
}

}  // namespace
}  // namespace zentrak
