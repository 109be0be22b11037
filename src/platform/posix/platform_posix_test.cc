// The POSIX platform's drives: directories that environment variables name,
// standing in for drive letters.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zentrak
