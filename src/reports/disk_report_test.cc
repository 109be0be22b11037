// Size texts at their unit boundaries, the used-space bar, and the POSIX
// drives that environment variables point at directories.
#include "reports/disk_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/environment.h"
#include "reports/report_test_fixture.h"
#include "test_support.h"

namespace zentrak {
namespace {

TEST(SizeTextTest, StrictBoundariesBetweenUnits) {
  struct Row {
    uint64_t bytes;
    const char* text;
  } rows[] = {
      {0, "  0.000b"},
      {1, "  1.000b"},
      {1024, "1024.000b"},
      {1025, "  1.001K"},
      {1536, "  1.500K"},
      {1048576, "1024.000K"},
      {1048577, "  1.000M"},
      {1073741824, "1024.000M"},
      {1073741825, "  1.000G"},
      {2147483648ull, "  2.000G"},
      {5497558138880ull, "5120.000G"},
  };
  for (const Row& row : rows) EXPECT_EQ(SizeText(row.bytes), row.text) << row.bytes;
}

TEST(DiskBarTest, UsedShareOfTheLineLength) {
  struct Row {
    uint64_t total, free;
    int32_t lineLength;
    size_t symbols;
  } rows[] = {
      {100, 50, 20, 10}, {100, 0, 20, 20},  {100, 100, 20, 0}, {3, 1, 20, 13},     {8, 1, 4, 4},
      {0, 0, 20, 0},     {100, 200, 20, 0}, {100, 50, -1, 0},  {100, 0, 255, 255},
  };
  for (const Row& row : rows) {
    std::string bar = DiskBar(row.total, row.free, row.lineLength, '*');
    EXPECT_EQ(bar, std::string(row.symbols, '*')) << row.total << "/" << row.free;
  }
}

// Sets one environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    if (old != nullptr) old_ = old;
    had_ = old != nullptr;
    SetEnvironment(name, value);
  }
  ~ScopedEnv() {
    if (had_) {
      SetEnvironment(name_, old_);
    } else {
      UnsetEnvironment(name_);
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

namespace zentrak {
namespace {

TEST(DiskReportTest, ListsTheExistingUpperCaseDrivesOfDisksInTheirOrder) {
  testing::ReportFixture fixture;
  testing::TempDir other;
  std::string d = fixture.dir.Path();
  std::string e = other.Path();
  ScopedEnv driveD("ZENTRAK_DRIVE_D", d);
  ScopedEnv driveE("ZENTRAK_DRIVE_E", e);
  fixture.settings.DISKS = "EdQ-D";
  fixture.Template("disk.tpl",
                   "%LINELENGTH=\"10\"\n%DRAWSYMBOL=\"#\"\n@STARTCIRCLE()\n"
                   "@DRIVE(LEFT,2)@LABEL(LEFT,*)|@STATLINE(LEFT,@LINELENGTH)|\n@ENDCIRCLE()\n");
  ReportContext ctx = fixture.Context();
  MakeDiskReport(ctx);
  std::string output = fixture.Output("disk.out");
  ASSERT_EQ(std::count(output.begin(), output.end(), '\n'), 2) << output;
  EXPECT_EQ(output.substr(0, 2 + e.size() + 1), "E " + e + "|");
  size_t second = output.find('\n') + 1;
  EXPECT_EQ(output.substr(second, 2 + d.size() + 1), "D " + d + "|");
  EXPECT_EQ(output[second + 2 + d.size() + 11], '|');  // a bar field of ten cells
}

}  // namespace
}  // namespace zentrak
