// The process number in the name is what keeps two runs apart: a run that is
// killed leaves its copy under its own number, which a live run never uses.
#include "support/temporary_path.h"

namespace zentrak {

std::string TemporaryPathFor(const std::string& path, Platform& platform) {
  return path + "." + std::to_string(platform.ProcessId()) + ".$$$";
}

}  // namespace zentrak
