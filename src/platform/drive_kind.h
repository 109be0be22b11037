// Which drives the disk usage report lists, decided from what Windows tells
// about a drive: the file system name first, the drive type when the name says
// nothing. Kept free of Windows headers so the rules are testable everywhere.
#pragma once

#include <optional>
#include <string_view>

#include "platform/platform.h"

namespace zentrak {

/// The drive types Windows distinguishes (GetDriveType), in our own words.
enum class DriveType { kUnknown, kNoRootDir, kRemovable, kFixed, kRemote, kCdRom, kRamDisk };

/// Listed or skipped: `fileSystem` is the volume's file system name, nothing
/// when the volume information could not be read.
DriveKind KindOfDrive(std::optional<std::string_view> fileSystem, DriveType type);

}  // namespace zentrak
