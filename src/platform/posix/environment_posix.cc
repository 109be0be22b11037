// Environment variables through setenv(3) and unsetenv(3).
#include <cstdlib>

#include "platform/environment.h"

namespace zentrak {

void SetEnvironment(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

void UnsetEnvironment(const std::string& name) { unsetenv(name.c_str()); }

}  // namespace zentrak
