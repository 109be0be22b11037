// The two text rewrites that configuration lines set up and other subsystems
// apply: DEFINE names in configuration lines, CHANGE rules in texts from the log.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"

namespace zentrak {

/// Replaces %NAME% references by their DEFINE values, entries in definition
/// order, leftmost occurrence first. Inserted text is never searched again for
/// the same name, so a value that holds its own name cannot loop.
std::string ExpandDefines(std::string_view text, const std::vector<std::string>& defineList);

/// Applies the CHANGE rules in table order; each rule replaces its search text
/// until none is left, but never inside text it inserted itself. The result is
/// cut to 255 characters.
std::string ApplyChanges(std::string_view text, const std::vector<ChangeRule>& changeTable);

}  // namespace zentrak
