// Size texts at their unit boundaries, the used-space bar, and which drives
// the report lists.
#include "reports/disk_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "report_test_fixture.h"
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

// The test platform with drives given by the test instead of the machine.
class FakeDrivesPlatform : public testing::TestPlatform {
 public:
  uint32_t LogicalDrives() override {
    uint32_t bits = 0;
    for (const auto& [letter, drive] : drives) bits |= 1u << (letter - 'A');
    return bits;
  }
  std::optional<DriveInfo> Drive(char letter) override {
    auto found = drives.find(letter);
    if (found == drives.end()) return std::nullopt;
    return found->second;
  }
  std::map<char, DriveInfo> drives;
};

TEST(DiskReportTest, ListsTheExistingUpperCaseDrivesOfDisksInTheirOrderAndNamesTheMissing) {
  testing::ReportFixture fixture;
  FakeDrivesPlatform platform;
  platform.drives['C'] = DriveInfo{DriveKind::kSkipped, "disc", 100, 0};
  platform.drives['D'] = DriveInfo{DriveKind::kListed, "DATA", 2147483648ull, 1073741824ull};
  platform.drives['E'] = DriveInfo{DriveKind::kListed, "", 1536, 1536};
  fixture.settings.DISKS = "EdQ-DC";
  fixture.Template("disk.tpl",
                   "%LINELENGTH=\"10\"\n%DRAWSYMBOL=\"#\"\n@STARTCIRCLE()\n"
                   "@DRIVE(LEFT,2)@LABEL(LEFT,5)@TOTALSPACE(RIGHT,9)@FREESPACE(RIGHT,9)"
                   "|@STATLINE(LEFT,@LINELENGTH)|\n@ENDCIRCLE()\n");
  ReportContext ctx = fixture.Context(platform);
  MakeDiskReport(ctx);
  EXPECT_EQ(fixture.Output("disk.out"),
            "E         1.500K   1.500K|          |\n"
            "D DATA    2.000G1024.000M|#####     |\n");
  // A letter without a drive is named; a skipped drive (C) and a sign are not.
  EXPECT_EQ(fixture.console.Masked(),
            ". STAMP Processing disk.out\n"
            "! STAMP DISKS names drive d, which does not exist\n"
            "! STAMP DISKS names drive Q, which does not exist\n");
}

}  // namespace
}  // namespace zentrak
