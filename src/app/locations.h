// Where a run looks for its configuration and its last-call history when the
// command line and the configuration do not say.
#pragma once

#include <string>

#include "platform/platform.h"

namespace zentrak {

/// The configuration of a run without a configuration argument: zentrak.cfg
/// beside the program when it exists (a portable station) or where the system
/// has no standard locations, else the system's one.
std::string DefaultConfigPath(const std::string& programDir, Platform& platform);

/// The folder a relative HISTFILE counts from: the folder of the configuration
/// in use where the system has standard locations, else the program's folder.
std::string HistoryBaseDir(const std::string& programDir, const std::string& configPath,
                           Platform& platform);

}  // namespace zentrak
