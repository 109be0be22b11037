// The drive rules: the file system name decides when it is known, the drive
// type otherwise.
#include "platform/drive_kind.h"

#include <gtest/gtest.h>

namespace zentrak {
namespace {

TEST(DriveKindTest, FileSystemNameFirstThenDriveType) {
  constexpr DriveKind kL = DriveKind::kListed;
  constexpr DriveKind kS = DriveKind::kSkipped;
  struct Row {
    std::optional<std::string_view> fileSystem;
    DriveType type;
    DriveKind kind;
  } rows[] = {
      {"NTFS", DriveType::kFixed, kL},
      {"FAT", DriveType::kRemovable, kL},  // a known name lists even removable media
      {"FAT32", DriveType::kRemovable, kL},
      {"HPFS", DriveType::kUnknown, kL},
      {"LAN", DriveType::kRemote, kL},
      {"NOVELL", DriveType::kNoRootDir, kL},
      {"NTFS5", DriveType::kRemovable, kS},  // only "FAT" may be followed by more
      {"ntfs", DriveType::kRemovable, kS},
      {"CDFS", DriveType::kFixed, kS},  // a disc is skipped whatever its type
      {"CD001", DriveType::kRemote, kS},
      {"UDF", DriveType::kCdRom, kS},
      {"exFAT", DriveType::kRemovable, kS},
      {"exFAT", DriveType::kFixed, kL},
      {"ext4", DriveType::kRemote, kL},
      {"", DriveType::kRamDisk, kL},
      {std::nullopt, DriveType::kFixed, kL},
      {std::nullopt, DriveType::kRemote, kL},
      {std::nullopt, DriveType::kRamDisk, kL},
      {std::nullopt, DriveType::kRemovable, kS},
      {std::nullopt, DriveType::kCdRom, kS},
      {std::nullopt, DriveType::kNoRootDir, kS},
      {std::nullopt, DriveType::kUnknown, kS},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(KindOfDrive(row.fileSystem, row.type), row.kind)
        << row.fileSystem.value_or("(none)") << " type " << static_cast<int>(row.type);
  }
}

}  // namespace
}  // namespace zentrak
