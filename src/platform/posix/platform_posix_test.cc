// The POSIX platform's drives: directories that environment variables name,
// standing in for drive letters.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/platform.h"
#include "test_support.h"

namespace zentrak {
namespace {

// Sets one environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    if (old != nullptr) old_ = old;
    had_ = old != nullptr;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

TEST(PosixDrivesTest, DrivesAreDirectoriesNamedByTheEnvironment) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("plain"), "x");
  std::string directory = dir.Path().substr(0, dir.Path().size() - 1);
  ScopedEnv d("ZENTRAK_DRIVE_D", directory);
  ScopedEnv e("ZENTRAK_DRIVE_E", dir.File("plain"));
  ScopedEnv f("ZENTRAK_DRIVE_F", dir.File("missing"));
  Platform& platform = NativePlatform();
  uint32_t drives = platform.LogicalDrives();
  EXPECT_NE(drives & (1u << ('D' - 'A')), 0u);
  EXPECT_EQ(drives & (1u << ('E' - 'A')), 0u);
  EXPECT_EQ(drives & (1u << ('F' - 'A')), 0u);
  std::optional<DriveInfo> drive = platform.Drive('D');
  ASSERT_TRUE(drive.has_value());
  EXPECT_EQ(drive->label, directory);
  EXPECT_EQ(drive->kind, DriveKind::kListed);
  EXPECT_GT(drive->totalBytes, 0u);
  EXPECT_LE(drive->freeBytes, drive->totalBytes);
  EXPECT_FALSE(platform.Drive('E').has_value());
}

TEST(PosixDrivesTest, DriveCIsTheRootUnlessItsVariableSaysOtherwise) {
  {
    ScopedEnv c("ZENTRAK_DRIVE_C", "");
    std::optional<DriveInfo> drive = NativePlatform().Drive('C');
    ASSERT_TRUE(drive.has_value());
    EXPECT_EQ(drive->label, "/");
  }
  testing::TempDir dir;
  ScopedEnv c("ZENTRAK_DRIVE_C", dir.Path());
  std::optional<DriveInfo> drive = NativePlatform().Drive('C');
  ASSERT_TRUE(drive.has_value());
  EXPECT_EQ(drive->label, dir.Path());
}

// A copy takes the original's mode always, and its owner and group when this
// process may give them (root); otherwise it says so.
TEST(PosixAccessTest, CopyTakesTheOriginalsModeOwnerAndGroup) {
  testing::TempDir dir;
  Platform& platform = NativePlatform();
  testing::WriteFile(dir.File("original"), "log");
  testing::WriteFile(dir.File("copy"), "log");
  ASSERT_EQ(chmod(dir.File("original").c_str(), 0660), 0);
  ASSERT_EQ(chmod(dir.File("copy").c_str(), 0600), 0);
  bool root = geteuid() == 0;
  // Someone else's file: nobody's when we may hand files over, otherwise root's.
  uid_t owner = root ? 65534 : 0;
  if (root) {
    ASSERT_EQ(chown(dir.File("original").c_str(), owner, 65534), 0);
  }
  std::string original = root ? dir.File("original") : "/";
  struct stat want {};
  ASSERT_EQ(stat(original.c_str(), &want), 0);
  if (!root) {
    EXPECT_EQ(platform.CopyAccess(dir.File("original"), dir.File("copy")), AccessKept::kAll);
    struct stat same {};
    ASSERT_EQ(stat(dir.File("copy").c_str(), &same), 0);
    EXPECT_EQ(same.st_mode & 07777, 0660u);
  }
  EXPECT_EQ(platform.CopyAccess(original, dir.File("copy")),
            root ? AccessKept::kAll : AccessKept::kNotOwnerNorGroup);
  struct stat got {};
  ASSERT_EQ(stat(dir.File("copy").c_str(), &got), 0);
  EXPECT_EQ(got.st_mode & 07777, want.st_mode & 07777);
  EXPECT_EQ(got.st_uid == want.st_uid, root);
  EXPECT_EQ(platform.CopyAccess(dir.File("missing"), dir.File("copy")), AccessKept::kNothing);
}

}  // namespace
}  // namespace zentrak
