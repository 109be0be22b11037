// The atomic replace under every failure the platform can inject: the
// original keeps its bytes and no temporary file stays behind.
#include "support/atomic_file.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace zentrak {
namespace {

using testing::FileExists;
using testing::ReadFile;

TEST(AtomicFile, ReplacesTheOriginalOnlyWhenEveryStepSucceeds) {
  struct Row {
    const char* fault;
    void (*inject)(testing::TestPlatform&);
  } rows[] = {
      {"none", [](testing::TestPlatform&) {}},
      {"full disk", [](testing::TestPlatform& p) { p.faults.writeLimit = 4; }},
      {"sync", [](testing::TestPlatform& p) { p.faults.failSync = true; }},
      {"close", [](testing::TestPlatform& p) { p.faults.failClose = true; }},
      {"rename", [](testing::TestPlatform& p) { p.failReplace = true; }},
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
    EXPECT_EQ(file.Commit(), clean) << row.fault;
    EXPECT_EQ(ReadFile(path), clean ? "new bytes" : "old bytes") << row.fault;
    EXPECT_FALSE(FileExists(path + ".$$$")) << row.fault;
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
  EXPECT_FALSE(nowhere.Commit());
}

}  // namespace
}  // namespace zentrak
