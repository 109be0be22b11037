// Setting and clearing environment variables of this process, for tests that
// point the platform at fixtures through the environment.
#pragma once

#include <string>

namespace zentrak {

/// Sets variable `name` to `value` (an empty value may clear it on some systems).
void SetEnvironment(const std::string& name, const std::string& value);
/// Removes variable `name`.
void UnsetEnvironment(const std::string& name);

}  // namespace zentrak
