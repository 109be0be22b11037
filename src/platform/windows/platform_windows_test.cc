// The Windows platform against the real system calls: the module path, the
// replacement of an existing file, files, file facts and the drives.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/platform.h"
#include "test_support.h"

namespace zentrak {
namespace {

TEST(WindowsPlatformTest, ExecutablePathIsTheModuleWithItsDriveAndBackslashes) {
  std::string path = NativePlatform().ExecutablePath("fallback");
  ASSERT_GE(path.size(), 4u);
  EXPECT_EQ(path.substr(1, 2), ":\\") << path;
  EXPECT_EQ(path.substr(path.size() - 4), ".exe") << path;
  EXPECT_NE(path.rfind('\\'), std::string::npos);
}

TEST(WindowsPlatformTest, ReplaceFileMovesOverAnExistingFileOrLeavesItAlone) {
  testing::TempDir dir;
  Platform& platform = NativePlatform();
  testing::WriteFile(dir.File("new"), "new text");
  testing::WriteFile(dir.File("old"), "old");
  ASSERT_TRUE(platform.ReplaceFile(dir.File("new"), dir.File("old")));
  EXPECT_EQ(testing::ReadFile(dir.File("old")), "new text");
  EXPECT_FALSE(platform.FileExists(dir.File("new")));
  EXPECT_FALSE(platform.ReplaceFile(dir.File("missing"), dir.File("old")));
  EXPECT_EQ(testing::ReadFile(dir.File("old")), "new text");
}

TEST(WindowsPlatformTest, FileFactsTellFilesFromDirectories) {
  testing::TempDir dir;
  Platform& platform = NativePlatform();
  testing::WriteFile(dir.File("five"), "12345");
  EXPECT_TRUE(platform.FileExists(dir.File("five")));
  EXPECT_FALSE(platform.FileExists(dir.Path()));
  EXPECT_FALSE(platform.FileExists(dir.File("missing")));
  EXPECT_EQ(platform.FileSize(dir.File("five")), 5u);
  EXPECT_FALSE(platform.FileSize(dir.File("missing")).has_value());
  EXPECT_TRUE(platform.SameFileSystem(dir.Path(), dir.File("five")));
  EXPECT_FALSE(platform.SameFileSystem(dir.Path(), dir.File("missing")));
  EXPECT_TRUE(platform.RemoveFile(dir.File("five")));
  EXPECT_FALSE(platform.RemoveFile(dir.File("five")));
}

TEST(WindowsPlatformTest, FilesSyncAndSeekPastTheRangeOfALong) {
  testing::TempDir dir;
  Platform& platform = NativePlatform();
  std::unique_ptr<File> file = platform.OpenFile(dir.File("synced"), FileMode::kWriteText);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Write("line\n"));
  EXPECT_TRUE(file->Sync());
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(testing::ReadFile(dir.File("synced")), "line\r\n");
  // A long is 32 bits here: offsets of big logs need the 64-bit seek.
  std::unique_ptr<File> reader = platform.OpenFile(dir.File("synced"), FileMode::kRead);
  ASSERT_NE(reader, nullptr);
  EXPECT_TRUE(reader->Seek(uint64_t{5} << 30));
  EXPECT_TRUE(reader->Seek(4));
  char two[2] = {};
  EXPECT_EQ(reader->Read(two, 2), 2u);
  EXPECT_EQ(std::string(two, 2), "\r\n");
}

TEST(WindowsPlatformTest, DriveCIsListedAndAnAbsentDriveIsNot) {
  Platform& platform = NativePlatform();
  uint32_t drives = platform.LogicalDrives();
  ASSERT_NE(drives & (1u << ('C' - 'A')), 0u);
  std::optional<DriveInfo> c = platform.Drive('C');
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(c->kind, DriveKind::kListed);
  EXPECT_GT(c->totalBytes, 0u);
  EXPECT_LE(c->freeBytes, c->totalBytes);
  for (char letter = 'Z'; letter > 'C'; --letter) {
    if (drives & (1u << (letter - 'A'))) continue;
    std::optional<DriveInfo> absent = platform.Drive(letter);
    EXPECT_TRUE(!absent || absent->kind == DriveKind::kSkipped) << letter;
    break;
  }
}

}  // namespace
}  // namespace zentrak
