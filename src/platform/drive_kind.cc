// The drive rules as two tables: file system names first, drive types second.
#include "platform/drive_kind.h"

namespace zentrak {
namespace {

struct FileSystemRule {
  std::string_view name;
  bool prefix;  // the name only has to begin with `name`
  DriveKind kind;
};

// Compact discs are skipped whatever their drive type says.
constexpr FileSystemRule kFileSystems[] = {
    {"FAT", true, DriveKind::kListed},     {"HPFS", false, DriveKind::kListed},
    {"NTFS", false, DriveKind::kListed},   {"LAN", false, DriveKind::kListed},
    {"NOVELL", false, DriveKind::kListed}, {"CD", true, DriveKind::kSkipped},
};

struct TypeRule {
  DriveType type;
  DriveKind kind;
};

// Removable media with a file system we do not know are skipped: reading
// them may wait for a disk that is not there.
constexpr TypeRule kDriveTypes[] = {
    {DriveType::kUnknown, DriveKind::kSkipped},   {DriveType::kNoRootDir, DriveKind::kSkipped},
    {DriveType::kRemovable, DriveKind::kSkipped}, {DriveType::kFixed, DriveKind::kListed},
    {DriveType::kRemote, DriveKind::kListed},     {DriveType::kCdRom, DriveKind::kSkipped},
    {DriveType::kRamDisk, DriveKind::kListed},
};

bool NameMatches(const FileSystemRule& rule, std::string_view name) {
  return rule.prefix ? name.substr(0, rule.name.size()) == rule.name : name == rule.name;
}

}  // namespace

DriveKind KindOfDrive(std::optional<std::string_view> fileSystem, DriveType type) {
  if (fileSystem) {
    for (const FileSystemRule& rule : kFileSystems) {
      if (NameMatches(rule, *fileSystem)) return rule.kind;
    }
  }
  for (const TypeRule& rule : kDriveTypes) {
    if (rule.type == type) return rule.kind;
  }
  return DriveKind::kSkipped;
}

}  // namespace zentrak
