// Environment variables through the C runtime, so that getenv sees them.
#include <cstdlib>

#include "platform/environment.h"

namespace zentrak {

void SetEnvironment(const std::string& name, const std::string& value) {
  _putenv_s(name.c_str(), value.c_str());
}

// An empty value removes the variable on Windows.
void UnsetEnvironment(const std::string& name) { _putenv_s(name.c_str(), ""); }

}  // namespace zentrak
