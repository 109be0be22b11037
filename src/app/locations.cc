// Default configuration and history locations.
#include "app/locations.h"

#include "app/run.h"
#include "support/text.h"

namespace zentrak {

std::string DefaultConfigPath(const std::string& programDir, Platform& platform) {
  std::string beside = programDir + kDefaultConfigName;
  std::optional<std::string> systemDir = platform.SystemConfigDir();
  if (!systemDir || platform.FileExists(beside)) return beside;
  return CutTo(*systemDir + kDefaultConfigName, 255);
}

std::string HistoryBaseDir(const std::string& programDir, const std::string& configPath,
                           Platform& platform) {
  if (!platform.SystemConfigDir()) return programDir;
  return ProgramDirOf(configPath, platform.DirSeparator());
}

}  // namespace zentrak
